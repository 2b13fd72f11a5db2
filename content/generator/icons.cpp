#include "content/generator/icons.h"

#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "content/generator/character_figure.h"
#include "content/generator/character_look.h"
#include "content/generator/character_paint.h"
#include "content/generator/sprites.h"

namespace {

constexpr int kArt = 32;  // the icons are drawn at 32 x 32 and scaled to each size
constexpr int kSizes[] = {16, 24, 32, 48, 64, 128, 256};

// A picture with coverage: 0xAARRGGBB, not premultiplied, as PNG keeps it.
struct Rgba {
  int size;
  std::vector<uint32_t> pixels;
};

// The character's head and shoulders, facing the player, on a round dark badge that
// keeps it readable on light and dark menus alike.
Image GameArt(const CharacterLook& look) {
  Image art(kArt, kArt, kClear);
  art.FillEllipse(kArt / 2.0, kArt / 2.0, kArt / 2.0, kArt / 2.0, 0x1E2A3A);
  art.FillEllipse(kArt / 2.0, kArt / 2.0, kArt / 2.0 - 1.5, kArt / 2.0 - 1.5, 0x3C5878);
  Image figure = DrawFigure(look, 0, 0);
  Image bust(kArt, kArt, kClear);
  bust.Paste(figure, (kArt - kFigureWidth) / 2, 3, kClear);
  // Only what lies on the badge, so the shoulders end at its rim.
  for (int y = 0; y < kArt; y++) {
    for (int x = 0; x < kArt; x++) {
      if (art.At(x, y) != kClear && bust.At(x, y) != kClear) art.Set(x, y, bust.At(x, y));
    }
  }
  return art;
}

// The projectile, its glow kept whole.
Image ServerArt() {
  const Image orb = BrightPsiOrb();
  Image art(kArt, kArt, kClear);
  art.Paste(orb, (kArt - orb.width) / 2, (kArt - orb.height) / 2, kClear);
  return art;
}

// `art` scaled to `size` by area: each icon pixel is the average of the art it covers,
// weighted by coverage, so whole-number enlargements keep every pixel sharp.
Rgba Scale(const Image& art, int size) {
  Rgba icon{size, std::vector<uint32_t>(size_t(size) * size)};
  const double step = double(art.width) / size;
  for (int y = 0; y < size; y++) {
    for (int x = 0; x < size; x++) {
      double sum[4] = {};
      for (int sy = int(y * step); sy < std::min(art.height, int(std::ceil((y + 1) * step))); sy++) {
        const double h = std::min<double>(sy + 1, (y + 1) * step) - std::max<double>(sy, y * step);
        for (int sx = int(x * step); sx < std::min(art.width, int(std::ceil((x + 1) * step))); sx++) {
          const double w = (std::min<double>(sx + 1, (x + 1) * step) - std::max<double>(sx, x * step)) * h;
          const uint32_t c = art.At(sx, sy);
          if (c == kClear) continue;
          sum[0] += w * ((c >> 16) & 0xFF), sum[1] += w * ((c >> 8) & 0xFF), sum[2] += w * (c & 0xFF);
          sum[3] += w;
        }
      }
      const double area = step * step;
      if (sum[3] <= 0) continue;
      const auto channel = [&](int i) { return uint32_t(std::lround(sum[i] / sum[3])); };
      const uint32_t alpha = uint32_t(std::lround(255 * std::min(1.0, sum[3] / area)));
      icon.pixels[size_t(y) * size + x] = alpha << 24 | channel(0) << 16 | channel(1) << 8 | channel(2);
    }
  }
  return icon;
}

bool WritePng(const std::filesystem::path& path, const Rgba& icon) {
  std::vector<uint8_t> bytes;
  for (uint32_t c : icon.pixels) {
    bytes.insert(bytes.end(), {uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c), uint8_t(c >> 24)});
  }
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = png_uint_32(icon.size);
  image.height = png_uint_32(icon.size);
  image.format = PNG_FORMAT_RGBA;
  std::error_code error;
  std::filesystem::create_directories(path.parent_path(), error);
  if (!png_image_write_to_file(&image, path.c_str(), 0, bytes.data(), 0, nullptr)) {
    fprintf(stderr, "%s: cannot write: %s\n", path.c_str(), image.message);
    return false;
  }
  return true;
}

bool WriteIcons(const std::filesystem::path& out, const std::string& name, const Image& art) {
  for (int size : kSizes) {
    const std::string folder = std::to_string(size) + "x" + std::to_string(size);
    if (!WritePng(out / "hicolor" / folder / "apps" / (name + ".png"), Scale(art, size))) return false;
  }
  return true;
}

}  // namespace

bool GenerateIcons(const std::filesystem::path& sources, const std::filesystem::path& out) {
  auto looks = ReadCharacters(sources / "characters.txt");
  if (!looks || looks->empty()) return false;
  return WriteIcons(out, "quendle", GameArt(looks->front())) && WriteIcons(out, "quendlehost", ServerArt());
}
