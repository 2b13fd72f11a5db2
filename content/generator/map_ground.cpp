// The ground: surfaces, streets, water and what lies flat on them.
#include <algorithm>
#include <cmath>
#include <functional>
#include <map>

#include "content/generator/map_paint.h"

namespace {

using Surface = std::function<uint32_t(int x, int y)>;

uint32_t Grass(int x, int y) {
  uint32_t c = Shade(Mottle(0x6EAA50, x, y, 1, 0.05), (Noise(x / 9, y / 9, 4) - 128) / 128.0 * 0.05);
  if (Noise(x, y, 2) < 20) return Shade(c, -0.18);
  return Noise(x, y, 3) < 4 ? Shade(c, 0.22) : c;
}

uint32_t Meadow(int x, int y) {
  const uint32_t blossoms[] = {0xF8F4E8, 0xF8D840, 0xF090C0};
  return Noise(x, y, 5) < 4 ? blossoms[Noise(x, y, 6) % 3] : Grass(x, y);
}

// Rectangular slabs of `size` pixels with darker joints, each slab its own tint.
uint32_t Slabs(uint32_t base, int x, int y, int w, int h, double tint) {
  if (x % w == 0 || y % h == 0) return Shade(base, -0.14);
  return Mottle(Shade(base, tint * (Noise(x / w, y / h, 7) - 128) / 128.0), x, y, 8, 0.03);
}

// Boards `h` pixels high whose joints are staggered from board to board.
uint32_t Boards(uint32_t base, int x, int y, int h) {
  int board = y / h;
  if (y % h == h - 1 || (x + board * 17) % 37 == 0) return Shade(base, -0.25);
  return Mottle(Shade(base, (Noise(board, 0, 11) - 128) / 128.0 * 0.1), x, y, 12, 0.04);
}

uint32_t Parquet(int x, int y) {
  bool across = (x / 8 + y / 8) % 2;
  int strip = across ? y % 8 / 2 : x % 8 / 2;
  uint32_t c = Shade(0xBE8C5A, strip % 2 ? -0.06 : 0.03);
  return (across ? y % 2 : x % 2) && (across ? x % 8 == 7 : y % 8 == 7) ? Shade(c, -0.2) : Mottle(c, x, y, 13, 0.03);
}

uint32_t Carpet(uint32_t base, int x, int y) {
  uint32_t c = Mottle(base, x, y, 14, 0.05);
  return ((x + y) % 12 == 0 || (x - y + 1200) % 12 == 0) ? Shade(c, 0.1) : c;
}

uint32_t ArcadeCarpet(int x, int y) {
  const uint32_t confetti[] = {0xF040C0, 0x40E0F0, 0xF0E040, 0x60F060};
  int n = Noise(x, y, 15);
  return n < 6 ? confetti[n % 4] : Mottle(0x241838, x, y, 16, 0.08);
}

uint32_t Marble(int x, int y) {
  uint32_t c = Slabs(0xE4E0D8, x, y, 16, 16, 0.03);
  double vein = std::sin((x + y * 0.6) / 5.0 + Noise(x / 6, y / 6, 17) / 40.0);
  return vein > 0.985 ? Shade(c, -0.06) : c;
}

uint32_t Speckled(uint32_t base, int x, int y, int size) {
  uint32_t c = Slabs(base, x, y, size, size, 0.02);
  return Noise(x, y, 18) < 12 ? Shade(c, -0.12) : c;
}

const std::map<std::string, Surface>& Surfaces() {
  static const std::map<std::string, Surface> surfaces = {
      {"grass", Grass},
      {"meadow", Meadow},
      {"dirt", [](int x, int y) { return Noise(x, y, 19) < 8 ? 0x8A6C48u : Mottle(0xB08C60, x, y, 20, 0.07); }},
      {"sand", [](int x, int y) { return Mottle(0xE2D09C, x, y, 21, 0.05); }},
      {"sidewalk", [](int x, int y) { return Slabs(0xC4C0B8, x, y, 8, 8, 0.02); }},
      {"asphalt", [](int x, int y) { return Mottle(0x5C5E64, x, y, 22, 0.07); }},
      {"plaza", [](int x, int y) { return Slabs((x / 10 + y / 10) % 2 ? 0xDED0B0 : 0xCCBC98, x, y, 10, 10, 0.04); }},
      {"safe", [](int x, int y) { return Slabs(0xE8C460, x, y, 5, 5, 0.05); }},
      {"darkwood", [](int x, int y) { return Boards(0x7C5434, x, y, 5); }},
      {"parquet", Parquet},
      {"tiles", [](int x, int y) { return Slabs(0xECECE6, x, y, 8, 8, 0.01); }},
      {"checker", [](int x, int y) { return Slabs((x / 8 + y / 8) % 2 ? 0x2C2C34 : 0xECE8E0, x, y, 8, 8, 0.0); }},
      {"bluecarpet", [](int x, int y) { return Carpet(0x384890, x, y); }},
      {"greencarpet", [](int x, int y) { return Carpet(0x3C6E46, x, y); }},
      {"arcadecarpet", ArcadeCarpet},
      {"marble", Marble},
      {"linoleum", [](int x, int y) { return Speckled(0xC8DCD2, x, y, 12); }},
  };
  return surfaces;
}

void Fill(Image& picture, Box b, const Surface& surface) {
  for (int y = std::max(b.y, 0); y < std::min(b.y + b.h, picture.height); y++) {
    for (int x = std::max(b.x, 0); x < std::min(b.x + b.w, picture.width); x++) picture.Set(x, y, surface(x, y));
  }
}

}  // namespace

