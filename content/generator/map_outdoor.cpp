// What stands outdoors: trees, hedges, fences, the fountain, signs and benches.
#include <algorithm>
#include <cmath>

#include "content/generator/map_paint.h"

namespace {

// A leafy ball: dark rim, lighter body, a highlight to the upper left, and leaves.
void Crown(Image& picture, double cx, double cy, double r, uint32_t leaf) {
  picture.FillEllipse(cx, cy, r, r * 0.9, Shade(leaf, -0.35));
  picture.FillEllipse(cx - r * 0.08, cy - r * 0.1, r * 0.88, r * 0.78, leaf);
  picture.FillEllipse(cx - r * 0.35, cy - r * 0.35, r * 0.4, r * 0.34, Shade(leaf, 0.22));
  for (int y = int(cy - r); y <= int(cy + r); y++) {
    for (int x = int(cx - r); x <= int(cx + r); x++) {
      double dx = (x + 0.5 - cx) / r, dy = (y + 0.5 - cy) / (r * 0.9);
      if (dx * dx + dy * dy < 0.85 && Noise(x, y, 41) < 40) {
        picture.Set(x, y, Shade(leaf, Noise(x, y, 42) < 128 ? -0.2 : 0.12));
      }
    }
  }
}

void Trunk(Image& picture, int fx, int fy, int w, int h, uint32_t bark) {
  picture.FillRect(fx - w / 2, fy - h, w, h, bark);
  picture.FillRect(fx - w / 2 + w - 2, fy - h, 2, h, Shade(bark, -0.3));
  picture.FillRect(fx - w / 2 - 1, fy - 1, w + 2, 1, Shade(bark, -0.2));
}

void Pine(Image& picture, int fx, int fy) {
  Trunk(picture, fx, fy, 4, 8, 0x6A4628);
  const uint32_t needles = 0x2E6A46;
  for (int tier = 0; tier < 3; tier++) {
    double bottom = fy - 6 - tier * 11, half = 15 - tier * 4;
    double top = bottom - 20 + tier * 2;
    picture.FillPolygon({{fx - half, bottom}, {double(fx), top}, {fx + half, bottom}}, Shade(needles, -0.25));
    picture.FillPolygon({{fx - half + 1, bottom - 1}, {double(fx), top + 1}, {double(fx), bottom - 1}},
                        Shade(needles, 0.12));
    picture.FillPolygon({{double(fx), top + 1}, {fx + half - 1, bottom - 1}, {double(fx), bottom - 1}}, needles);
  }
}

}  // namespace

void PaintTree(Image& picture, const Feature& f) {
  int fx = f.numbers[0] / 2, fy = f.numbers[1] / 2;
  Shadow(picture, fx + 4, fy, f.style == "bush" ? 12 : 15, 5);
  if (f.style == "pine") {
    Pine(picture, fx, fy);
  } else if (f.style == "bush") {
    Crown(picture, fx - 5, fy - 8, 8, 0x4E8C3A);
    Crown(picture, fx + 5, fy - 7, 8, 0x4E8C3A);
    Crown(picture, fx, fy - 12, 8, 0x5A9A42);
  } else if (f.style == "birch") {
    Trunk(picture, fx, fy, 5, 22, 0xEEEAE0);
    for (int y = fy - 20; y < fy; y += 4) picture.FillRect(fx - 2 + y % 3, y, 2, 1, 0x303030);
    Crown(picture, fx - 6, fy - 30, 10, 0x78B44C);
    Crown(picture, fx + 6, fy - 28, 10, 0x78B44C);
    Crown(picture, fx, fy - 38, 10, 0x84BE54);
  } else {
    Trunk(picture, fx, fy, 6, 18, 0x6E4A2C);
    Crown(picture, fx, fy - 30, 18, 0x3E8236);
    Crown(picture, fx - 9, fy - 28, 11, 0x4A9040);
    Crown(picture, fx + 9, fy - 26, 11, 0x458A3C);
    Crown(picture, fx + 1, fy - 40, 11, 0x54A046);
  }
}

void PaintHedge(Image& picture, const Feature& f) {
  const std::vector<int>& n = f.numbers;
  int shape = BandShape(f);
  std::vector<Point> ground = BandPolygon(n[0], n[1], n[2], n[3], shape);
  std::vector<Point> top = ground;
  for (Point& p : top) p.y -= 6;
  picture.FillPolygon(ground, 0x2C5A26);
  picture.FillPolygon(top, 0x4A8A3A);
  Box b = PictureBox(f);
  int reach = b.h + 2;
  for (int y = b.y - 7; y <= b.y + b.h + 1; y++) {
    for (int x = b.x - reach; x <= b.x + b.w + reach; x++) {
      if (x < 0 || y < 0 || x >= picture.width || y >= picture.height) continue;
      uint32_t c = picture.At(x, y);
      if ((c == 0x4A8A3A || c == 0x2C5A26) && Noise(x, y, 43) < 70) {
        picture.Set(x, y, Shade(c, Noise(x, y, 44) < 140 ? 0.18 : -0.2));
      }
    }
  }
}

