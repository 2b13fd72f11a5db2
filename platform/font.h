// Inside the layer: the one default font, its glyphs rendered once and kept, so that
// drawing text every frame costs only copying pixels.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/gdi_objects.h"

// The height of one line of text, and how far its baseline lies below the line's top;
// 0 when no font could be loaded.
int FontLineHeight();
int FontAscent();

// The width of `count` bytes of text drawn in one line.
int TextWidth(const char* text, size_t count);

// Draws one line with its top-left corner at (x, y), touching only pixels that lie
// inside both `clip` and the pixmap.
void DrawTextRun(Pixmap& to, int64_t x, int64_t y, const char* text, size_t count, uint32_t pixel,
                 const RECT& clip);
