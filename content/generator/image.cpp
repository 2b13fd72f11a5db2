#include "content/generator/image.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <fstream>
#include <iterator>

uint32_t Rgb(int r, int g, int b) {
  auto c = [](int v) { return uint32_t(std::clamp(v, 0, 255)); };
  return (c(r) << 16) | (c(g) << 8) | c(b);
}

uint32_t Shade(uint32_t color, double amount) {
  auto mix = [&](int v) { return int(std::lround(amount < 0 ? v * (1 + amount) : v + (255 - v) * amount)); };
  return Rgb(mix(color >> 16 & 255), mix(color >> 8 & 255), mix(color & 255));
}

void Image::FillRect(int x, int y, int w, int h, uint32_t color) {
  for (int py = std::max(y, 0); py < std::min(y + h, height); py++) {
    for (int px = std::max(x, 0); px < std::min(x + w, width); px++) pixels[size_t(py) * width + px] = color;
  }
}

void Image::FrameRect(int x, int y, int w, int h, uint32_t color) {
  FillRect(x, y, w, 1, color);
  FillRect(x, y + h - 1, w, 1, color);
  FillRect(x, y, 1, h, color);
  FillRect(x + w - 1, y, 1, h, color);
}

void Image::FillEllipse(double cx, double cy, double rx, double ry, uint32_t color) {
  if (rx <= 0 || ry <= 0) return;
  for (int py = int(std::floor(cy - ry)); py <= int(std::ceil(cy + ry)); py++) {
    for (int px = int(std::floor(cx - rx)); px <= int(std::ceil(cx + rx)); px++) {
      double dx = (px + 0.5 - cx) / rx, dy = (py + 0.5 - cy) / ry;
      if (dx * dx + dy * dy <= 1.0) Set(px, py, color);
    }
  }
}

void Image::FillPolygon(const std::vector<Point>& points, uint32_t color) {
  if (points.size() < 3) return;
  double top = points[0].y, bottom = points[0].y;
  for (const Point& p : points) top = std::min(top, p.y), bottom = std::max(bottom, p.y);
  for (int py = std::max(int(std::floor(top)), 0); py <= std::min(int(std::ceil(bottom)), height - 1); py++) {
    double sy = py + 0.5;
    std::vector<double> crossings;
    for (size_t i = 0; i < points.size(); i++) {
      Point a = points[i], b = points[(i + 1) % points.size()];
      if ((a.y <= sy) != (b.y <= sy)) crossings.push_back(a.x + (sy - a.y) * (b.x - a.x) / (b.y - a.y));
    }
    std::sort(crossings.begin(), crossings.end());
    for (size_t i = 0; i + 1 < crossings.size(); i += 2) {
      for (int px = int(std::ceil(crossings[i] - 0.5)); px <= int(std::floor(crossings[i + 1] - 0.5)); px++) {
        Set(px, py, color);
      }
    }
  }
}

void Image::Line(Point from, Point to, uint32_t color) {
  int steps = int(std::ceil(std::max(std::abs(to.x - from.x), std::abs(to.y - from.y))));
  for (int i = 0; i <= steps; i++) {
    double t = steps ? double(i) / steps : 0;
    Set(int(std::floor(from.x + (to.x - from.x) * t)), int(std::floor(from.y + (to.y - from.y) * t)), color);
  }
}

void Image::Paste(const Image& other, int x, int y, uint32_t transparent) {
  for (int py = 0; py < other.height; py++) {
    for (int px = 0; px < other.width; px++) {
      uint32_t c = other.At(px, py);
      if (c != transparent) Set(x + px, y + py, c);
    }
  }
}

bool WriteBmp(const std::filesystem::path& path, const Image& image) {
  std::filesystem::create_directories(path.parent_path());
  uint32_t stride = (uint32_t(image.width) * 3 + 3) / 4 * 4;
  uint32_t pixelBytes = stride * uint32_t(image.height);
  std::vector<uint8_t> out(54 + pixelBytes, 0);
  auto put16 = [&](size_t at, uint32_t v) { out[at] = uint8_t(v), out[at + 1] = uint8_t(v >> 8); };
  auto put32 = [&](size_t at, uint32_t v) { put16(at, v), put16(at + 2, v >> 16); };
  out[0] = 'B', out[1] = 'M';
  put32(2, uint32_t(out.size()));
  put32(10, 54);
  put32(14, 40);
  put32(18, uint32_t(image.width));
  put32(22, uint32_t(image.height));
  put16(26, 1);
  put16(28, 24);
  put32(34, pixelBytes);
  for (int y = 0; y < image.height; y++) {
    uint8_t* row = out.data() + 54 + size_t(image.height - 1 - y) * stride;
    for (int x = 0; x < image.width; x++) {
      uint32_t c = image.At(x, y);
      row[3 * x] = uint8_t(c), row[3 * x + 1] = uint8_t(c >> 8), row[3 * x + 2] = uint8_t(c >> 16);
    }
  }
  std::ofstream file(path, std::ios::binary);
  file.write(reinterpret_cast<const char*>(out.data()), std::streamsize(out.size()));
  return bool(file);
}

