#include "platform/control_paint.h"

#include <algorithm>

#include "platform/font.h"

namespace controls {

namespace {

// One ring: the top and left lines in one colour, then the bottom and right lines
// (and so the two far corners) in the other.
void PaintRing(Pixmap& surface, const Box& box, uint32_t topLeft, uint32_t bottomRight) {
  FillBox(surface, {box.left, box.top, box.right, box.top + 1}, topLeft);
  FillBox(surface, {box.left, box.top, box.left + 1, box.bottom}, topLeft);
  FillBox(surface, {box.left, box.bottom - 1, box.right, box.bottom}, bottomRight);
  FillBox(surface, {box.right - 1, box.top, box.right, box.bottom}, bottomRight);
}

}  // namespace

Box ClipToSurface(const Pixmap& surface, const Box& box) {
  return {std::max<int64_t>(box.left, 0), std::max<int64_t>(box.top, 0),
          std::min<int64_t>(box.right, surface.width),
          std::min<int64_t>(box.bottom, surface.height)};
}

Box ControlBox(const Window& self, POINT origin) {
  return {origin.x, origin.y, int64_t(origin.x) + self.Width(), int64_t(origin.y) + self.Height()};
}

void FillBox(Pixmap& surface, const Box& box, uint32_t pixel) {
  Box clipped = ClipToSurface(surface, box);
  if (clipped.left >= clipped.right) return;
  for (int64_t y = clipped.top; y < clipped.bottom; y++) {
    std::fill(surface.Row(int(y)) + clipped.left, surface.Row(int(y)) + clipped.right, pixel);
  }
}

void PaintEdge(Pixmap& surface, const Box& box, const Edge& edge) {
  PaintRing(surface, box, edge.outerTopLeft, edge.outerBottomRight);
  PaintRing(surface, box.Inset(1), edge.innerTopLeft, edge.innerBottomRight);
}

int BorderWidth(const Window& self) { return (self.style & WS_BORDER) ? 1 : 0; }

Box PaintBorder(const Window& self, Pixmap& surface, const Box& box) {
  if (BorderWidth(self)) PaintRing(surface, box, kWindowFrame, kWindowFrame);
  return box.Inset(BorderWidth(self));
}

void PaintText(Pixmap& surface, int64_t x, int64_t y, const std::string& text, uint32_t pixel,
               const Box& clip) {
  Box clipped = ClipToSurface(surface, clip);
  if (clipped.left >= clipped.right || clipped.top >= clipped.bottom) return;
  RECT rect = {LONG(clipped.left), LONG(clipped.top), LONG(clipped.right), LONG(clipped.bottom)};
  DrawTextRun(surface, x, y, text.data(), text.size(), pixel, rect);
}

int64_t CentredTextTop(const Box& box) { return box.top + (box.Height() - FontLineHeight()) / 2; }

POINT MousePoint(LPARAM lParam) { return {int16_t(LOWORD(lParam)), int16_t(HIWORD(lParam))}; }

}  // namespace controls
