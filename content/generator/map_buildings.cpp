// Buildings seen from above and the south: a roof over a front face that stands on the
// building's base line, the line where its obstacle ends.
#include <algorithm>
#include <cmath>

#include "content/generator/map_paint.h"

namespace {

constexpr uint32_t kTrim = 0xF2EEE0, kGlass = 0x7EA8C8, kDark = 0x2A2024;

uint32_t RoofColor(const std::string& style) {
  if (style == "red") return 0xB04434;
  if (style == "blue") return 0x405A96;
  if (style == "green") return 0x467850;
  if (style == "brown") return 0x845838;
  if (style == "orange") return 0xC86E32;
  if (style == "purple") return 0x784682;
  return 0x6E6E76;
}

void Window(Image& picture, int x, int y, int w, int h, uint32_t frame) {
  picture.FillRect(x - 1, y - 1, w + 2, h + 2, frame);
  picture.FillRect(x, y, w, h, kGlass);
  picture.FillRect(x, y, w, h / 3, Shade(kGlass, 0.25));
  picture.FillRect(x + w / 2, y, 1, h, frame);
  picture.FillRect(x, y + h / 2, w, 1, frame);
  picture.FillRect(x - 1, y + h + 1, w + 2, 1, Shade(frame, -0.35));
}

// A tiled roof from `top` down to its eave; the ridge runs along (or, for a narrow
// house, across) the building, with the slope facing the viewer darker.
void TiledRoof(Image& picture, Box b, int depth, uint32_t color, bool ridgeAcross) {
  for (int y = b.y; y < b.y + depth; y++) {
    for (int x = b.x - 1; x < b.x + b.w + 1; x++) {
      bool back = ridgeAcross ? x < b.x + b.w / 2 : y < b.y + depth * 2 / 5;
      uint32_t c = Shade(color, back ? 0.12 : -0.08);
      int row = (y - b.y) / 3;
      bool joint = (y - b.y) % 3 == 2 || (x + row * 2) % 5 == 0;
      picture.Set(x, y, joint ? Shade(c, -0.18) : Mottle(c, x, y, 31, 0.04));
    }
  }
  if (ridgeAcross) picture.FillRect(b.x + b.w / 2, b.y, 1, depth, Shade(color, 0.35));
  else picture.FillRect(b.x - 1, b.y + depth * 2 / 5, b.w + 2, 1, Shade(color, 0.35));
  picture.FrameRect(b.x - 1, b.y, b.w + 2, depth, Shade(color, -0.45));
  picture.FillRect(b.x, b.y + depth, b.w, 1, Shade(color, -0.6));  // the eave's shadow
}

void Chimney(Image& picture, int x, int y) {
  picture.FillRect(x, y, 5, 7, 0x8C3C30);
  picture.FillRect(x, y, 5, 2, 0x4A3A36);
  picture.FrameRect(x, y, 5, 7, 0x502420);
}

// Clapboards on a house's front face.
void Siding(Image& picture, Box face, uint32_t color) {
  for (int y = face.y; y < face.y + face.h; y++) {
    for (int x = face.x; x < face.x + face.w; x++) {
      picture.Set(x, y, (y - face.y) % 3 == 2 ? Shade(color, -0.1) : Mottle(color, x, y, 32, 0.02));
    }
  }
  picture.FillRect(face.x, face.y + face.h - 2, face.w, 2, 0x6A625A);
}

struct ShopLook {
  uint32_t wall, trim, awning, sign, letters;
};

ShopLook LookOf(const std::string& style) {
  if (style == "burger") return {0xC83428, 0xF8C830, 0xF8C830, 0xF8C830, 0xB02018};
  if (style == "drugstore") return {0xECF0E8, 0x28965A, 0x28965A, 0x28965A, 0xF8F8F0};
  if (style == "arcade") return {0x3C2458, 0xF03CC8, 0x40D8F0, 0x141018, 0x50F0F8};
  return {0xF4F4F0, 0xC83030, 0x4870C0, 0xF8F8F8, 0x2850A8};  // hospital
}

void Awning(Image& picture, int x, int y, int w, uint32_t color) {
  for (int i = 0; i < w; i++) {
    uint32_t c = (i / 3) % 2 ? 0xF8F4EC : color;
    picture.FillRect(x + i, y, 1, 4 + (i % 3 == 1), c);
  }
  picture.FillRect(x, y, w, 1, Shade(color, -0.3));
}

// A roof-top emblem: the hospital's landing pad, a green cross, a neon star.
void RoofSign(Image& picture, Box roof, const std::string& style, const ShopLook& look) {
  int cx = roof.x + roof.w / 2, cy = roof.y + roof.h / 2;
  if (style == "hospital") {
    picture.FillEllipse(cx, cy, roof.h / 2.0 - 2, roof.h / 2.0 - 3, 0xE8E8E0);
    picture.FillRect(cx - 4, cy - 5, 2, 10, look.trim);
    picture.FillRect(cx + 2, cy - 5, 2, 10, look.trim);
    picture.FillRect(cx - 2, cy - 1, 4, 2, look.trim);
  } else if (style == "drugstore") {
    picture.FillRect(cx - 2, cy - 6, 5, 13, look.trim);
    picture.FillRect(cx - 6, cy - 2, 13, 5, look.trim);
  } else {
    Block(picture, {roof.x + 6, roof.y + 4, 12, 9}, 4, 0xA8A8A8, 0x808080);  // a cooling unit
    Block(picture, {roof.x + roof.w - 16, roof.y + 5, 8, 7}, 3, 0xA8A8A8, 0x808080);
  }
}

}  // namespace

