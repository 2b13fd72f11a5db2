// Text on a device context: background mode, text colour, DrawTextA's layout.
#include <algorithm>
#include <cstring>
#include <utility>

#include "platform/font.h"

namespace {

struct Line {
  size_t start;
  size_t length;
};

bool IsBreak(char c) { return c == '\n' || c == '\r'; }

// Splits one paragraph (no line breaks inside) into lines no wider than `width`,
// breaking only between words; a word wider than `width` keeps a line of its own.
void WrapParagraph(const char* text, size_t start, size_t end, int64_t width, std::vector<Line>& lines) {
  size_t pos = start;
  do {
    size_t lineEnd = pos;
    for (size_t i = pos; i < end;) {
      while (i < end && text[i] == ' ') i++;
      while (i < end && text[i] != ' ') i++;
      if (lineEnd > pos && TextWidth(text + pos, i - pos) > width) break;
      lineEnd = i;
    }
    size_t trimmed = lineEnd;
    while (trimmed > pos && text[trimmed - 1] == ' ') trimmed--;
    lines.push_back({pos, trimmed - pos});
    pos = lineEnd;
    while (pos < end && text[pos] == ' ') pos++;
  } while (pos < end);
}

std::vector<Line> Layout(const char* text, size_t count, UINT format, int64_t width) {
  std::vector<Line> lines;
  size_t start = 0;
  while (true) {
    size_t end = start;
    while (end < count && !IsBreak(text[end])) end++;
    if (format & DT_WORDBREAK) {
      WrapParagraph(text, start, end, width, lines);
    } else {
      lines.push_back({start, end - start});
    }
    if (end >= count) break;
    start = end + ((text[end] == '\r' && end + 1 < count && text[end + 1] == '\n') ? 2 : 1);
  }
  return lines;
}

// Fills the part of the rectangle that lies on the pixmap. A cell wholly off it, or
// clipped to nothing by an inverted rectangle, leaves no span at all.
void Fill(Pixmap& to, int64_t left, int64_t top, int64_t right, int64_t bottom, uint32_t pixel) {
  left = std::max<int64_t>(left, 0);
  top = std::max<int64_t>(top, 0);
  right = std::min<int64_t>(right, to.width);
  bottom = std::min<int64_t>(bottom, to.height);
  if (left >= right) return;
  for (int64_t y = top; y < bottom; y++) std::fill(to.Row(int(y)) + left, to.Row(int(y)) + right, pixel);
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
  int64_t width = int64_t(clip.right) - clip.left;
  int lineHeight = FontLineHeight();
  std::vector<Line> lines = Layout(text, length, format, width);
  int64_t y = clip.top;
  for (const Line& line : lines) {
    if (y >= clip.bottom) break;
    int lineWidth = TextWidth(text + line.start, line.length);
    int64_t x = (format & DT_CENTER) ? clip.left + (width - lineWidth) / 2 : clip.left;
    if (dc->bkMode == OPAQUE) {
      Fill(to, std::max<int64_t>(x, clip.left), std::max<int64_t>(y, clip.top),
           std::min<int64_t>(x + lineWidth, clip.right), std::min<int64_t>(y + lineHeight, clip.bottom),
           PixelFromColor(dc->bkColor));
    }
    DrawTextRun(to, x, y, text + line.start, line.length, PixelFromColor(dc->textColor), clip);
    y += lineHeight;
  }
  return int(lines.size()) * lineHeight;
}
