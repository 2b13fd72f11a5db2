#include "platform/font.h"

#include <SDL_ttf.h>

#include <algorithm>
#include <array>
#include <cstdio>

namespace {

// The game's texts are single bytes in the Windows code page of its time.
uint32_t CodePoint(unsigned char c) {
  static const uint16_t kHigh[32] = {
      0x20AC, 0x81,   0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
      0x2039, 0x0152, 0x8D,   0x017D, 0x8F,   0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
      0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x9D,   0x017E, 0x0178};
  return (c >= 0x80 && c < 0xA0) ? kHigh[c - 0x80] : c;
}

const char* const kFontFiles[] = {
    "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf",
    "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
};
// At this size the characters are as wide as those of Windows' default font in its
// 16-pixel cells, within a pixel or two a word, so that lines break where they do there.
constexpr int kFontSize = 13;
// Lines are as tall as those of Windows' default font, with its baseline, so that text
// stands in the cells and rows Windows gives it; our glyphs sit on that baseline.
constexpr int kLineHeight = 16;
constexpr int kAscent = 13;

struct Glyph {
  int advance = 0;
  int offsetX = 0;  // where the rendered cell starts relative to the pen
  int width = 0;
  int height = 0;
  std::vector<uint8_t> ink;  // 1 where the glyph paints
};

struct Font {
  int lineHeight = 0;
  int ascent = 0;
  int glyphTop = 0;  // where the rendered glyph cells start below the line's top
  std::array<Glyph, 256> glyphs;
};

Glyph Render(TTF_Font* font, uint32_t code) {
  Glyph glyph;
  int minx = 0, maxx = 0, miny = 0, maxy = 0;
  if (TTF_GlyphMetrics32(font, code, &minx, &maxx, &miny, &maxy, &glyph.advance) != 0) return glyph;
  SDL_Surface* surface = TTF_RenderGlyph32_Solid(font, code, SDL_Color{255, 255, 255, 255});
  if (!surface) return glyph;
  glyph.offsetX = std::min(minx, 0);
  glyph.width = surface->w;
  glyph.height = surface->h;
  glyph.ink.resize(size_t(surface->w) * size_t(surface->h));
  SDL_LockSurface(surface);
  for (int y = 0; y < surface->h; y++) {
    const uint8_t* row = static_cast<const uint8_t*>(surface->pixels) + y * surface->pitch;
    for (int x = 0; x < surface->w; x++) glyph.ink[size_t(y) * surface->w + x] = row[x] != 0;
  }
  SDL_UnlockSurface(surface);
  SDL_FreeSurface(surface);
  return glyph;
}

Font* Load() {
  auto* loaded = new Font;
  if (TTF_Init() != 0) return loaded;
  TTF_Font* font = nullptr;
  for (const char* file : kFontFiles) {
    if ((font = TTF_OpenFont(file, kFontSize))) break;
  }
  if (!font) {
    fprintf(stderr, "no font found: text will not be drawn (install fonts-dejavu-core)\n");
    return loaded;
  }
  TTF_SetFontHinting(font, TTF_HINTING_MONO);
  loaded->lineHeight = kLineHeight;
  loaded->ascent = kAscent;
  loaded->glyphTop = kAscent - TTF_FontAscent(font);
  for (int c = 0; c < 256; c++) loaded->glyphs[c] = Render(font, CodePoint(uint8_t(c)));
  TTF_CloseFont(font);
  return loaded;
}

const Font& TheFont() {
  static const Font* font = Load();
  return *font;
}

}  // namespace

int FontLineHeight() { return TheFont().lineHeight; }

int FontAscent() { return TheFont().ascent; }

int TextWidth(const char* text, size_t count) {
  int width = 0;
  for (size_t i = 0; i < count; i++) width += TheFont().glyphs[uint8_t(text[i])].advance;
  return width;
}

void DrawTextRun(Pixmap& to, int64_t x, int64_t y, const char* text, size_t count, uint32_t pixel,
                 const RECT& clip) {
  int64_t left = std::max<int64_t>(clip.left, 0), right = std::min<int64_t>(clip.right, to.width);
  int64_t top = std::max<int64_t>(clip.top, 0), bottom = std::min<int64_t>(clip.bottom, to.height);
  int64_t pen = x;
  for (size_t i = 0; i < count && pen < right; i++) {
    const Glyph& glyph = TheFont().glyphs[uint8_t(text[i])];
    int64_t gx = pen + glyph.offsetX;
    for (int gy = 0; gy < glyph.height; gy++) {
      int64_t py = y + TheFont().glyphTop + gy;
      if (py < top || py >= bottom) continue;
      uint32_t* row = to.Row(int(py));
      for (int col = 0; col < glyph.width; col++) {
        int64_t px = gx + col;
        if (px >= left && px < right && glyph.ink[size_t(gy) * glyph.width + col]) row[px] = pixel;
      }
    }
    pen += glyph.advance;
  }
}
