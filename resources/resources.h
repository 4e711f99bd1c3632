#pragma once
// The program's resources: window identity, the icon and the error popup's definition.
#include <cstdint>

constexpr const char* window_class_name = "orvel demo";
constexpr const char* window_title = "TORVAN TEST PROGRAM";

constexpr int32_t iconbig_size = 32;
extern const uint32_t iconbig[iconbig_size * iconbig_size];  // 0xAARRGGBB

// The display error popup ("ddu_popupw"): one text control and one OK command.
constexpr const char* popup_name = "ddu_popupw";
constexpr int32_t popup_text_control = 102;
constexpr int32_t popup_ok_command = 1;
