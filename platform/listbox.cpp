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
// The parts of a scroll bar are raised the other way round from a push button's
// edge, as Windows draws them: face outside and white inside at the top left.
constexpr Edge kScrollRaised = {kFace, kDarkShadow, kHighlight, kShadow};
// Pixels between a row's left edge and its text.
constexpr int kTextIndent = 1;
// Rows a wheel notch (120 units) scrolls, as on Windows.
constexpr int kRowsPerNotch = 3;
constexpr int kWheelNotch = 120;

int RowHeight() { return std::max(1, FontLineHeight()); }

// a / b rounded to the nearest whole number, as Windows sizes the thumb; b > 0.
int64_t Rounded(int64_t a, int64_t b) { return (2 * a + b) / (2 * b); }

// The parts of a scroll bar standing at the right of `inside`.
struct ScrollBar {
  Box up;
  Box track;
  Box thumb;
  Box down;
};

void PaintArrow(Pixmap& surface, const Box& button, bool up) {
  FillBox(surface, button, kFace);
  PaintEdge(surface, button, kScrollRaised);
  // A black triangle, seven pixels wide and four high, in the middle; Windows sets the
  // up arrow a pixel higher than the down arrow.
  constexpr int kRows = 4;
  int64_t centreX = button.left + (button.Width() - 1) / 2;
  int64_t top = button.top + (button.Height() - kRows - (up ? 2 : 0)) / 2;
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
        caret_ = 0;
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
    const Box box = ListBoxIn(self, origin);
    Box inside = PaintBorder(self, surface, box);
    FillBox(surface, inside, kWindowBackground);
    Box rows = inside;
    if (HasScrollBar(self)) {
      rows.right -= kScrollBarWidth;
      PaintScrollBar(surface, ScrollBarIn(self, inside), box);
    }
    for (int i = top_; i < Count(); i++) {
      Box row = RowBox(rows, i);
      if (row.top >= rows.bottom) break;
      if (i == selected_) FillBox(surface, row, kSelection);
      PaintText(surface, row.left + kTextIndent, row.top, rows_[i],
                i == selected_ ? kSelectionText : kWindowText, row);
    }
    if (FocusWindow() == &self && caret_ >= top_ && caret_ < Count()) {
      PaintFocusRing(surface, RowBox(rows, caret_), box);
    }
  }

 private:
  int Count() const { return int(rows_.size()); }

  Box RowBox(const Box& rows, int i) const {
    int64_t y = rows.top + int64_t(i - top_) * RowHeight();
    return Box{rows.left, y, rows.right, y + RowHeight()}.Intersect(rows);
  }

  // The control as it shows: Windows makes a list box a whole number of rows high
  // (unless it asks for LBS_NOINTEGRALHEIGHT, which nothing here does), at least one.
  static Box ListBoxIn(const Window& self, POINT origin) {
    Box box = ControlBox(self, origin);
    int64_t frame = 2 * BorderWidth(self);
    int64_t rows = std::max<int64_t>(1, (box.Height() - frame) / RowHeight());
    box.bottom = std::min(box.bottom, box.top + frame + rows * RowHeight());
    return box;
  }

  // The area inside the border, of `box` standing for the whole control.
  static Box Inside(const Window& self, const Box& box) { return box.Inset(BorderWidth(self)); }

  // Rows that show whole; at least one, so that a selection can always be scrolled to.
  static int VisibleRows(const Window& self) {
    return std::max<int>(1, int(Inside(self, ListBoxIn(self, {0, 0})).Height() / RowHeight()));
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
    int64_t thumb = std::min(std::max(Rounded(length * VisibleRows(self), Count()), int64_t(kShortestThumb)), length);
    int64_t thumbTop = bar.track.top + Rounded((length - thumb) * top_, LastTop(self));
    bar.thumb = {left, thumbTop, inside.right, thumbTop + thumb};
    return bar;
  }

  // The track is a checked pattern of white and face, laid from the control's corner.
  static void PaintScrollBar(Pixmap& surface, const ScrollBar& bar, const Box& control) {
    ForEachPixel(surface, bar.track, [&](int64_t x, int64_t y, uint32_t& pixel) {
      pixel = (x - control.left + y - control.top) % 2 ? kHighlight : kFace;
    });
    FillBox(surface, bar.thumb, kFace);
    if (bar.thumb.Height() > 0) PaintEdge(surface, bar.thumb, kScrollRaised);
    PaintArrow(surface, bar.up, true);
    PaintArrow(surface, bar.down, false);
  }

  // The focus rectangle around the caret's row: every other pixel of its edge inverted,
  // in the pattern laid from the control's corner, as Windows draws it.
  static void PaintFocusRing(Pixmap& surface, const Box& row, const Box& control) {
    ForEachPixel(surface, row, [&](int64_t x, int64_t y, uint32_t& pixel) {
      const bool edge = x == row.left || x == row.right - 1 || y == row.top || y == row.bottom - 1;
      if (edge && (x - control.left + y - control.top) % 2 == 0) pixel ^= 0xFFFFFF;
    });
  }

  // A click on the scroll bar scrolls: a row for an arrow, a page for the track above
  // or below the thumb. A click on a row selects it.
  void Click(Window& self, POINT point) {
    Box inside = Inside(self, ListBoxIn(self, {0, 0}));
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
    if (row != LB_ERR) caret_ = row;
    if (row == LB_ERR) {
      Invalidate(self.Handle());
      return;
    }
    ScrollTo(self, std::clamp(top_, row - VisibleRows(self) + 1, row));
  }

  std::vector<std::string> rows_;
  int selected_ = LB_ERR;
  int caret_ = 0;  // the row the focus rectangle marks while the list has the focus
  int top_ = 0;    // the first row shown
};

}  // namespace

std::unique_ptr<Control> MakeListBox() { return std::make_unique<ListBox>(); }

}  // namespace controls