void PaintFence(Image& picture, const Feature& f) {
  const std::vector<int>& n = f.numbers;
  int shape = BandShape(f);
  // The fence runs along the middle of its band: across a flat one, down a tall or
  // slanted one.
  Point from, to;
  if (shape == 1 && n[2] >= n[3]) {
    from = {n[0] / 2.0, (n[1] + n[3] / 2) / 2.0}, to = {(n[0] + n[2]) / 2.0, from.y};
  } else {
    double slant = shape == 2 ? n[3] : shape == 3 ? -n[3] : 0;
    from = {(n[0] + n[2] / 2) / 2.0, n[1] / 2.0}, to = {from.x + slant / 2, (n[1] + n[3]) / 2.0};
  }
  double length = std::max({std::abs(to.x - from.x), std::abs(to.y - from.y), 1.0});
  for (int rail : {7, 3}) {
    picture.Line({from.x, from.y - rail}, {to.x, to.y - rail}, 0xE8E4DA);
    picture.Line({from.x, from.y - rail + 1}, {to.x, to.y - rail + 1}, 0x9A968C);
  }
  for (double t = 0; t <= length; t += 5) {
    double x = from.x + (to.x - from.x) * t / length, y = from.y + (to.y - from.y) * t / length;
    picture.FillRect(int(x), int(y) - 10, 2, 11, 0xF4F0E6);
    picture.FillRect(int(x) + 1, int(y) - 10, 1, 11, 0xA8A498);
  }
}

void PaintFountain(Image& picture, const Feature& f) {
  Box b = PictureBox(f);
  double cx = b.x + b.w / 2.0, cy = b.y + b.h / 2.0 + 2, rx = b.w / 2.0, ry = b.h / 2.0 - 2;
  Shadow(picture, cx + 3, cy + 3, rx, ry);
  picture.FillEllipse(cx, cy + 2, rx, ry, 0x8C8678);
  picture.FillEllipse(cx, cy, rx, ry, 0xD8D2C4);
  picture.FillEllipse(cx, cy, rx - 3, ry - 3, 0x4C88C0);
  for (int k = 1; k <= 3; k++) {
    double r = (rx - 4) * k / 4.0;
    for (int a = 0; a < 64; a += 2) {
      double t = a * 3.14159265 / 32;
      picture.Set(int(cx + r * std::cos(t)), int(cy + r * std::sin(t) * ry / rx), 0x88C0E8);
    }
  }
  picture.FillRect(int(cx) - 2, int(cy) - 14, 5, 16, 0xE4DED0);
  picture.FillRect(int(cx) + 1, int(cy) - 14, 2, 16, 0xB8B2A4);
  picture.FillEllipse(cx, cy - 14, 7, 2.5, 0xD8D2C4);
  for (int k = 0; k < 14; k++) {
    double t = k / 13.0, spread = 2 + 9 * t;
    picture.Set(int(cx - spread), int(cy - 16 - 6 * std::sin(3.14 * t) + 8 * t), 0xC8E8F8);
    picture.Set(int(cx + spread), int(cy - 16 - 6 * std::sin(3.14 * t) + 8 * t), 0xC8E8F8);
  }
  picture.FillRect(int(cx), int(cy) - 20, 1, 5, 0xE0F4FF);
}

void PaintSign(Image& picture, const Feature& f) {
  int fx = f.numbers[0] / 2, fy = f.numbers[1] / 2;
  int w = PixelTextWidth(f.text) + 8, h = 13, top = fy - 28;
  Shadow(picture, fx + 3, fy, 6, 2);
  picture.FillRect(fx - 1, top + h, 3, fy - top - h, 0x5A3C22);
  picture.FillRect(fx - w / 2, top, w, h, 0x3C7A3A);
  picture.FrameRect(fx - w / 2, top, w, h, 0xF0E8C8);
  picture.FrameRect(fx - w / 2 - 1, top - 1, w + 2, h + 2, 0x24401E);
  PixelText(picture, fx - w / 2 + 4, top + 3, f.text, 0xF8F0C8);
}

void PaintBench(Image& picture, const Feature& f) {
  Box b = PictureBox(f);
  ShadowBox(picture, {b.x + 2, b.y + b.h - 1, b.w, 2});
  picture.FillRect(b.x, b.y, b.w, 3, 0x8C5A34);  // the back rest
  for (int y = b.y + 4; y < b.y + b.h - 2; y += 2) picture.FillRect(b.x, y, b.w, 1, 0xA86E40);
  picture.FillRect(b.x + 1, b.y + b.h - 2, 2, 2, 0x303030);
  picture.FillRect(b.x + b.w - 3, b.y + b.h - 2, 2, 2, 0x303030);
}
