#include "platform/edit.h"

#include <algorithm>

#include "platform/control_paint.h"
#include "platform/font.h"
#include "platform/screen.h"

namespace controls {

namespace {

// The limit of a box nobody has limited, as on Windows.
constexpr size_t kDefaultLimit = 30000;
// WM_CHAR codes that edit rather than type. Enter, Escape and Tab do nothing here.
constexpr WPARAM kBackspace = 8;
constexpr WPARAM kPaste = 22;  // Ctrl+V

// Where the text goes in `box`, the whole control, as Windows lays it out: a bordered
// box keeps a pixel clear inside its frame on the left and right, and above the text
// too when it is a line and four pixels high or more; the cell is one line high.
Box TextCell(const Window& self, const Box& box) {
  const int side = BorderWidth(self) ? BorderWidth(self) + 1 : 0;
  const bool roomAbove = box.Height() >= FontLineHeight() + 2 * side;
  const int64_t top = box.top + (roomAbove ? side : 0);
  return {box.left + side, top, box.right - side, std::min(box.bottom, top + FontLineHeight())};
}
Box TextCell(const Window& self) { return TextCell(self, ControlBox(self, {0, 0})); }
// The width in which text shows.
int64_t TextRoom(const Window& self) { return std::max<int64_t>(0, TextCell(self).Width()); }
int64_t WidthOf(const std::string& text, size_t count) { return TextWidth(text.data(), count); }
int64_t CharWidth(char c) { return TextWidth(&c, 1); }

// What a paste inserts: the clipboard's first line, without control characters.
std::string PastedText() {
  std::string clipboard = ScreenClipboardText();
  std::string line;
  for (char c : clipboard) {
    if (c == '\r' || c == '\n') break;
    if (uint8_t(c) >= 32) line += c;
  }
  return line;
}

class Edit : public Control {
 public:
  LRESULT Handle(Window& self, UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override {
    // The text belongs to the window, which the core sets too (at creation).
    caret_ = std::min(caret_, self.text.size());
    handled = true;
    switch (message) {
      case WM_SETTEXT:
        self.text = lParam ? reinterpret_cast<const char*>(lParam) : "";
        caret_ = 0;
        Changed(self);
        return TRUE;
      case EM_LIMITTEXT:
        limit_ = wParam ? size_t(wParam) : kDefaultLimit;
        return 0;
      case WM_CHAR:
        if (!(self.style & ES_READONLY)) Type(self, wParam);
        return 0;
      case WM_KEYDOWN:
        Key(self, wParam);
        return 0;
      case WM_LBUTTONDOWN:
        SetFocus(self.Handle());
        caret_ = CaretAt(self, MousePoint(lParam).x);
        Changed(self);
        return 0;
    }
    handled = false;
    return 0;
  }

  void Paint(Window& self, Pixmap& surface, POINT origin) override {
    if (!self.Shown()) return;
    caret_ = std::min(caret_, self.text.size());
    Box inside = PaintBorder(self, surface, ControlBox(self, origin));
    FillBox(surface, inside, (self.style & ES_READONLY) ? kFace : kWindowBackground);
    Box cell = TextCell(self, ControlBox(self, origin));
    int64_t x = cell.left - scroll_;
    PaintText(surface, x, cell.top, self.text, kWindowText, cell.Intersect(inside));
    // The caret may stand just right of the cell, as on Windows, but never on the frame.
    if (FocusWindow() == &self) {
      int64_t caretX = x + WidthOf(self.text, caret_);
      FillBox(surface, inside.Intersect({caretX, cell.top, caretX + 1, cell.top + FontLineHeight()}),
              kWindowText);
    }
  }

 private:
  void Type(Window& self, WPARAM code) {
    if (code == kBackspace) {
      if (caret_ == 0) return;
      self.text.erase(--caret_, 1);
    } else if (code == kPaste) {
      Insert(self, PastedText());
    } else if (code >= 32 && code <= 255) {
      Insert(self, std::string(1, char(code)));
    } else {
      return;
    }
    Changed(self);
  }

  void Key(Window& self, WPARAM vk) {
    std::string& text = self.text;
    if (vk == VK_LEFT && caret_ > 0) {
      caret_--;
    } else if (vk == VK_RIGHT && caret_ < text.size()) {
      caret_++;
    } else if (vk == VK_HOME) {
      caret_ = 0;
    } else if (vk == VK_END) {
      caret_ = text.size();
    } else if (vk == VK_DELETE && !(self.style & ES_READONLY) && caret_ < text.size()) {
      text.erase(caret_, 1);
    } else {
      return;
    }
    Changed(self);
  }

  // Inserts as much of `bytes` at the caret as the limit allows and, without
  // ES_AUTOHSCROLL, as fits in the box.
  void Insert(Window& self, const std::string& bytes) {
    size_t count = std::min(bytes.size(), limit_ - std::min(limit_, self.text.size()));
    if (!(self.style & ES_AUTOHSCROLL)) {
      int64_t width = WidthOf(self.text, self.text.size());
      size_t fits = 0;
      while (fits < count && (width += CharWidth(bytes[fits])) <= TextRoom(self)) fits++;
      count = fits;
    }
    self.text.insert(caret_, bytes, 0, count);
    caret_ += count;
  }

  // The character boundary nearest to x (client coordinates).
  size_t CaretAt(const Window& self, int64_t x) const {
    int64_t offset = x - TextCell(self).left + scroll_;
    int64_t left = 0;
    for (size_t i = 0; i < self.text.size(); i++) {
      int64_t width = CharWidth(self.text[i]);
      if (offset < left + width / 2) return i;
      left += width;
    }
    return self.text.size();
  }

  // Scrolls so that the caret shows (only ES_AUTOHSCROLL boxes scroll), without
  // leaving room to the right of the text, and asks for a repaint.
  void Changed(Window& self) {
    if (self.style & ES_AUTOHSCROLL) {
      int64_t caretX = WidthOf(self.text, caret_);
      int64_t room = TextRoom(self);
      scroll_ = std::clamp(scroll_, caretX - room, caretX);
      scroll_ =
          std::max<int64_t>(0, std::min(scroll_, WidthOf(self.text, self.text.size()) - room));
    } else {
      scroll_ = 0;
    }
    Invalidate(self.Handle());
  }

  size_t caret_ = 0;  // a byte index into the text
  size_t limit_ = kDefaultLimit;
  int64_t scroll_ = 0;  // pixels of text hidden to the left
};

}  // namespace

std::unique_ptr<Control> MakeEdit() { return std::make_unique<Edit>(); }

}  // namespace controls
