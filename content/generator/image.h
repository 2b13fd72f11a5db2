// A picture being drawn by the generator: 0x00RRGGBB pixels, rows top first, and the
// few shapes the game's pictures are made of. Everything clips to the picture.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string_view>
#include <vector>

struct Point {
  double x, y;
};

struct Image {
  Image(int w, int h, uint32_t fill = 0) : width(w), height(h), pixels(size_t(w) * h, fill) {}

  uint32_t At(int x, int y) const { return pixels[size_t(y) * width + x]; }
  void Set(int x, int y, uint32_t color) {
    if (x >= 0 && y >= 0 && x < width && y < height) pixels[size_t(y) * width + x] = color;
  }
  void FillRect(int x, int y, int w, int h, uint32_t color);
  void FrameRect(int x, int y, int w, int h, uint32_t color);
  void FillEllipse(double cx, double cy, double rx, double ry, uint32_t color);
  // Any simple polygon, filled by the even-odd rule at pixel centres.
  void FillPolygon(const std::vector<Point>& points, uint32_t color);
  void Line(Point from, Point to, uint32_t color);
  // Copies `other` with its top-left corner at (x, y); pixels equal to `transparent`
  // are skipped.
  void Paste(const Image& other, int x, int y, uint32_t transparent = 0xFFFFFFFF);

  int width, height;
  std::vector<uint32_t> pixels;
};

uint32_t Rgb(int r, int g, int b);
// `color` moved towards black (amount < 0) or white (amount > 0), amount in -1..1.
uint32_t Shade(uint32_t color, double amount);

// Writes a 24-bit BMP with the 40-byte info header, bottom row first, as the game reads it.
bool WriteBmp(const std::filesystem::path& path, const Image& image);

// Capital letters, digits and a little punctuation in a 5 x 7 pixel font, each pixel a
// `scale` x `scale` block, glyphs one pixel apart; (x, y) is the top-left corner.
// Small letters are drawn as capitals, anything else as '?'.
void PixelText(Image& image, int x, int y, std::string_view text, uint32_t color, int scale = 1);
int PixelTextWidth(std::string_view text, int scale = 1);
