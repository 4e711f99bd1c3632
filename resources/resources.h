// The program's resources: window identity, the icon and the error popup's definition.
#pragma once
#include <cstdint>

// Class, title, dialog name and the archive's messages keep the spelling the show is known by outside.
constexpr const char* window_class_name = "orvel demo";
constexpr const char* window_title = "TORVAN TEST PROGRAM";

constexpr int32_t iconbig_size = 32;
// The show's emblem, also the window's icon; 0xAARRGGBB, straight (not premultiplied) alpha.
extern const uint32_t iconbig[iconbig_size * iconbig_size];

// The display error popup ("ddu_popupw"), a modal box titled with the window's title: the
// text control receives the message, the OK button sends the OK command and closes the popup.
// The platforms' message boxes (platform/*/..._window.cpp) give their OK button this same
// identifier 1 themselves, since the platform layer does not see these resources.
constexpr const char* popup_name = "ddu_popupw";
constexpr int32_t popup_text_control = 102;
constexpr int32_t popup_ok_command = 1;
