// Inside the layer: what the built-in controls share to look like classic Windows 2000
// controls (the 3-D colours, bevelled edges, clipped fills and text) and to read their
// messages.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>

#include "platform/window_objects.h"

namespace controls {

// The classic 3-D colour scheme, as pixels.
constexpr uint32_t kFace = 0xD4D0C8;
constexpr uint32_t kHighlight = 0xFFFFFF;
constexpr uint32_t kShadow = 0x808080;
constexpr uint32_t kDarkShadow = 0x404040;
constexpr uint32_t kWindowBackground = 0xFFFFFF;
constexpr uint32_t kWindowText = 0x000000;
constexpr uint32_t kSelection = 0x0A246A;
constexpr uint32_t kSelectionText = 0xFFFFFF;
constexpr uint32_t kWindowFrame = 0x000000;

// A rectangle of surface pixels, right and bottom exclusive. 64-bit so that no window
// position, however far off the surface, overflows it.
struct Box {
  int64_t left = 0;
  int64_t top = 0;
  int64_t right = 0;
  int64_t bottom = 0;

  Box Inset(int64_t by) const { return {left + by, top + by, right - by, bottom - by}; }
  int64_t Width() const { return right - left; }
  int64_t Height() const { return bottom - top; }
  bool Contains(POINT point) const {
    return point.x >= left && point.y >= top && point.x < right && point.y < bottom;
  }
  Box Intersect(const Box& other) const {
    return {std::max(left, other.left), std::max(top, other.top), std::min(right, other.right),
            std::min(bottom, other.bottom)};
  }
};

// The whole control, placed at `origin` of its top-level surface (or, at {0, 0}, in
// its own client coordinates).
Box ControlBox(const Window& self, POINT origin);

// The two one-pixel rings of a bevelled edge: the outer and the inner, each with its
// top-left and bottom-right colour.
struct Edge {
  uint32_t outerTopLeft;
  uint32_t outerBottomRight;
  uint32_t innerTopLeft;
  uint32_t innerBottomRight;
};
constexpr Edge kRaised = {kHighlight, kDarkShadow, kFace, kShadow};
constexpr Edge kPushed = {kDarkShadow, kDarkShadow, kShadow, kShadow};

// The width of the frame that WS_BORDER gives a control: one pixel, or none.
int BorderWidth(const Window& self);

// Each of these touches only pixels that lie inside the surface.
void FillBox(Pixmap& surface, const Box& box, uint32_t pixel);
// The part of `box` that lies inside the surface.
Box ClipToSurface(const Pixmap& surface, const Box& box);
// Calls `paint(x, y, pixel)` for each pixel of `box`.
template <typename Paint>
void ForEachPixel(Pixmap& surface, const Box& box, Paint paint) {
  const Box clipped = ClipToSurface(surface, box);
  for (int64_t y = clipped.top; y < clipped.bottom; y++) {
    uint32_t* row = surface.Row(int(y));
    for (int64_t x = clipped.left; x < clipped.right; x++) paint(x, y, row[x]);
  }
}
void PaintEdge(Pixmap& surface, const Box& box, const Edge& edge);
// The frame of WS_BORDER, one pixel in the window-frame colour around `box`, when the
// control has that style; returns what lies inside it.
Box PaintBorder(const Window& self, Pixmap& surface, const Box& box);
// Text in one line with its top-left corner at (x, y), clipped to `clip`.
void PaintText(Pixmap& surface, int64_t x, int64_t y, const std::string& text, uint32_t pixel,
               const Box& clip);
// The top of a line of text centred vertically in `box`.
int64_t CentredTextTop(const Box& box);

// The point of a mouse message, in the control's client coordinates (signed, as
// GET_X_LPARAM and GET_Y_LPARAM read it).
POINT MousePoint(LPARAM lParam);

}  // namespace controls
