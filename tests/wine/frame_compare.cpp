#include "tests/wine/frame_compare.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <set>
#include <sstream>

namespace {

constexpr uint32_t kCell = 0xFFFFFF;  // the opaque text cells' background
constexpr int kLineHeight = 16;
constexpr int kRowSlack = 2;

struct Box {
  int left = INT_MAX, top = INT_MAX, right = INT_MIN, bottom = INT_MIN;  // inclusive
  int count = 0;
  void Add(int x, int y) {
    left = std::min(left, x), top = std::min(top, y), right = std::max(right, x), bottom = std::max(bottom, y);
    count++;
  }
  bool Empty() const { return count == 0; }
};

std::string Describe(const Box& box) {
  std::ostringstream out;
  out << box.count << " pixels within (" << box.left << ", " << box.top << ")-(" << box.right << ", " << box.bottom
      << ")";
  return out.str();
}

// One platform's frame with texts, and which of its pixels are its texts'.
struct Drawn {
  const Picture& text;
  std::vector<bool> mask;

  Drawn(const Picture& withText, const Picture& blank) : text(withText), mask(withText.pixels.size()) {
    for (size_t i = 0; i < mask.size(); i++) mask[i] = withText.pixels[i] != blank.pixels[i];
  }
  bool Text(int x, int y) const { return mask[size_t(y) * size_t(text.width) + size_t(x)]; }
  bool Cell(int x, int y) const { return Text(x, y) && text.At(x, y) == kCell; }
};

struct Area {
  int left, top, right, bottom;  // exclusive right and bottom, within the frame
};

Area Clip(const TextRect& rect, int bottom, const Picture& frame) {
  return {std::max(rect.left, 0), std::max(rect.top, 0), std::min(rect.right, frame.width),
          std::min(bottom, frame.height)};
}

template <typename Test>
Box Find(const Area& area, Test test) {
  Box box;
  for (int y = area.top; y < area.bottom; y++)
    for (int x = area.left; x < area.right; x++)
      if (test(x, y)) box.Add(x, y);
  return box;
}

template <typename Test>
std::set<int> RowsWith(const Area& area, Test test) {
  std::set<int> rows;
  for (int y = area.top; y < area.bottom; y++)
    for (int x = area.left; x < area.right; x++)
      if (test(x, y)) {
        rows.insert(y);
        break;
      }
  return rows;
}

// "rows 30-45, 60" for a set of rows.
std::string RowList(const std::set<int>& rows) {
  std::ostringstream out;
  for (auto it = rows.begin(); it != rows.end();) {
    int first = *it, last = first;
    while (++it != rows.end() && *it == last + 1) last = *it;
    out << (first == *rows.begin() ? "" : ", ") << first;
    if (last > first) out << "-" << last;
  }
  return out.str();
}

// Rows of `from` with no row of `to` within the slack.
std::set<int> Unmatched(const std::set<int>& from, const std::set<int>& to) {
  std::set<int> alone;
  for (int y : from) {
    auto near = to.lower_bound(y - kRowSlack);
    if (near == to.end() || *near > y + kRowSlack) alone.insert(y);
  }
  return alone;
}

bool Within(int a, int b, int slack) { return std::abs(a - b) <= slack; }

class Comparison {
 public:
  Comparison(const FrameEntry& entry, const FramePair& frames)
      : entry_(entry), frames_(frames), linux_(frames.linuxText, frames.linuxBlank),
        wine_(frames.wineText, frames.wineBlank) {}

  std::vector<std::string> Run() {
    Outside();
    for (const auto& [name, drawn] : {std::pair{"Linux", &linux_}, {"Wine", &wine_}}) Contained(name, *drawn);
    Chat();
    for (const TextRect& rect : entry_.texts) {
      if (rect.centred) Centred(rect);
    }
    return findings_;
  }

 private:
  void Say(const std::string& finding) { findings_.push_back(finding); }

  void Outside() {
    const Picture& w = frames_.wineBlank;
    Area all{0, 0, w.width, w.height};
    Box blank = Find(all, [&](int x, int y) { return frames_.linuxBlank.At(x, y) != w.At(x, y); });
    if (!blank.Empty()) Say("without texts the frames differ in " + Describe(blank));
    Box beside = Find(all, [&](int x, int y) {
      return !linux_.Text(x, y) && !wine_.Text(x, y) && frames_.linuxText.At(x, y) != frames_.wineText.At(x, y) &&
             frames_.linuxBlank.At(x, y) == w.At(x, y);
    });
    if (!beside.Empty()) Say("with texts, outside every text pixel, the frames differ in " + Describe(beside));
  }

  bool InsideSomeText(int x, int y) const {
    return std::any_of(entry_.texts.begin(), entry_.texts.end(), [&](const TextRect& r) {
      return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
    });
  }

  void Contained(const std::string& platform, const Drawn& drawn) {
    const Picture& p = drawn.text;
    Box outside =
        Find({0, 0, p.width, p.height}, [&](int x, int y) { return drawn.Text(x, y) && !InsideSomeText(x, y); });
    if (!outside.Empty()) Say(platform + " draws text outside every text rectangle: " + Describe(outside));
  }