std::string SurfaceNames() {
  std::string names;
  for (const auto& [name, surface] : Surfaces()) names += (names.empty() ? "" : " ") + name;
  return names;
}

void PaintArea(Image& picture, const Feature& f) { Fill(picture, PictureBox(f), Surfaces().at(f.style)); }

void PaintStreet(Image& picture, const Feature& f) {
  Box b = PictureBox(f);
  Fill(picture, b, Surfaces().at("asphalt"));
  bool along = b.w >= b.h;  // the street runs along its longer side
  int length = along ? b.w : b.h, across = along ? b.h : b.w;
  for (int i = 0; i < length; i++) {
    auto put = [&](int a, uint32_t c) { along ? picture.Set(b.x + i, b.y + a, c) : picture.Set(b.x + a, b.y + i, c); };
    put(1, 0xB8B8B0), put(across - 2, 0xB8B8B0);
    if (i % 12 < 7) put(across / 2, 0xE8C850);
  }
}

void PaintCrossing(Image& picture, const Feature& f) {
  Box b = PictureBox(f);
  bool stacked = b.h >= b.w;  // bars lie across the walkers' way
  for (int y = b.y; y < b.y + b.h; y++) {
    for (int x = b.x; x < b.x + b.w; x++) {
      if ((stacked ? y - b.y : x - b.x) % 6 < 3) picture.Set(x, y, Mottle(0xE8E8E0, x, y, 23, 0.03));
    }
  }
}

void PaintWater(Image& picture, const Feature& f) {
  const std::vector<int>& n = f.numbers;
  int slant = BandShape(f) == 2 ? 1 : BandShape(f) == 3 ? -1 : 0;
  // Row by row between the banks: muddy edges, then water that darkens with depth.
  for (int y = n[1] / 2; y <= (n[1] + n[3]) / 2; y++) {
    double left = (n[0] + slant * (2 * y - n[1])) / 2.0, right = left + (n[2] + 1) / 2.0;
    for (int x = int(left) - 2; x <= int(right) + 2; x++) {
      double inside = std::min(x + 0.5 - left, right - x - 0.5);
      if (inside < -1.5 || x < 0 || y < 0 || x >= picture.width || y >= picture.height) continue;
      if (inside < 1) {
        picture.Set(x, y, Mottle(0x6E6440, x, y, 29, 0.12));
        continue;
      }
      double depth = std::min(inside, 12.0) / 12.0;
      uint32_t c = Rgb(int(96 - 50 * depth), int(168 - 66 * depth), int(214 - 40 * depth));
      bool ripple = Noise(x / 5, y, 24) < 14 && x % 5 < 3;
      picture.Set(x, y, ripple ? Shade(c, 0.35) : Mottle(c, x, y, 25, 0.03));
    }
  }
}

