// Indoors: walls seen from above, the back wall seen from the front, what hangs on it,
// the ways out, and furniture.
#include <algorithm>
#include <cmath>
#include <map>

#include "content/generator/map_paint.h"

namespace {

uint32_t Wallpaper(const std::string& style) {
  static const std::map<std::string, uint32_t> papers = {
      {"cream", 0xECE0C0}, {"blue", 0x9CB4D4}, {"stone", 0xC4BCB0}, {"wood", 0x9C6E48},
      {"purple", 0x4C3070}, {"white", 0xF0F0EC}, {"red", 0xB04840},
  };
  return papers.at(style);
}

void Arrow(Image& picture, int cx, int y, int size, bool down, uint32_t color) {
  for (int i = 0; i < size; i++) {
    int row = down ? y + i : y + size - 1 - i;
    picture.FillRect(cx - (size - i), row, 2 * (size - i) + 1, 1, color);
  }
}

void Steps(Image& picture, Box b, bool up) {
  int count = std::max(3, b.h / 4);
  for (int k = 0; k < count; k++) {
    int y0 = b.y + k * b.h / count, y1 = b.y + (k + 1) * b.h / count;
    double light = up ? 0.3 - 0.5 * k / count : -0.1 - 0.5 * k / count;  // the far end goes up or down
    picture.FillRect(b.x, y0, b.w, y1 - y0, Shade(0xA88A64, light));
    picture.FillRect(b.x, y1 - 1, b.w, 1, Shade(0xA88A64, light - 0.3));
  }
  picture.FillRect(b.x - 2, b.y, 2, b.h, 0x5A3A22);
  picture.FillRect(b.x + b.w, b.y, 2, b.h, 0x5A3A22);
  Arrow(picture, b.x + b.w / 2, b.y + b.h / 2 - 3, 4, !up, 0xF8F0D0);
  const char* label = up ? "UP" : "DOWN";
  PixelText(picture, b.x + (b.w - PixelTextWidth(label)) / 2, b.y + b.h / 2 + 3, label, 0xF8F0D0);
}

struct FurnitureLook {
  int front;  // picture pixels of front face
  uint32_t top, face;
};

FurnitureLook LookOf(const std::string& style, Box b) {
  if (style == "counter") return {10, 0xE6D6B8, 0x9A6440};
  if (style == "table") return {4, 0xB88450, 0x7A5030};
  if (style == "shelf" || style == "bookcase") return {std::min(26, b.h - 4), 0x8A5E3C, 0x6A4428};
  if (style == "desk") return {8, 0x9C6838, 0x6E4424};
  if (style == "bed") return {6, 0xF4F4F0, 0xC8C8D0};
  if (style == "cabinet") return {std::min(24, b.h - 4), 0x2A2A38, 0x3A3A50};
  if (style == "sofa") return {8, 0xA04A3A, 0x803428};
  if (style == "fridge" || style == "locker") return {std::min(24, b.h - 4), 0xE8ECEE, 0xD0D6DA};
  if (style == "grill") return {9, 0x5A5A60, 0x9AA0A8};
  if (style == "booth") return {7, 0xC8302C, 0x982420};
  if (style == "pooltable") return {5, 0x2E8A4A, 0x6A3C1E};
  return {6, 0x3C3C44, 0x2A2A30};  // a plain box
}

void Details(Image& picture, const std::string& style, Box b, int front) {
  int topH = b.h - front, faceY = b.y + topH;
  if (style == "shelf" || style == "bookcase") {
    const uint32_t goods[] = {0xC83C3C, 0x3C78C8, 0xE8C040, 0x48A058, 0xE8E8E0, 0x9050B0};
    for (int y = faceY + 2; y + 5 < b.y + b.h; y += 7) {
      picture.FillRect(b.x + 1, y + 5, b.w - 2, 1, 0x3C2818);
      for (int x = b.x + 2; x + 2 < b.x + b.w - 1; x += 3) {
        int tall = style == "bookcase" ? 4 + Noise(x, y, 51) % 2 : 3 + Noise(x, y, 51) % 3;
        picture.FillRect(x, y + 5 - tall, 2, tall, goods[Noise(x, y, 52) % 6]);
      }
    }
  } else if (style == "counter") {
    picture.FillRect(b.x + 3, faceY + 3, b.w - 6, 1, Shade(0x9A6440, -0.25));
    Block(picture, {b.x + b.w - 14, b.y + 1, 9, 7}, 3, 0x505058, 0x303038);  // the till
  } else if (style == "desk") {
    picture.FillRect(b.x + 4, b.y + 2, 8, 5, 0xF4F0E6);
    Block(picture, {b.x + b.w / 2 - 6, b.y - 4, 12, 10}, 8, 0x404048, 0x2C3C5C);  // a computer
    picture.FillRect(b.x + b.w / 2 - 5, b.y - 3, 10, 5, 0x70B8E8);
  } else if (style == "bed") {
    picture.FillRect(b.x + 2, b.y + 2, b.w - 4, 6, 0xFFFFFF);
    picture.FrameRect(b.x + 2, b.y + 2, b.w - 4, 6, 0xC8C8D0);
    picture.FillRect(b.x + 1, b.y + 10, b.w - 2, topH - 10, 0x88B0D8);
    picture.FillRect(b.x + 1, b.y + 10, b.w - 2, 1, 0xB0D0F0);
  } else if (style == "cabinet") {
    const uint32_t screens[] = {0x30C060, 0xE04890, 0x40A0F0, 0xF0C030};
    uint32_t glow = screens[Noise(b.x, b.y, 53) % 4];
    picture.FillRect(b.x + 2, faceY + 1, b.w - 4, 4, glow);  // the marquee
    picture.FillRect(b.x + 3, faceY + 7, b.w - 6, std::max(4, front / 3), 0x101018);
    picture.FillRect(b.x + 4, faceY + 8, b.w - 8, std::max(2, front / 3 - 2), Shade(glow, -0.3));
    int panel = faceY + 8 + std::max(4, front / 3);
    picture.FillRect(b.x + 1, panel, b.w - 2, 3, 0x505068);
    picture.FillRect(b.x + 4, panel - 2, 1, 3, 0x202020);
    picture.Set(b.x + 4, panel - 2, 0xE03030);
    picture.Set(b.x + b.w - 6, panel + 1, 0xF0E040), picture.Set(b.x + b.w - 4, panel + 1, 0x40C0F0);
  } else if (style == "sofa") {
    picture.FillRect(b.x, b.y, b.w, 4, 0x8C3A2C);
    int cushion = std::max(b.w / 3, 3);
    for (int x = b.x + 2; x + 6 < b.x + b.w; x += cushion) picture.FrameRect(x, b.y + 5, cushion - 2, topH - 5, 0x7A2E22);
  } else if (style == "fridge" || style == "locker") {
    for (int x = b.x; x < b.x + b.w; x += style == "locker" ? 8 : b.w) {
      picture.FrameRect(x, faceY, std::min(8, b.x + b.w - x), front, 0x9CA2A8);
      picture.FillRect(x + 2, faceY + front / 2 - 2, 1, 4, 0x707880);
    }
  } else if (style == "grill") {
    for (int x = b.x + 3; x + 5 < b.x + b.w; x += 7) {
      picture.FillEllipse(x + 2.5, b.y + topH / 2.0, 3, 2, 0x7A4424);  // patties on the plate
    }
    picture.FillRect(b.x + 2, faceY + 3, b.w - 4, 1, 0x606870);
  } else if (style == "booth") {
    picture.FillRect(b.x + 3, b.y + topH / 2 - 3, b.w - 6, 6, 0xB8844C);  // the table between the seats
    picture.FrameRect(b.x + 3, b.y + topH / 2 - 3, b.w - 6, 6, 0x6A4424);
  } else if (style == "pooltable") {
    picture.FrameRect(b.x, b.y, b.w, topH, 0x6A3C1E);
    picture.FrameRect(b.x + 1, b.y + 1, b.w - 2, topH - 2, 0x6A3C1E);
    for (int px : {b.x + 2, b.x + b.w / 2, b.x + b.w - 3})
      for (int py : {b.y + 2, b.y + topH - 3}) picture.FillRect(px, py, 2, 2, 0x101010);
    picture.FillEllipse(b.x + b.w / 3.0, b.y + topH / 2.0, 1.5, 1.5, 0xF8F8F8);
    picture.FillEllipse(b.x + b.w * 2 / 3.0, b.y + topH / 2.0, 1.5, 1.5, 0xE03030);
  }
}

// A potted plant: the pot stands on the base line, the leaves fan out above it.
void Plant(Image& picture, Box b) {
  Box pot = {b.x + b.w / 4, b.y + b.h - 8, b.w / 2, 8};
  Block(picture, pot, 5, 0xB07848, 0x8A5634);
  int cx = b.x + b.w / 2;
  for (int k = 0; k < 7; k++) {
    double t = (k - 3) * 0.45;
    picture.Line({double(cx), double(pot.y + 1)}, {cx + 9 * std::sin(t), pot.y - 12 * std::cos(t) - 3},
                 k % 2 ? 0x3C8A3A : 0x2C6A2C);
    picture.FillEllipse(cx + 8 * std::sin(t), pot.y - 11 * std::cos(t) - 3, 2.5, 1.6, 0x4CA048);
  }
}

}  // namespace