  // The chat lines share their left edge, their right edge (630) and their bottom (140)
  // and draw over each other: they are compared as one block.
  void Chat() {
    std::vector<const TextRect*> lines;
    for (const TextRect& rect : entry_.texts) {
      if (!rect.centred) lines.push_back(&rect);
    }
    if (lines.empty()) return;
    Area block = Clip(*lines.front(), lines.front()->bottom, frames_.wineText);
    for (const TextRect* line : lines) block.top = std::min(block.top, std::max(line->top, 0));

    std::set<int> linuxCells = RowsWith(block, [&](int x, int y) { return linux_.Cell(x, y); });
    std::set<int> wineCells = RowsWith(block, [&](int x, int y) { return wine_.Cell(x, y); });
    if (linuxCells != wineCells) {
      Say("chat: the text cells stand in rows " + RowList(linuxCells) + " on Linux, " + RowList(wineCells) +
          " on Wine");
    }
    CellRows(block, linuxCells, wineCells);

    std::set<int> linuxGlyphs = RowsWith(block, [&](int x, int y) { return linux_.Text(x, y); });
    std::set<int> wineGlyphs = RowsWith(block, [&](int x, int y) { return wine_.Text(x, y); });
    std::set<int> linuxAlone = Unmatched(linuxGlyphs, wineGlyphs), wineAlone = Unmatched(wineGlyphs, linuxGlyphs);
    if (!linuxAlone.empty()) Say("chat: Linux has text in rows " + RowList(linuxAlone) + " where Wine has none");
    if (!wineAlone.empty()) Say("chat: Wine has text in rows " + RowList(wineAlone) + " where Linux has none");
  }

  // Each row of the opaque cells starts at the same place and ends about where the
  // other platform's ends.
  void CellRows(const Area& block, const std::set<int>& linuxCells, const std::set<int>& wineCells) {
    std::set<int> starts, ends;
    std::ostringstream example;
    for (int y : linuxCells) {
      if (!wineCells.count(y)) continue;
      Area row{block.left, y, block.right, y + 1};
      Box l = Find(row, [&](int x, int yy) { return linux_.Text(x, yy); });
      Box w = Find(row, [&](int x, int yy) { return wine_.Text(x, yy); });
      if (!Within(l.left, w.left, 1)) starts.insert(y);
      if (!Within(l.right, w.right, 2 + w.right / 25)) {
        if (ends.empty()) example << " (row " << y << ": " << l.right << " on Linux, " << w.right << " on Wine)";
        ends.insert(y);
      }
    }
    if (!starts.empty()) Say("chat: the text cells start elsewhere in rows " + RowList(starts));
    if (!ends.empty()) Say("chat: the text cells end elsewhere in rows " + RowList(ends) + example.str());
  }

  // A name or "IT!": one line at the top of its rectangle.
  void Centred(const TextRect& rect) {
    Area area = Clip(rect, rect.top + kLineHeight, frames_.wineText);
    if (area.left >= area.right || area.top >= area.bottom) return;
    Box l = Find(area, [&](int x, int y) { return linux_.Text(x, y); });
    Box w = Find(area, [&](int x, int y) { return wine_.Text(x, y); });
    std::string what = "\"" + rect.text + "\" at (" + std::to_string(rect.left) + ", " + std::to_string(rect.top) + ")";
    if (l.Empty() != w.Empty()) {
      Say(what + " shows on " + (l.Empty() ? "Wine" : "Linux") + " only");
      return;
    }
    if (l.Empty()) return;
    const int slack = 2 + (w.right - w.left + 1) * 4 / 100;
    if (!Within(l.left, w.left, slack) || !Within(l.right, w.right, slack) || !Within(l.top, w.top, kRowSlack) ||
        !Within(l.bottom, w.bottom, kRowSlack)) {
      std::ostringstream out;
      out << what << ": text in (" << l.left << ", " << l.top << ")-(" << l.right << ", " << l.bottom
          << ") on Linux, (" << w.left << ", " << w.top << ")-(" << w.right << ", " << w.bottom << ") on Wine";
      Say(out.str());
    }
  }

  const FrameEntry& entry_;
  const FramePair& frames_;
  Drawn linux_, wine_;
  std::vector<std::string> findings_;
};

}  // namespace

std::vector<std::string> CompareFrames(const FrameEntry& entry, const FramePair& frames) {
  return Comparison(entry, frames).Run();
}

Picture DifferencePicture(const FramePair& frames) {
  Picture out = frames.wineText;
  for (int y = 0; y < out.height; y++) {
    for (int x = 0; x < out.width; x++) {
      bool linuxText = frames.linuxText.At(x, y) != frames.linuxBlank.At(x, y);
      bool wineText = frames.wineText.At(x, y) != frames.wineBlank.At(x, y);
      bool differs = frames.linuxBlank.At(x, y) != frames.wineBlank.At(x, y) ||
                     (!linuxText && !wineText && frames.linuxText.At(x, y) != frames.wineText.At(x, y));
      uint32_t& p = out.At(x, y);
      if (differs) {
        p = 0xFF0000;
      } else if (linuxText || wineText) {
        p = linuxText && wineText ? 0xFFFF00 : linuxText ? 0x0000FF : 0x00FF00;
      } else {
        p = (p >> 2) & 0x3F3F3F;
      }
    }
  }
  return out;
}
