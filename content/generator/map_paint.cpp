#include "content/generator/map_paint.h"

#include <algorithm>
#include <cmath>
#include <map>

Box PictureBox(const Feature& f, size_t first) {
  const std::vector<int>& n = f.numbers;
  return {n[first] / 2, n[first + 1] / 2, n[first + 2] / 2, n[first + 3] / 2};
}

int Noise(int x, int y, int seed) {
  uint32_t h = uint32_t(x) * 374761393u + uint32_t(y) * 668265263u + uint32_t(seed) * 2246822519u;
  h = (h ^ (h >> 13)) * 1274126177u;
  return int((h ^ (h >> 16)) & 255);
}

uint32_t Mottle(uint32_t base, int x, int y, int seed, double amount) {
  return Shade(base, amount * (Noise(x, y, seed) - 127.5) / 127.5);
}

void Shadow(Image& picture, double cx, double cy, double rx, double ry, double amount) {
  for (int y = int(std::floor(cy - ry)); y <= int(std::ceil(cy + ry)); y++) {
    for (int x = int(std::floor(cx - rx)); x <= int(std::ceil(cx + rx)); x++) {
      double dx = (x + 0.5 - cx) / rx, dy = (y + 0.5 - cy) / ry;
      if (dx * dx + dy * dy <= 1 && x >= 0 && y >= 0 && x < picture.width && y < picture.height) {
        picture.Set(x, y, Shade(picture.At(x, y), -amount));
      }
    }
  }
}

void ShadowBox(Image& picture, Box b, double amount) {
  for (int y = std::max(b.y, 0); y < std::min(b.y + b.h, picture.height); y++) {
    for (int x = std::max(b.x, 0); x < std::min(b.x + b.w, picture.width); x++) {
      picture.Set(x, y, Shade(picture.At(x, y), -amount));
    }
  }
}

std::vector<Point> BandPolygon(int x, int y, int w, int h, int shape, double grow) {
  // Rows are inclusive at both ends, so the area reaches one map pixel further.
  double slant = shape == 2 ? h : shape == 3 ? -h : 0;
  double left = x / 2.0 - grow, right = (x + w + 1) / 2.0 + grow, top = y / 2.0, bottom = (y + h + 1) / 2.0;
  double s = slant / 2.0;
  return {{left, top}, {right, top}, {right + s, bottom}, {left + s, bottom}};
}

int BandShape(const Feature& f) { return f.style == "leanright" ? 2 : f.style == "leanleft" ? 3 : 1; }

void Block(Image& picture, Box b, int front, uint32_t top, uint32_t face) {
  picture.FillRect(b.x, b.y, b.w, b.h - front, top);
  picture.FillRect(b.x, b.y + b.h - front, b.w, front, face);
  picture.FillRect(b.x + 1, b.y + 1, b.w - 2, 1, Shade(top, 0.25));
  picture.FrameRect(b.x, b.y, b.w, b.h, Shade(face, -0.45));
  picture.FillRect(b.x + 1, b.y + b.h - front, b.w - 2, 1, Shade(face, -0.2));
}

uint32_t NamedColor(const std::string& name) {
  static const std::map<std::string, uint32_t> colors = {
      {"white", 0xF4F1E8}, {"black", 0x202028}, {"gold", 0xF0C040}, {"red", 0xC83830},
      {"blue", 0x3868C0},  {"green", 0x3C9048}, {"brown", 0x7A5030}, {"grey", 0x8C8C90},
      {"purple", 0x7840A8}, {"pink", 0xE890B0}, {"orange", 0xE88830}, {"cyan", 0x50C8D8},
  };
  auto at = colors.find(name);
  return at == colors.end() ? 0xFF00FF : at->second;
}
