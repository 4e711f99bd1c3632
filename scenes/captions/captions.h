#pragma once
// Caption overlay: credits, title and chapter words drawn over every scene.
#include <cstdint>

void caption_init();
void caption_draw(uint8_t* frame);
void on_next_caption();

constexpr int32_t font_width = 640;
constexpr int32_t font_height = 25;
extern const uint8_t font_picture[font_width * font_height];
