#include "content/generator/character_paint.h"

#include <cmath>

namespace {

constexpr double kRim = -0.68, kShadow = -0.22, kLight = 0.22;

}  // namespace

void PaintPart(Image& canvas, uint32_t color, const std::function<void(Image&)>& shape, uint32_t stripe) {
  Image layer(canvas.width, canvas.height, kClear);
  shape(layer);
  auto in = [&](int x, int y) { return x >= 0 && y >= 0 && x < layer.width && y < layer.height && layer.At(x, y) != kClear; };
  for (int y = 0; y < layer.height; y++) {
    for (int x = 0; x < layer.width; x++) {
      if (!in(x, y)) {
        if (in(x - 1, y) || in(x + 1, y) || in(x, y - 1) || in(x, y + 1)) canvas.Set(x, y, Shade(color, kRim));
        continue;
      }
      uint32_t base = (stripe != kClear && x % 3 == 0) ? stripe : color;
      if (!in(x + 1, y) || !in(x, y + 1)) {
        base = Shade(base, kShadow);
      } else if (!in(x - 1, y) || !in(x, y - 1)) {
        base = Shade(base, kLight);
      }
      canvas.Set(x, y, base);
    }
  }
}

void FillCapsule(Image& image, Point a, Point b, double radius, uint32_t color) {
  double dx = b.x - a.x, dy = b.y - a.y, length = std::hypot(dx, dy);
  if (length > 0) {
    double nx = -dy / length * radius, ny = dx / length * radius;
    image.FillPolygon({{a.x + nx, a.y + ny}, {b.x + nx, b.y + ny}, {b.x - nx, b.y - ny}, {a.x - nx, a.y - ny}}, color);
  }
  image.FillEllipse(a.x, a.y, radius, radius, color);
  image.FillEllipse(b.x, b.y, radius, radius, color);
}

Image Mirrored(const Image& image) {
  Image mirrored(image.width, image.height);
  for (int y = 0; y < image.height; y++) {
    for (int x = 0; x < image.width; x++) mirrored.Set(image.width - 1 - x, y, image.At(x, y));
  }
  return mirrored;
}