void PaintWall(Image& picture, const Feature& f) {
  Box b = PictureBox(f);
  picture.FillRect(b.x, b.y, b.w, b.h, 0x4A3E3C);
  picture.FrameRect(b.x, b.y, b.w, b.h, 0x2A2220);
  picture.FrameRect(b.x + 1, b.y + 1, b.w - 2, b.h - 2, 0x6A5C58);
}

void PaintBackWall(Image& picture, const Feature& f) {
  Box b = PictureBox(f);
  uint32_t paper = Wallpaper(f.style);
  for (int y = b.y; y < b.y + b.h; y++) {
    for (int x = b.x; x < b.x + b.w; x++) {
      uint32_t c = (x / 4) % 2 ? Shade(paper, -0.05) : paper;
      picture.Set(x, y, Mottle(c, x, y, 54, 0.02));
    }
  }
  picture.FillRect(b.x, b.y, b.w, 4, Shade(paper, -0.4));  // the ceiling's edge
  picture.FillRect(b.x, b.y + 4, b.w, 1, Shade(paper, 0.3));
  picture.FillRect(b.x, b.y + b.h - 5, b.w, 5, 0x6A4428);  // the skirting board
  picture.FillRect(b.x, b.y + b.h - 5, b.w, 1, 0x9A6E48);
  picture.FillRect(b.x, b.y + b.h - 1, b.w, 1, 0x2A1A10);
}

