#include "platform/listbox.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/control_paint.h"
#include "platform/font.h"

namespace controls {

namespace {

// The scroll bar's width, and the height of its arrow buttons where there is room.
constexpr int kScrollBarWidth = 16;
// The shortest thumb, so that it stays something to see in a long list.
constexpr int kShortestThumb = 8;
// The scroll bar's track: the checked pattern of white and face, seen from afar.
constexpr uint32_t kTrack = 0xE9E7E3;
// Pixels between a row's left edge and its text.
constexpr int kTextIndent = 1;
// Rows a wheel notch (120 units) scrolls, as on Windows.
constexpr int kRowsPerNotch = 3;
constexpr int kWheelNotch = 120;

int RowHeight() { return std::max(1, FontLineHeight()); }

// The parts of a scroll bar standing at the right of `inside`.
struct ScrollBar {
  Box up;
  Box track;
  Box thumb;
  Box down;
};

void PaintArrow(Pixmap& surface, const Box& button, bool up) {
  FillBox(surface, button, kFace);
  PaintEdge(surface, button, kRaised);
  // A black triangle, seven pixels wide and four high, in the middle.
  constexpr int kRows = 4;
  int64_t centreX = button.left + button.Width() / 2;
  int64_t top = button.top + (button.Height() - kRows) / 2;
  for (int row = 0; row < kRows; row++) {
    int half = up ? row : kRows - 1 - row;
    FillBox(surface,
            Box{centreX - half, top + row, centreX + half + 1, top + row + 1}.Intersect(button),
            kWindowText);
  }
}

class ListBox : public Control {
 public:
  LRESULT Handle(Window& self, UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override {
    handled = true;
    switch (message) {
      case LB_ADDSTRING:
        rows_.push_back(lParam ? reinterpret_cast<const char*>(lParam) : "");
        Invalidate(self.Handle());
        return LRESULT(rows_.size() - 1);
      case LB_RESETCONTENT:
        rows_.clear();
        selected_ = LB_ERR;
        top_ = 0;
        Invalidate(self.Handle());
        return 0;
      case LB_GETCOUNT:
        return Count();
      case LB_GETTEXT:
        if (wParam >= rows_.size() || !lParam) return LB_ERR;
        // As on Windows, the caller makes the buffer LB_GETTEXTLEN + 1 bytes long.
        memcpy(reinterpret_cast<char*>(lParam), rows_[wParam].c_str(), rows_[wParam].size() + 1);
        return LRESULT(rows_[wParam].size());
      case LB_GETTEXTLEN:
        return wParam < rows_.size() ? LRESULT(rows_[wParam].size()) : LB_ERR;
      case LB_SETCURSEL:
        // -1 removes the selection, and like any index out of range answers LB_ERR.
        if (wParam >= rows_.size()) {
          if (int(wParam) == -1) Select(self, LB_ERR);
          return LB_ERR;
        }
        Select(self, int(wParam));
        return LRESULT(wParam);
      case LB_GETCURSEL:
        return selected_;
      case WM_KEYDOWN:
        if (!rows_.empty() && (wParam == VK_UP || wParam == VK_DOWN)) {
          Select(self, std::clamp(selected_ + (wParam == VK_UP ? -1 : 1), 0, Count() - 1));
        }
        return 0;
      case WM_LBUTTONDOWN:
        SetFocus(self.Handle());
        Click(self, MousePoint(lParam));
        return 0;
      case WM_MOUSEWHEEL:
        ScrollTo(self, top_ - int16_t(HIWORD(wParam)) * kRowsPerNotch / kWheelNotch);
        return 0;
    }
    handled = false;
    return 0;
  }

  void Paint(Window& self, Pixmap& surface, POINT origin) override {
    if (!self.Shown()) return;
    Box inside = PaintBorder(self, surface, ControlBox(self, origin));
    FillBox(surface, inside, kWindowBackground);
    Box rows = inside;
    if (HasScrollBar(self)) {
      rows.right -= kScrollBarWidth;
      PaintScrollBar(surface, ScrollBarIn(self, inside));
    }
    for (int i = top_; i < Count(); i++) {
      int64_t y = inside.top + int64_t(i - top_) * RowHeight();
      if (y >= rows.bottom) break;
      Box row = Box{rows.left, y, rows.right, y + RowHeight()}.Intersect(rows);
      if (i == selected_) FillBox(surface, row, kSelection);
      PaintText(surface, row.left + kTextIndent, row.top, rows_[i],
                i == selected_ ? kSelectionText : kWindowText, row);
    }
  }

 private:
  int Count() const { return int(rows_.size()); }

  // The area inside the border, of `box` standing for the whole control.
  static Box Inside(const Window& self, const Box& box) { return box.Inset(BorderWidth(self)); }

  // Rows that show whole; at least one, so that a selection can always be scrolled to.
  static int VisibleRows(const Window& self) {
    return std::max<int>(1, int(Inside(self, ControlBox(self, {0, 0})).Height() / RowHeight()));
  }

  int LastTop(const Window& self) const { return std::max(0, Count() - VisibleRows(self)); }

  bool HasScrollBar(const Window& self) const {
    return (self.style & WS_VSCROLL) && Count() > VisibleRows(self);
  }

  ScrollBar ScrollBarIn(const Window& self, const Box& inside) const {
    int64_t arrow = std::clamp<int64_t>(inside.Height() / 2, 0, kScrollBarWidth);
    int64_t left = inside.right - kScrollBarWidth;
    ScrollBar bar;
    bar.up = {left, inside.top, inside.right, inside.top + arrow};
    bar.down = {left, inside.bottom - arrow, inside.right, inside.bottom};
    bar.track = {left, bar.up.bottom, inside.right, bar.down.top};
    int64_t length = bar.track.Height();
    int64_t thumb =
        std::min(std::max<int64_t>(length * VisibleRows(self) / Count(), kShortestThumb), length);
    int64_t thumbTop = bar.track.top + (length - thumb) * top_ / LastTop(self);
    bar.thumb = {left, thumbTop, inside.right, thumbTop + thumb};
    return bar;
  }

  static void PaintScrollBar(Pixmap& surface, const ScrollBar& bar) {
    FillBox(surface, bar.track, kTrack);
    FillBox(surface, bar.thumb, kFace);
    if (bar.thumb.Height() > 0) PaintEdge(surface, bar.thumb, kRaised);
    PaintArrow(surface, bar.up, true);
    PaintArrow(surface, bar.down, false);
  }

  // A click on the scroll bar scrolls: a row for an arrow, a page for the track above
  // or below the thumb. A click on a row selects it.
  void Click(Window& self, POINT point) {
    Box inside = Inside(self, ControlBox(self, {0, 0}));
    if (HasScrollBar(self) && point.x >= inside.right - kScrollBarWidth) {
      ScrollBar bar = ScrollBarIn(self, inside);
      int page = VisibleRows(self);
      if (bar.up.Contains(point)) ScrollTo(self, top_ - 1);
      if (bar.down.Contains(point)) ScrollTo(self, top_ + 1);
      if (bar.track.Contains(point) && point.y < bar.thumb.top) ScrollTo(self, top_ - page);
      if (bar.track.Contains(point) && point.y >= bar.thumb.bottom) ScrollTo(self, top_ + page);
      return;
    }
    if (!inside.Contains(point)) return;
    int row = top_ + int((point.y - inside.top) / RowHeight());
    if (row < Count()) Select(self, row);
  }

  void ScrollTo(Window& self, int top) {
    top_ = std::clamp(top, 0, LastTop(self));
    Invalidate(self.Handle());
  }

  // Selects a row (or none, for LB_ERR) and scrolls it into full view.
  void Select(Window& self, int row) {
    selected_ = row;
    if (row == LB_ERR) {
      Invalidate(self.Handle());
      return;
    }
    ScrollTo(self, std::clamp(top_, row - VisibleRows(self) + 1, row));
  }

  std::vector<std::string> rows_;
  int selected_ = LB_ERR;
  int top_ = 0;  // the first row shown
};

}  // namespace

std::unique_ptr<Control> MakeListBox() { return std::make_unique<ListBox>(); }

}  // namespace controls