void PaintHouse(Image& picture, const Feature& f) {
  const uint32_t walls[] = {0xECE0C4, 0xF0EEE6, 0xECD696, 0xE8C4BE, 0xC8D6E2};
  Box b = PictureBox(f);
  int seed = Noise(b.x, b.y, 33);
  int roof = b.h * 11 / 20;
  ShadowBox(picture, {b.x + b.w, b.y + 3, 4, b.h - 3});
  Box face = {b.x, b.y + roof, b.w, b.h - roof};
  Siding(picture, face, walls[seed % 5]);
  int slots = std::max(2, (b.w - 4) / 16), door = seed % slots;
  for (int k = 0; k < slots; k++) {
    int cx = b.x + (2 * k + 1) * b.w / (2 * slots);
    if (k == door) {
      for (int step = 0; step < 3; step++) picture.FillRect(cx - 3, face.y + face.h + 1 + step * 3, 7, 2, 0xB8B0A0);
      picture.FillRect(cx - 4, face.y + face.h - 15, 9, 13, 0xF0ECE0);
      picture.FillRect(cx - 3, face.y + face.h - 14, 7, 12, 0x7A4A2A);
      picture.Set(cx + 2, face.y + face.h - 8, 0xF0D060);
    } else {
      Window(picture, cx - 4, face.y + 4, 8, std::min(9, face.h - 9), 0xF8F6F0);
    }
  }
  TiledRoof(picture, b, roof, RoofColor(f.style), b.w < b.h);
  Chimney(picture, b.x + b.w * 3 / 4 - 2, b.y + 1);
}

