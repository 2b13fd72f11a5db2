#include "content/generator/character_head.h"

#include <cmath>

#include "content/generator/character_paint.h"

namespace {

constexpr double kFaceY = 12.6, kFaceRy = 6.2;
constexpr double kEyeY = 12;
constexpr uint32_t kEyeDark = 0x2A1C1A, kEyeWhite = 0xF8F8F0;

double FaceLeft(const View& view) { return kMiddle + view.faceX - view.faceRx; }

// The mass of hair around the skull, before the face is laid over it.
void HairMass(Image& layer, const CharacterLook& look, const View& view) {
  double cx = kMiddle + view.hairX;
  switch (look.hair) {
    case Hair::kShort:
      layer.FillEllipse(cx, 9.4, 8.6, 7, 0);
      for (int i = -2; i <= 2; i++) layer.FillPolygon({{cx + 3 * i - 2, 4.5}, {cx + 3 * i + 1.5, 1.6}, {cx + 3 * i + 2, 4.5}}, 0);
      break;
    case Hair::kBob:
      layer.FillEllipse(cx, 9.6, 9, 7.2, 0);
      layer.FillPolygon({{cx - 9, 9.6}, {cx + 9, 9.6}, {cx + 9, 17}, {cx + 8, 18}, {cx - 8, 18}, {cx - 9, 17}}, 0);
      break;
    case Hair::kLong:
      layer.FillEllipse(cx, 10.4, 9.2, 8, 0);
      break;
    case Hair::kCurly:
      layer.FillEllipse(cx, 8.8, 10, 7.6, 0);
      for (int i = 0; i < 12; i++) {
        double angle = M_PI * i / 6;
        layer.FillEllipse(cx + 9.3 * std::cos(angle), 8.8 + 6.8 * std::sin(angle), 2.4, 2.4, 0);
      }
      break;
  }
}

// The hair over the forehead, cut to the face's width.
void Fringe(Image& layer, const CharacterLook& look, const View& view) {
  double left = FaceLeft(view), right = left + 2 * view.faceRx;
  switch (look.hair) {
    case Hair::kShort: {
      std::vector<Point> zigzag = {{left, 4}, {right, 4}};
      for (int i = 0; right - 2.5 * i > left; i++) zigzag.push_back({right - 2.5 * i, i % 2 ? 7.0 : 9.0});
      zigzag.push_back({left, 9});
      layer.FillPolygon(zigzag, 0);
      break;
    }
    case Hair::kBob:
      layer.FillPolygon({{left - 0.5, 4}, {right + 0.5, 4}, {right + 0.5, 12}, {right - 1.5, 9}, {left + view.faceRx, 7.5},
                         {left + 1.5, 9.5}, {left - 0.5, 12}}, 0);
      break;
    case Hair::kLong:
      layer.FillPolygon({{left - 0.5, 4}, {right + 0.5, 4}, {right + 0.5, 10}, {left + view.faceRx * 0.4, 8.5}, {left - 0.5, 9}}, 0);
      break;
    case Hair::kCurly:
      for (double x = left + 2; x < right; x += 3.5) layer.FillEllipse(x, 6.5, 2.3, 2.2, 0);
      break;
  }
}

// Hair hanging beside the face, down to the shoulders.
void Locks(Image& layer, const View& view) {
  double left = FaceLeft(view), right = left + 2 * view.faceRx;
  layer.FillPolygon({{left - 2, 8}, {left + 1, 9}, {left, 16}, {left, 22}, {left - 1.5, 25}, {left - 2.5, 20}}, 0);
  if (!view.profile) layer.FillPolygon({{right - 1, 9}, {right + 2, 8}, {right + 2.5, 20}, {right + 1.5, 25}, {right, 22}, {right, 16}}, 0);
}

void Face(Image& canvas, const CharacterLook& look, const View& view) {
  PaintPart(canvas, look.skin, [&](Image& layer) {
    layer.FillEllipse(kMiddle + view.faceX, kFaceY, view.faceRx, kFaceRy, 0);
    if (view.profile) layer.FillRect(int(FaceLeft(view)) - 1, 12, 2, 2, 0);  // the nose
  });
  if (view.back) return;
  for (int i = 0; i < view.eyes; i++) {
    int x = int(kMiddle + view.eyeX[i]);
    canvas.FillRect(x, int(kEyeY), 2, 3, kEyeDark);
    canvas.Set(x + (view.eyeX[i] < view.faceX ? 0 : 1), int(kEyeY), kEyeWhite);
  }
  double mouth = view.profile ? FaceLeft(view) + 1.5 : kMiddle + view.faceX - 1;
  canvas.FillRect(int(mouth), 16, view.profile ? 1 : 2, 1, Shade(look.skin, -0.35));
}

void Ears(Image& canvas, const CharacterLook& look, const View& view) {
  if (look.hair != Hair::kShort && look.hair != Hair::kCurly) return;
  for (int i = 0; i < view.ears; i++) {
    PaintPart(canvas, look.skin, [&](Image& layer) { layer.FillEllipse(kMiddle + view.earX[i], 13, 1.7, 2.2, 0); });
  }
}

// Worn on the head: a band across the hair, or glasses over the eyes.
void HeadWear(Image& canvas, const CharacterLook& look, const View& view) {
  uint32_t color = look.extraColor;
  switch (look.extra) {
    case Extra::kHeadband:
      PaintPart(canvas, color, [&](Image& layer) {
        HairMass(layer, look, view);
        layer.FillRect(0, 0, layer.width, 5, kClear);
        layer.FillRect(0, 7, layer.width, layer.height, kClear);
      });
      break;
    case Extra::kSunglasses:
    case Extra::kGlasses:
      if (view.back) break;
      for (int i = 0; i < view.eyes; i++) {
        int x = int(kMiddle + view.eyeX[i]);
        if (look.extra == Extra::kGlasses) {
          canvas.FrameRect(x - 1, int(kEyeY) - 1, 4, 5, color);
        } else {
          canvas.FillRect(x - 1, int(kEyeY), 4, 3, color);
          canvas.Set(x, int(kEyeY), Shade(color, 0.7));
        }
      }
      if (view.eyes == 2) {
        canvas.Line({kMiddle + view.eyeX[0] + 3, kEyeY}, {kMiddle + view.eyeX[1] - 1, kEyeY}, color);
      } else if (view.profile) {
        canvas.Line({kMiddle + view.eyeX[0] + 3, kEyeY}, {kMiddle + view.hairX, kEyeY + 1}, color);
      }
      break;
    case Extra::kNone:
    case Extra::kBackpack:
      break;
  }
}

// Darker lines down straight hair, over what `shape` covers but not its rim.
void Strands(Image& canvas, const CharacterLook& look, const std::function<void(Image&)>& shape) {
  if (look.hair != Hair::kBob && look.hair != Hair::kLong) return;
  Image layer(canvas.width, canvas.height, kClear);
  shape(layer);
  uint32_t dark = Shade(look.hairColor, -0.22);
  auto in = [&](int x, int y) { return layer.At(x, y) != kClear; };
  for (int x = 1; x + 1 < layer.width; x++) {
    // Combed straight down from a little below the top of the shape.
    for (int y = 1, depth = 0; y + 1 < layer.height; y++) {
      depth = in(x, y) ? depth + 1 : 0;
      bool inside = in(x, y) && in(x - 1, y) && in(x + 1, y) && in(x, y - 1) && in(x, y + 1);
      if (inside && depth > 4 && (x + y / 7) % 4 == 0) canvas.Set(x, y, dark);
    }
  }
}

}  // namespace

