#include "content/generator/sprites.h"

#include <cstdio>

#include "content/generator/character_figure.h"
#include "content/generator/character_look.h"
#include "content/generator/character_paint.h"

namespace {

constexpr uint32_t kGrid = 0xFF00FF, kMaskClear = 0xFFFFFF, kMaskSolid = 0;
constexpr int kCells = 16;  // a cell for every direction code 0..15 and phase, codes 4..7 unused
constexpr int kPsiSize = 34;

// The colour row over the mask row, cell after cell, each cell framed by one-pixel grid lines.
Image Sheet(const std::vector<Image>& cells) {
  int w = cells[0].width, h = cells[0].height;
  Image sheet(1 + int(cells.size()) * (w + 1), 2 * (h + 1) + 1, kGrid);
  for (size_t k = 0; k < cells.size(); k++) {
    int left = 1 + int(k) * (w + 1);
    for (int y = 0; y < h; y++) {
      for (int x = 0; x < w; x++) {
        bool clear = cells[k].At(x, y) == kClear;
        sheet.Set(left + x, 1 + y, clear ? 0 : cells[k].At(x, y));
        sheet.Set(left + x, h + 2 + y, clear ? kMaskClear : kMaskSolid);
      }
    }
  }
  return sheet;
}

Image CharacterSheet(const CharacterLook& look) {
  std::vector<Image> cells;
  for (int k = 0; k < kCells; k++) {
    int direction = (k & 8) | (k & 3), phase = (k >> 2) & 1;
    cells.push_back(DrawFigure(look, direction, phase));
  }
  return Sheet(cells);
}

// A glowing orb; the outer glow only on every other pixel, so the ground shows through it.
Image PsiOrb(double radius, double brightness) {
  const uint32_t rings[] = {0x5A1E8C, 0x9A3CD8, 0xD07CF8, 0xF6D8FF, 0xFFFFFF};
  const double sizes[] = {1.0, 0.78, 0.58, 0.36, 0.16};
  Image orb(kPsiSize, kPsiSize, kClear);
  double c = kPsiSize / 2.0;
  Image glow(kPsiSize, kPsiSize, kClear);
  glow.FillEllipse(c, c, radius + 3, radius + 3, Shade(rings[0], brightness));
  for (int y = 0; y < kPsiSize; y++) {
    for (int x = 0; x < kPsiSize; x++) {
      if ((x + y) % 2 == 0) orb.Set(x, y, glow.At(x, y));
    }
  }
  for (int i = 0; i < 5; i++) {
    double r = radius * sizes[i], shift = i >= 3 ? -radius * 0.12 : 0;
    orb.FillEllipse(c + shift, c + shift, r, r, Shade(rings[i], brightness));
  }
  return orb;
}

// Four rays of light across a bright orb.
void Sparkle(Image& orb, uint32_t color) {
  double c = kPsiSize / 2.0, reach = c - 1;
  orb.Line({c - reach, c}, {c + reach - 1, c}, color);
  orb.Line({c, c - reach}, {c, c + reach - 1}, color);
  orb.Line({c - reach * 0.6, c - reach * 0.6}, {c + reach * 0.6, c + reach * 0.6}, color);
  orb.Line({c + reach * 0.6, c - reach * 0.6}, {c - reach * 0.6, c + reach * 0.6}, color);
}

Image PsiSheet() { return Sheet({PsiOrb(8, 0), BrightPsiOrb()}); }

// A dark screen with a faint grid and scan lines, in a bevelled frame.
Image Radar() {
  constexpr int kWidth = 75, kHeight = 60, kGridStep = 8;
  Image radar(kWidth, kHeight, 0x0B1A13);
  for (int y = 0; y < kHeight; y += 2) radar.FillRect(0, y, kWidth, 1, 0x0E2018);
  for (int x = 5; x < kWidth; x += kGridStep) radar.FillRect(x, 0, 1, kHeight, 0x153222);
  for (int y = 6; y < kHeight; y += kGridStep) radar.FillRect(0, y, kWidth, 1, 0x153222);
  radar.FrameRect(0, 0, kWidth, kHeight, 0x9AA6AC);
  radar.FrameRect(1, 1, kWidth - 2, kHeight - 2, 0x3C474C);
  radar.FillRect(1, kHeight - 1, kWidth - 1, 1, 0x56626A);
  radar.FillRect(kWidth - 1, 1, 1, kHeight - 1, 0x56626A);
  return radar;
}

bool Write(const std::filesystem::path& path, const Image& image) {
  if (WriteBmp(path, image)) return true;
  fprintf(stderr, "%s: cannot write\n", path.c_str());
  return false;
}

}  // namespace

Image BrightPsiOrb() {
  Image bright = PsiOrb(11.5, 0.15);
  Sparkle(bright, 0xF0C8FF);
  bright.FillEllipse(kPsiSize / 2.0 - 1, kPsiSize / 2.0 - 1, 3, 3, 0xFFFFFF);
  return bright;
}

bool GenerateSprites(const std::filesystem::path& sources, const std::filesystem::path& game) {
  auto looks = ReadCharacters(sources / "characters.txt");
  if (!looks) return false;
  std::filesystem::path folder = game / "images" / "sprites";
  for (const CharacterLook& look : *looks) {
    if (!Write(folder / (look.sheet + ".bmp"), CharacterSheet(look))) return false;
  }
  return Write(folder / "psi.bmp", PsiSheet()) && Write(folder / "RADAR.bmp", Radar());
}