void PaintShop(Image& picture, const Feature& f) {
  Box b = PictureBox(f);
  ShopLook look = LookOf(f.style);
  int roof = b.h * 2 / 5;
  ShadowBox(picture, {b.x + b.w, b.y + 3, 4, b.h - 3});
  Box top = {b.x, b.y, b.w, roof};
  for (int y = top.y; y < top.y + top.h; y++) {
    for (int x = top.x; x < top.x + top.w; x++) picture.Set(x, y, Mottle(0x6A6A70, x, y, 34, 0.06));
  }
  picture.FrameRect(top.x, top.y, top.w, top.h, 0xB4B0A8);
  picture.FrameRect(top.x + 1, top.y + 1, top.w - 2, top.h - 2, 0x8C8880);
  RoofSign(picture, top, f.style, look);
  Box face = {b.x, b.y + roof, b.w, b.h - roof};
  picture.FillRect(face.x, face.y, face.w, face.h, look.wall);
  picture.FillRect(face.x, face.y, face.w, 1, 0x302828);
  // The sign board over the whole front, then shop windows under awnings either side
  // of the middle, where the entrance goes.
  int board = 12;
  picture.FillRect(face.x + 3, face.y + 2, face.w - 6, board, look.sign);
  picture.FrameRect(face.x + 3, face.y + 2, face.w - 6, board, look.trim);
  int scale = PixelTextWidth(f.text, 2) <= face.w - 10 && board >= 16 ? 2 : 1;
  PixelText(picture, face.x + (face.w - PixelTextWidth(f.text, scale)) / 2, face.y + 2 + (board - 7 * scale) / 2,
            f.text, look.letters, scale);
  int third = face.w / 3, windowTop = face.y + board + 8, windowH = face.y + face.h - 4 - windowTop;
  for (int x : {face.x + 4, face.x + 2 * third + 2}) {
    int w = third - 6;
    if (windowH > 3) {
      picture.FillRect(x - 1, windowTop - 1, w + 2, windowH + 2, look.trim);
      picture.FillRect(x, windowTop, w, windowH, kGlass);
      for (int i = 0; i < windowH; i++) picture.Set(x + 2 + i / 2, windowTop + windowH - 1 - i, Shade(kGlass, 0.4));
    }
    Awning(picture, x - 2, windowTop - 5, w + 4, look.awning);
  }
  picture.FillRect(face.x, face.y + face.h - 2, face.w, 2, Shade(look.wall, -0.45));
  picture.FrameRect(b.x, b.y, b.w, b.h, 0x282020);
}