void DrawLongHair(Image& canvas, const CharacterLook& look, const View& view) {
  if (look.hair != Hair::kLong) return;
  double cx = kMiddle + view.hairX + (view.profile ? 3 : 0), half = view.profile ? 5.5 : 8.5;
  auto shape = [&](Image& layer) {
    layer.FillPolygon({{cx - half, 9}, {cx + half, 9}, {cx + half - 1, 26}, {cx, 29}, {cx - half + 1, 26}}, 0);
  };
  PaintPart(canvas, look.hairColor, shape);
  Strands(canvas, look, shape);
}

void DrawHead(Image& canvas, const CharacterLook& look, const View& view) {
  auto hair = [&](const std::function<void(Image&)>& shape) {
    PaintPart(canvas, look.hairColor, shape);
    Strands(canvas, look, shape);
  };
  if (view.back && view.faceRx > 0) Face(canvas, look, view);
  hair([&](Image& layer) { HairMass(layer, look, view); });
  Ears(canvas, look, view);
  if (!view.back) {
    Face(canvas, look, view);
    PaintPart(canvas, look.hairColor, [&](Image& layer) { Fringe(layer, look, view); });
    if (look.hair == Hair::kLong) hair([&](Image& layer) { Locks(layer, view); });
  }
  HeadWear(canvas, look, view);
}
