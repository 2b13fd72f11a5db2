// Text on a device context: background mode, text colour, DrawTextA's layout.
#include <algorithm>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "platform/font.h"

namespace {

constexpr char kPrefix = '&';

bool IsBreak(char c) { return c == '\n' || c == '\r'; }

// One line as it shows: its characters without the prefix characters, and the one of
// them that is underlined, if any.
struct Line {
  std::string shown;
  size_t underlined = std::string::npos;
};

int WidthOf(const std::string& shown, size_t count) { return TextWidth(shown.data(), count); }

// How many characters of `shown`, from the first, fit in `width`.
size_t Fitting(const std::string& shown, int64_t width) {
  size_t fit = 0;
  for (int64_t used = 0; fit < shown.size() && (used += TextWidth(&shown[fit], 1)) <= width;) fit++;
  return fit;
}

// Where a line breaks of which only `fit` characters fit, as Windows breaks it: after
// the last word that fits, with the spaces after it that fit too, except in centred
// text, which breaks before them; a space right after the break is dropped. A first
// word that does not fit keeps a line of its own. `kept` characters stay on the line;
// `used`, at least one, are done with.
struct Break {
  size_t kept;
  size_t used;
};

Break WordBreak(const std::string& shown, size_t fit, bool centred) {
  size_t p = fit;
  bool wordFits = fit > 0;
  if (wordFits && shown[p] == ' ') {
    p--;
  } else if (wordFits) {
    while (p > 0 && shown[--p] != ' ') {
    }
    wordFits = p > 0 || shown[0] == ' ';
  }
  if (wordFits) {
    if (!centred || shown[p] != ' ') p++;
    return {p, p + (p < shown.size() && shown[p] == ' ' ? 1 : 0)};
  }
  size_t end = std::min(shown.find(' ', fit), shown.size());
  return {end, end + (end < shown.size() ? 1 : 0)};
}

// Takes the line that starts at text[pos]: "&" makes the next character the prefixed
// one and is not shown, "&&" shows one "&", and a lone "&" at the very end shows as
// itself. Of a line's prefixed characters the last one is underlined. Returns where the
// text goes on: after the line break (CR, LF, or a pair of the two different ones), or
// after the space dropped at a word break.
size_t NextLine(const char* text, size_t pos, size_t count, UINT format, int64_t width, Line& line) {
  std::vector<size_t> after;     // where the text goes on after each shown character
  std::vector<size_t> prefixed;  // shown characters that a prefix marked
  size_t i = pos;
  while (i < count && !IsBreak(text[i])) {
    if (!(format & DT_NOPREFIX) && text[i] == kPrefix && count - i > 1) {
      i++;
      if (text[i] != kPrefix) {
        prefixed.push_back(line.shown.size());
        continue;
      }
    }
    line.shown += text[i++];
    after.push_back(i);
  }
  const size_t fit = (format & DT_WORDBREAK) ? Fitting(line.shown, width) : line.shown.size();
  if (fit < line.shown.size()) {
    Break cut = WordBreak(line.shown, fit, format & DT_CENTER);
    line.shown.resize(cut.kept);
    i = after[cut.used - 1];
  } else if (i < count) {
    i++;
    if (i < count && IsBreak(text[i]) && text[i] != text[i - 1]) i++;
  }
  for (size_t shown : prefixed) {
    if (shown < line.shown.size()) line.underlined = shown;
  }
  return i;
}

// Fills the part of the rectangle that lies inside `clip` and on the pixmap. A cell
// wholly off them, or clipped to nothing by an inverted rectangle, leaves no span.
void Fill(Pixmap& pixmap, int64_t left, int64_t top, int64_t right, int64_t bottom, const RECT& clip,
          uint32_t pixel) {
  left = std::max<int64_t>({left, clip.left, 0});
  top = std::max<int64_t>({top, clip.top, 0});
  right = std::min<int64_t>({right, clip.right, pixmap.width});
  bottom = std::min<int64_t>({bottom, clip.bottom, pixmap.height});
  if (left >= right) return;
  for (int64_t y = top; y < bottom; y++) std::fill(pixmap.Row(int(y)) + left, pixmap.Row(int(y)) + right, pixel);
}

// One laid-out line with its top-left corner at (x, y). The underline runs one pixel
// below the baseline under the underlined character, stopping a pixel short of its end.
void DrawLine(Pixmap& pixmap, const DeviceContext& dc, const Line& line, int64_t x, int64_t y,
              const RECT& clip) {
  const uint32_t ink = PixelFromColor(dc.textColor);
  if (dc.bkMode == OPAQUE) {
    Fill(pixmap, x, y, x + WidthOf(line.shown, line.shown.size()), y + FontLineHeight(), clip,
         PixelFromColor(dc.bkColor));
  }
  DrawTextRun(pixmap, x, y, line.shown.data(), line.shown.size(), ink, clip);
  if (line.underlined == std::string::npos) return;
  const int64_t from = x + WidthOf(line.shown, line.underlined);
  const int64_t end = x + WidthOf(line.shown, line.underlined + 1) - 1;
  const int64_t row = y + FontAscent() + 1;
  Fill(pixmap, from, row, end, row + 1, clip, ink);
}

}  // namespace

int SetBkMode(HDC hdc, int mode) {
  std::lock_guard lock(GdiMutex());
  DeviceContext* dc = LookupDc(hdc);
  if (!dc || (mode != TRANSPARENT && mode != OPAQUE)) return 0;
  return std::exchange(dc->bkMode, mode);
}

COLORREF SetTextColor(HDC hdc, COLORREF color) {
  std::lock_guard lock(GdiMutex());
  DeviceContext* dc = LookupDc(hdc);
  if (!dc) return 0xFFFFFFFF;
  return std::exchange(dc->textColor, color);
}

int DrawTextA(HDC hdc, LPCSTR text, int count, LPRECT rect, UINT format) {
  if (!text || !rect) return 0;
  size_t length = count < 0 ? strlen(text) : size_t(count);
  std::lock_guard lock(GdiMutex());
  DeviceContext* dc = LookupDc(hdc);
  if (!dc) return 0;
  Pixmap& to = dc->Target();
  to.version++;
  const RECT clip = *rect;
  const int64_t width = int64_t(clip.right) - clip.left;
  int64_t y = clip.top;
  size_t pos = 0;
  bool last = false;
  do {
    // The line that reaches past the bottom is the last one laid out.
    last = y + FontLineHeight() > clip.bottom;
    Line line;
    pos = NextLine(text, pos, length, format, width, line);
    const int lineWidth = WidthOf(line.shown, line.shown.size());
    const int64_t x = (format & DT_CENTER) ? (int64_t(clip.left) + clip.right - lineWidth) / 2 : clip.left;
    DrawLine(to, *dc, line, x, y, clip);
    y += FontLineHeight();
  } while (pos < length && !last);
  return int(y - clip.top);
}