void PaintBridge(Image& picture, const Feature& f) {
  Box b = PictureBox(f);
  bool wood = f.style == "wood";
  if (wood) {  // a plank deck; a stone bridge keeps the road that runs over it
    for (int y = b.y; y < b.y + b.h; y++) {
      for (int x = b.x; x < b.x + b.w; x++) {
        uint32_t c = Shade(0x9C6C44, (Noise((x - b.x) / 3, 0, 26) - 128) / 128.0 * 0.1);
        picture.Set(x, y, (x - b.x) % 3 == 2 ? Shade(c, -0.3) : Mottle(c, x, y, 27, 0.04));
      }
    }
  }
  uint32_t rail = wood ? 0x5A3A22 : 0xB4AEA2, post = wood ? 0x4A2E1A : 0x8C867A;
  for (int y : {b.y, b.y + b.h - 3}) {
    picture.FillRect(b.x, y, b.w, 2, rail);
    picture.FillRect(b.x, y + 2, b.w, 1, Shade(rail, -0.4));
    for (int x = b.x; x < b.x + b.w; x += 8) picture.FillRect(x, y - 2, 2, 5, post);
  }
  if (!wood) {
    for (int x : {b.x - 2, b.x + b.w - 2}) {
      Block(picture, {x, b.y - 4, 5, 7}, 3, 0xC8C2B6, 0x9C968A);
      Block(picture, {x, b.y + b.h - 5, 5, 7}, 3, 0xC8C2B6, 0x9C968A);
    }
  }
}

void PaintParking(Image& picture, const Feature& f) {
  Box b = PictureBox(f);
  Fill(picture, b, Surfaces().at("asphalt"));
  for (int x = b.x; x <= b.x + b.w; x += 16) picture.FillRect(x, b.y + 2, 1, b.h - 4, 0xE8E8E0);
  picture.FillRect(b.x, b.y + b.h - 2, b.w + 1, 1, 0xE8E8E0);
}

void PaintFlowers(Image& picture, const Feature& f) {
  const uint32_t blossoms[] = {0xE83C48, 0xF8D030, 0xF8F0F0, 0xC050D0, 0xF08830};
  Box b = PictureBox(f);
  picture.FillRect(b.x, b.y, b.w, b.h, 0x3C7030);
  picture.FrameRect(b.x - 1, b.y - 1, b.w + 2, b.h + 2, 0xB8B0A0);
  for (int y = b.y; y < b.y + b.h; y++) {
    for (int x = b.x + y % 2; x < b.x + b.w; x += 2) {
      if (Noise(x, y, 28) < 150) picture.Set(x, y, blossoms[Noise(x, y, 29) % 5]);
    }
  }
}

void PaintText(Image& picture, const Feature& f) {
  int x = f.numbers[0] / 2, y = f.numbers[1] / 2, scale = std::max(f.numbers[2], 1);
  uint32_t color = NamedColor(f.style);
  PixelText(picture, x + 1, y + 1, f.text, Shade(color, -0.7), scale);
  PixelText(picture, x, y, f.text, color, scale);
}

void PaintRug(Image& picture, const Feature& f) {
  Box b = PictureBox(f);
  uint32_t c = NamedColor(f.style);
  picture.FillRect(b.x, b.y, b.w, b.h, Shade(c, -0.2));
  picture.FillRect(b.x + 2, b.y + 2, b.w - 4, b.h - 4, c);
  picture.FrameRect(b.x + 4, b.y + 4, b.w - 8, b.h - 8, Shade(c, 0.45));
  for (int x = b.x; x < b.x + b.w; x += 2) picture.Set(x, b.y - 1, 0xE8E0C8), picture.Set(x, b.y + b.h, 0xE8E0C8);
}
