#include "platform/button.h"

#include <optional>

#include "platform/control_paint.h"
#include "platform/font.h"

namespace controls {

namespace {

// The round check mark of a radio button, as Windows draws it one pixel in from the
// button's left: its outer ring (O dark, o light), its inner ring (I dark, i light), its
// white inside (n) and the dot of a checked button (k).
constexpr int kRadioSide = 12;
constexpr int kRadioLeft = 1;
constexpr const char* kRadioMark[kRadioSide] = {
    "....OOOO....", "..OOIIIIOO..", ".OOInnnnIio.", ".OInnnnnnio.", "OInnnkknnnio", "OInnkkkknnio",
    "OInnkkkknnio", "OInnnkknnnio", ".OInnnnnnio.", ".ooinnnnioo.", "..ooiiiioo..", "....oooo....",
};
// Pixels between the check mark and the text.
constexpr int kRadioGap = 3;

// The colour of one pixel of the check mark, none outside the circle.
std::optional<uint32_t> RadioPixel(int x, int y, bool checked, bool pushed) {
  switch (kRadioMark[y][x]) {
    case 'O':
      return kShadow;
    case 'o':
      return kHighlight;
    case 'I':
      return kDarkShadow;
    case 'i':
      return kFace;
    case 'k':
      if (checked) return kWindowText;
      [[fallthrough]];
    case 'n':
      return pushed ? kFace : kWindowBackground;
    default:
      return std::nullopt;
  }
}

class Button : public Control {
 public:
  explicit Button(bool radio) : radio_(radio) {}

  LRESULT Handle(Window& self, UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override {
    handled = true;
    switch (message) {
      case BM_GETCHECK:
        return checked_ ? BST_CHECKED : BST_UNCHECKED;
      case BM_SETCHECK:
        SetCheck(self, wParam != BST_UNCHECKED);
        return 0;
      case WM_LBUTTONDOWN:
        SetFocus(self.Handle());
        armed_ = true;
        SetPushed(self, true);
        return 0;
      case WM_MOUSEMOVE:
        if (armed_) SetPushed(self, ControlBox(self, {0, 0}).Contains(MousePoint(lParam)));
        return 0;
      case WM_LBUTTONUP:
        if (armed_ && ControlBox(self, {0, 0}).Contains(MousePoint(lParam))) Click(self);
        Disarm(self);
        return 0;
      case WM_KILLFOCUS:
        Disarm(self);
        break;
    }
    handled = false;
    return 0;
  }

  void Paint(Window& self, Pixmap& surface, POINT origin) override {
    if (!self.Shown()) return;
    // Inside its frame a button looks as one without.
    Box inside = PaintBorder(self, surface, ControlBox(self, origin));
    FillBox(surface, inside, kFace);
    if (radio_) {
      PaintRadio(self, surface, inside);
    } else {
      PaintPush(self, surface, inside);
    }
  }

 private:
  void PaintPush(const Window& self, Pixmap& surface, const Box& box) const {
    PaintEdge(surface, box, pushed_ ? kPushed : kRaised);
    int shift = pushed_ ? 1 : 0;  // pushed text moves down and right, as on Windows
    int64_t x = box.left + (box.Width() - TextWidth(self.text.data(), self.text.size())) / 2;
    PaintText(surface, x + shift, CentredTextTop(box) + shift, self.text, kWindowText, box);
  }

  void PaintRadio(const Window& self, Pixmap& surface, const Box& box) const {
    int64_t top = box.top + (box.Height() - kRadioSide) / 2;
    for (int y = 0; y < kRadioSide; y++) {
      for (int x = 0; x < kRadioSide; x++) {
        std::optional<uint32_t> pixel = RadioPixel(x, y, checked_, pushed_);
        Box dot = {box.left + kRadioLeft + x, top + y, box.left + kRadioLeft + x + 1, top + y + 1};
        if (pixel) FillBox(surface, dot.Intersect(box), *pixel);
      }
    }
    PaintText(surface, box.left + kRadioLeft + kRadioSide + kRadioGap, CentredTextTop(box), self.text,
              kWindowText, box);
  }

  // A click: an auto radio button checks itself and unchecks the other auto radio
  // buttons among its siblings; either kind tells its parent.
  void Click(Window& self) {
    if (radio_) SetCheck(self, true);
    if (!self.parent) return;
    if (radio_) UncheckSiblings(self);
    // The control identifier in the low word is 0: the game gives its controls none.
    PostMessageA(self.parent->Handle(), WM_COMMAND, WPARAM(BN_CLICKED) << 16,
                 LPARAM(self.Handle()));
  }

  void UncheckSiblings(Window& self) {
    for (Window* sibling : self.parent->children) {
      auto* other = dynamic_cast<Button*>(sibling->control.get());
      if (sibling != &self && other && other->radio_) other->SetCheck(*sibling, false);
    }
  }

  void SetCheck(Window& self, bool checked) {
    if (!radio_ || checked_ == checked) return;
    checked_ = checked;
    Invalidate(self.Handle());
  }

  void SetPushed(Window& self, bool pushed) {
    if (pushed_ == pushed) return;
    pushed_ = pushed;
    Invalidate(self.Handle());
  }

  void Disarm(Window& self) {
    armed_ = false;
    SetPushed(self, false);
  }

  const bool radio_;
  bool checked_ = false;
  bool armed_ = false;   // the mouse button went down on it and is still held
  bool pushed_ = false;  // drawn pushed in: armed and the pointer over it
};

}  // namespace

std::unique_ptr<Control> MakeButton(DWORD style) {
  return std::make_unique<Button>((style & 0xF) == BS_AUTORADIOBUTTON);
}

}  // namespace controls