namespace {

constexpr std::string_view kGlyphChars = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789.,!?-':/+><()";
// Seven rows per glyph, the leftmost pixel in bit 4.
constexpr uint8_t kGlyphs[][7] = {
    {0x0E, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11}, {0x1E, 0x11, 0x11, 0x1E, 0x11, 0x11, 0x1E},
    {0x0E, 0x11, 0x10, 0x10, 0x10, 0x11, 0x0E}, {0x1E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x1E},
    {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x1F}, {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x10},
    {0x0E, 0x11, 0x10, 0x17, 0x11, 0x11, 0x0F}, {0x11, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11},
    {0x0E, 0x04, 0x04, 0x04, 0x04, 0x04, 0x0E}, {0x07, 0x02, 0x02, 0x02, 0x02, 0x12, 0x0C},
    {0x11, 0x12, 0x14, 0x18, 0x14, 0x12, 0x11}, {0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x1F},
    {0x11, 0x1B, 0x15, 0x15, 0x11, 0x11, 0x11}, {0x11, 0x11, 0x19, 0x15, 0x13, 0x11, 0x11},
    {0x0E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E}, {0x1E, 0x11, 0x11, 0x1E, 0x10, 0x10, 0x10},
    {0x0E, 0x11, 0x11, 0x11, 0x15, 0x12, 0x0D}, {0x1E, 0x11, 0x11, 0x1E, 0x14, 0x12, 0x11},
    {0x0F, 0x10, 0x10, 0x0E, 0x01, 0x01, 0x1E}, {0x1F, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04},
    {0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E}, {0x11, 0x11, 0x11, 0x11, 0x11, 0x0A, 0x04},
    {0x11, 0x11, 0x11, 0x15, 0x15, 0x15, 0x0A}, {0x11, 0x11, 0x0A, 0x04, 0x0A, 0x11, 0x11},
    {0x11, 0x11, 0x0A, 0x04, 0x04, 0x04, 0x04}, {0x1F, 0x01, 0x02, 0x04, 0x08, 0x10, 0x1F},
    {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E}, {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E},
    {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F}, {0x1E, 0x01, 0x01, 0x0E, 0x01, 0x01, 0x1E},
    {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02}, {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E},
    {0x0E, 0x10, 0x10, 0x1E, 0x11, 0x11, 0x0E}, {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08},
    {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E}, {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x01, 0x0E},
    {0x00, 0x00, 0x00, 0x00, 0x00, 0x0C, 0x0C}, {0x00, 0x00, 0x00, 0x00, 0x0C, 0x04, 0x08},
    {0x04, 0x04, 0x04, 0x04, 0x04, 0x00, 0x04}, {0x0E, 0x11, 0x01, 0x02, 0x04, 0x00, 0x04},
    {0x00, 0x00, 0x00, 0x0E, 0x00, 0x00, 0x00}, {0x04, 0x04, 0x08, 0x00, 0x00, 0x00, 0x00},
    {0x00, 0x0C, 0x0C, 0x00, 0x0C, 0x0C, 0x00}, {0x01, 0x01, 0x02, 0x04, 0x08, 0x10, 0x10},
    {0x00, 0x04, 0x04, 0x1F, 0x04, 0x04, 0x00}, {0x08, 0x04, 0x02, 0x01, 0x02, 0x04, 0x08},
    {0x02, 0x04, 0x08, 0x10, 0x08, 0x04, 0x02}, {0x02, 0x04, 0x08, 0x08, 0x08, 0x04, 0x02},
    {0x08, 0x04, 0x02, 0x02, 0x02, 0x04, 0x08},
};
static_assert(std::size(kGlyphs) == kGlyphChars.size());

}  // namespace

void PixelText(Image& image, int x, int y, std::string_view text, uint32_t color, int scale) {
  for (char c : text) {
    size_t glyph = kGlyphChars.find(char(std::toupper(static_cast<unsigned char>(c))));
    if (c != ' ') {
      const uint8_t* rows = kGlyphs[glyph == std::string_view::npos ? kGlyphChars.find('?') : glyph];
      for (int row = 0; row < 7; row++) {
        for (int col = 0; col < 5; col++) {
          if (rows[row] >> (4 - col) & 1) image.FillRect(x + col * scale, y + row * scale, scale, scale, color);
        }
      }
    }
    x += 6 * scale;
  }
}

int PixelTextWidth(std::string_view text, int scale) { return text.empty() ? 0 : (6 * int(text.size()) - 1) * scale; }