void PaintWindow(Image& picture, const Feature& f) {
  Box b = PictureBox(f);
  picture.FillRect(b.x - 2, b.y - 2, b.w + 4, b.h + 4, 0xF4F0E6);
  for (int y = b.y; y < b.y + b.h; y++) picture.FillRect(b.x, y, b.w, 1, Shade(0x78B4E8, 0.4 * (y - b.y) / b.h));
  picture.FillEllipse(b.x + b.w * 0.3, b.y + b.h * 0.35, b.w * 0.15, 2, 0xF8F8FF);
  picture.FillRect(b.x + b.w / 2, b.y, 1, b.h, 0xF4F0E6);
  picture.FillRect(b.x, b.y + b.h / 2, b.w, 1, 0xF4F0E6);
  picture.FillRect(b.x - 3, b.y + b.h + 2, b.w + 6, 2, 0xC8C0B0);
}

void PaintPoster(Image& picture, const Feature& f) {
  Box b = PictureBox(f);
  uint32_t c = NamedColor(f.style);
  picture.FillRect(b.x - 1, b.y - 1, b.w + 2, b.h + 2, 0x4A3020);
  picture.FillRect(b.x, b.y, b.w, b.h, Shade(c, 0.5));
  picture.FillPolygon({{double(b.x), double(b.y + b.h)}, {b.x + b.w * 0.45, b.y + b.h * 0.45},
                       {double(b.x + b.w), double(b.y + b.h)}},
                      c);  // a hill under the sun
  picture.FillEllipse(b.x + b.w * 0.75, b.y + b.h * 0.3, 2, 2, 0xF8E060);
}

void PaintDoor(Image& picture, const Feature& f) {
  Box b = PictureBox(f);
  if (f.style == "mat") {  // a door mat before a gap in the wall, under a green sign
    int mat = b.h * 6 / 10;
    for (int y = b.y + mat; y < b.y + b.h; y++) {  // daylight through the gap
      picture.FillRect(b.x, y, b.w, 1, Shade(0xD8D0B8, 0.5 * (y - b.y - mat) / (b.h - mat)));
    }
    picture.FillRect(b.x - 2, b.y + mat, 2, b.h - mat, 0x2A2220);
    picture.FillRect(b.x + b.w, b.y + mat, 2, b.h - mat, 0x2A2220);
    Box rug = {b.x + 2, b.y, b.w - 4, mat};
    picture.FillRect(rug.x, rug.y, rug.w, rug.h, 0x7A3A2C);
    for (int y = rug.y + 2; y < rug.y + rug.h - 1; y += 2) picture.FillRect(rug.x + 2, y, rug.w - 4, 1, 0x9A5A3C);
    picture.FrameRect(rug.x, rug.y, rug.w, rug.h, 0x4A2018);
    Arrow(picture, b.x + b.w / 2, rug.y + rug.h / 2 - 2, 4, true, 0xF0E0B0);
    int w = PixelTextWidth("EXIT") + 6;
    picture.FillRect(b.x + (b.w - w) / 2, b.y - 12, w, 10, 0x208040);
    picture.FrameRect(b.x + (b.w - w) / 2, b.y - 12, w, 10, 0xE8F8E8);
    PixelText(picture, b.x + (b.w - w) / 2 + 3, b.y - 11, "EXIT", 0xF8FFF8);
  } else if (f.style == "doorway") {
    for (int y = b.y; y < b.y + b.h; y++) picture.FillRect(b.x, y, b.w, 1, Shade(0x403028, -0.5 * (y - b.y) / b.h));
    picture.FrameRect(b.x - 1, b.y - 1, b.w + 2, b.h + 2, 0xE8E0C8);
  } else {
    Steps(picture, b, f.style == "stairsup");
  }
}

void PaintFurniture(Image& picture, const Feature& f) {
  Box b = PictureBox(f);
  FurnitureLook look = LookOf(f.style, b);
  ShadowBox(picture, {b.x + b.w, b.y + 3, 3, b.h - 3}, 0.25);
  if (f.style == "plant") return Plant(picture, b);
  Block(picture, b, look.front, look.top, look.face);
  Details(picture, f.style, b, look.front);
}