void PaintTownHall(Image& picture, const Feature& f) {
  const uint32_t stone = 0xE6DCC4, slate = 0x6E7886;
  Box b = PictureBox(f);
  int c = f.numbers[4] / 2, front = b.h * 11 / 20;
  int base = b.y + b.h, eave = base - front;
  ShadowBox(picture, {b.x + b.w, b.y + 3, 4, b.h - c - 3});
  std::vector<Point> roof = {{double(b.x), double(b.y)}, {double(b.x + b.w), double(b.y)},
                             {double(b.x + b.w), double(eave - c)}, {double(b.x + b.w - c), double(eave)},
                             {double(b.x + c), double(eave)}, {double(b.x), double(eave - c)}};
  picture.FillPolygon(roof, slate);
  for (int y = b.y + 2; y < eave; y += 3) {
    for (int x = b.x; x < b.x + b.w; x++) {
      if (picture.At(x, y) == slate) picture.Set(x, y, Shade(slate, -0.12));
    }
  }
  // The angled wings, then the front with three floors of windows and a portico.
  picture.FillPolygon({{double(b.x), double(eave - c)}, {double(b.x + c), double(eave)},
                       {double(b.x + c), double(base)}, {double(b.x), double(base - c)}},
                      Shade(stone, -0.12));
  picture.FillPolygon({{double(b.x + b.w - c), double(eave)}, {double(b.x + b.w), double(eave - c)},
                       {double(b.x + b.w), double(base - c)}, {double(b.x + b.w - c), double(base)}},
                      Shade(stone, -0.25));
  picture.FillRect(b.x + c, eave, b.w - 2 * c, front, stone);
  picture.FillRect(b.x + c, eave, b.w - 2 * c, 2, kTrim);
  int floor = (front - 4) / 3;
  for (int k = 0; k < 3; k++) {
    int y = eave + 4 + k * floor;
    picture.FillRect(b.x + c, y + floor - 2, b.w - 2 * c, 1, Shade(stone, -0.15));
    for (int x = b.x + c + 5; x + 6 < b.x + b.w - c; x += 11) Window(picture, x, y + 2, 5, floor - 7, kTrim);
    for (int i = 3; i + 5 < c; i += 8) {  // the wings' walls top out along their slant
      Window(picture, b.x + i, y + 2 - c + i, 4, floor - 8, kTrim);
      Window(picture, b.x + b.w - i - 4, y + 2 - c + i, 4, floor - 8, kTrim);
    }
  }
  // The portico: a pediment with a clock, the name on the frieze, columns either side
  // of the entrance.
  int mid = b.x + b.w / 2, porch = std::min(b.w * 3 / 8, 64), frieze = eave + 2;
  picture.FillRect(mid - porch / 2 - 2, eave + 2, porch + 4, front - 2, Shade(stone, 0.2));
  picture.FillPolygon({{double(mid - porch / 2 - 4), double(frieze)}, {double(mid), double(eave - 12)},
                       {double(mid + porch / 2 + 4), double(frieze)}},
                      kTrim);
  picture.FillEllipse(mid, eave - 4, 3.5, 3.5, 0x404040);
  picture.FillEllipse(mid, eave - 4, 2.5, 2.5, 0xF8F4E0);
  picture.FillRect(mid, eave - 6, 1, 2, 0x404040);
  picture.FillRect(mid - porch / 2 - 2, frieze, porch + 4, 9, Shade(stone, -0.08));
  PixelText(picture, mid - PixelTextWidth("TOWN HALL") / 2, frieze + 1, "TOWN HALL", 0x5A4A30);
  for (int offset : {porch / 2 - 3, porch / 2 - 13}) {
    for (int x : {mid - offset - 1, mid + offset - 2}) {
      picture.FillRect(x, frieze + 9, 4, base - frieze - 9, 0xFAF8F0);
      picture.FillRect(x + 3, frieze + 9, 1, base - frieze - 9, 0xC8C0B0);
    }
  }
  picture.FillRect(mid - porch / 2 - 4, base - 3, porch + 8, 3, 0xD0C8B8);  // the steps
  picture.FillRect(mid - porch / 2 - 4, base - 2, porch + 8, 1, 0xB0A898);
  // A dome with a flag on the roof.
  int domeY = b.y + (eave - c - b.y) / 2 + 4;
  picture.FillRect(mid - 14, domeY - 2, 28, 8, Shade(stone, -0.05));
  picture.FillEllipse(mid, domeY - 2, 12, 10, 0x4C9A88);
  picture.FillEllipse(mid - 4, domeY - 6, 4, 3, 0x78C2B0);
  picture.FillRect(mid - 14, domeY + 4, 28, 2, kTrim);
  picture.FillRect(mid, domeY - 26, 1, 16, 0x404040);
  picture.FillRect(mid + 1, domeY - 26, 9, 6, 0x3868C0);
  picture.FillRect(mid + 1, domeY - 24, 9, 2, 0xF0F0F0);
  picture.FillRect(b.x + c, base - 2, b.w - 2 * c, 2, Shade(stone, -0.45));
}

void PaintEntrance(Image& picture, const Feature& f) {
  int x = f.numbers[0] / 2, base = f.numbers[1] / 2, w = f.numbers[2] / 2, h = 24;
  picture.FillRect(x - 2, base - h - 2, w + 4, h + 2, kTrim);
  for (int y = 0; y < h; y++) picture.FillRect(x, base - h + y, w, 1, Shade(kDark, y * 0.012));
  picture.FillRect(x + w / 2, base - h, 1, h, 0x58504C);
  picture.FillRect(x + 1, base - h + 1, w / 2 - 2, h / 2, 0x3C4A5A);
  picture.FillRect(x + w / 2 + 1, base - h + 1, w / 2 - 2, h / 2, 0x3C4A5A);
  picture.FillRect(x - 3, base, w + 6, 3, 0x8C3A30);
  picture.FillRect(x - 3, base + 2, w + 6, 1, 0x5A2420);
}
