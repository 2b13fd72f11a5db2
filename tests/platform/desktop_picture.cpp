// Checks what a desktop window shows: a surface of the given size at a whole-number
// scale, its top-left corner at the given point of the window, each block of scale x
// scale pixels of one colour (nothing smoothed), black all around it. Writes the
// surface at scale 1 to a BMP file, for the test to compare between window sizes.
// Otherwise says what is wrong on standard error and ends with status 1.
// Usage: desktop_picture WINDOW WIDTH HEIGHT SCALE LEFT TOP OUT.bmp
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tests/support/window_capture.h"

namespace {

int Fail(const std::string& why) {
  std::fprintf(stderr, "desktop_picture: %s\n", why.c_str());
  return 1;
}

std::string At(int x, int y, uint32_t pixel) {
  char text[64];
  std::snprintf(text, sizeof text, "(%d, %d) is %06X", x, y, unsigned(pixel));
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 8) return Fail("usage: desktop_picture WINDOW WIDTH HEIGHT SCALE LEFT TOP OUT.bmp");
  const int width = std::atoi(argv[2]), height = std::atoi(argv[3]), scale = std::atoi(argv[4]);
  const int left = std::atoi(argv[5]), top = std::atoi(argv[6]);
  if (width <= 0 || height <= 0 || scale <= 0) return Fail("the surface's size and scale must be positive");
  const std::optional<Picture> shown = CaptureWindow(argv[1]);
  if (!shown) return Fail(std::string("no pixels of window ") + argv[1]);
  const int right = left + width * scale, bottom = top + height * scale;
  if (left < 0 || top < 0 || right > shown->width || bottom > shown->height) {
    return Fail("the surface does not fit the window of " + std::to_string(shown->width) + " x " +
                std::to_string(shown->height));
  }
  Picture surface{width, height, std::vector<uint32_t>(size_t(width) * size_t(height))};
  for (int y = 0; y < shown->height; y++) {
    for (int x = 0; x < shown->width; x++) {
      const uint32_t pixel = shown->At(x, y);
      if (x < left || x >= right || y < top || y >= bottom) {
        if (pixel != 0) return Fail("the border is not black: " + At(x, y, pixel));
        continue;
      }
      // Rows run top first, so a block's top-left pixel comes before the rest of it.
      uint32_t& block = surface.At((x - left) / scale, (y - top) / scale);
      if ((x - left) % scale == 0 && (y - top) % scale == 0) {
        block = pixel;
      } else if (pixel != block) {
        const int blockX = x - (x - left) % scale, blockY = y - (y - top) % scale;
        return Fail("smoothed: " + At(x, y, pixel) + " in the block of " + At(blockX, blockY, block));
      }
    }
  }
  const auto& pixels = surface.pixels;
  if (std::all_of(pixels.begin(), pixels.end(), [&](uint32_t p) { return p == pixels[0]; })) {
    return Fail("the surface is all one colour: nothing is drawn yet");
  }
  if (!WritePicture(surface, argv[7])) return Fail(std::string("cannot write ") + argv[7]);
  return 0;
}
