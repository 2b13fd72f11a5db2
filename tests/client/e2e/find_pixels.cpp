// find_pixels WINDOW X0 Y0 X1 Y1 RRGGBB... [-- X0 Y0 X1 Y1 RRGGBB...]...
//
// Takes one picture of an X window's contents and, for each query, finds the pixels of
// the rectangle [X0, X1) x [Y0, Y1) (window coordinates) whose colour is one of the
// given ones. Prints one line per query: "minX minY maxX maxY count" of the pixels
// found, or "none". All queries read the same picture, so their answers agree in time.
// Exits with 1, and says why on standard error, when the arguments or the window are
// not usable.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

struct Query {
  int x0, y0, x1, y1;
  std::vector<unsigned long> colours;  // 0xRRGGBB
};

// A whole number from 0 to `max`, written in `base` (10 or 16) with digits alone.
std::optional<long> Number(const std::string& text, int base, long max) {
  const char* digits = base == 16 ? "0123456789abcdefABCDEF" : "0123456789";
  if (text.empty() || text.size() > 10 || text.find_first_not_of(digits) != std::string::npos) {
    return std::nullopt;
  }
  long value = strtol(text.c_str(), nullptr, base);
  if (value > max) return std::nullopt;
  return value;
}

// One query from its words; none when they are malformed.
std::optional<Query> ParseQuery(const std::vector<std::string>& words) {
  if (words.size() < 5) return std::nullopt;
  Query q{};
  int* corners[] = {&q.x0, &q.y0, &q.x1, &q.y1};
  for (int i = 0; i < 4; i++) {
    std::optional<long> v = Number(words[i], 10, 1 << 16);
    if (!v) return std::nullopt;
    *corners[i] = int(*v);
  }
  if (q.x0 >= q.x1 || q.y0 >= q.y1) return std::nullopt;
  for (size_t i = 4; i < words.size(); i++) {
    std::optional<long> c = words[i].size() == 6 ? Number(words[i], 16, 0xFFFFFF) : std::nullopt;
    if (!c) return std::nullopt;
    q.colours.push_back(*c);
  }
  return q;
}

std::optional<std::vector<Query>> ParseQueries(int argc, char** argv) {
  std::vector<Query> queries;
  std::vector<std::string> words;
  for (int i = 2; i <= argc; i++) {
    if (i < argc && std::string(argv[i]) != "--") {
      words.push_back(argv[i]);
      continue;
    }
    std::optional<Query> q = ParseQuery(words);
    if (!q) return std::nullopt;
    queries.push_back(*q);
    words.clear();
  }
  return queries;
}

// The colour of one channel scaled to 0..255, whatever width its mask has.
unsigned long Channel(unsigned long pixel, unsigned long mask) {
  if (mask == 0) return 0;
  int shift = __builtin_ctzl(mask);
  unsigned long max = mask >> shift;
  return ((pixel & mask) >> shift) * 255 / max;
}

// The pixel's colour as 0xRRGGBB.
unsigned long Rgb(XImage* image, int x, int y) {
  unsigned long pixel = XGetPixel(image, x, y);
  return Channel(pixel, image->red_mask) << 16 | Channel(pixel, image->green_mask) << 8 |
         Channel(pixel, image->blue_mask);
}

// The query's answer line, over the part of its rectangle that lies in the picture.
std::string Answer(XImage* image, const Query& q) {
  int minX = q.x1, minY = q.y1, maxX = -1, maxY = -1, count = 0;
  for (int y = std::max(q.y0, 0); y < std::min(q.y1, image->height); y++) {
    for (int x = std::max(q.x0, 0); x < std::min(q.x1, image->width); x++) {
      if (std::find(q.colours.begin(), q.colours.end(), Rgb(image, x, y)) == q.colours.end()) continue;
      minX = std::min(minX, x);
      minY = std::min(minY, y);
      maxX = std::max(maxX, x);
      maxY = std::max(maxY, y);
      count++;
    }
  }
  if (count == 0) return "none";
  return std::to_string(minX) + ' ' + std::to_string(minY) + ' ' + std::to_string(maxX) + ' ' +
         std::to_string(maxY) + ' ' + std::to_string(count);
}

// An X error (the window is gone, or not wholly on the screen) fails the picture instead
// of ending the program.
bool xFailed = false;
int NoteError(Display*, XErrorEvent*) {
  xFailed = true;
  return 0;
}

struct CloseDisplay {
  void operator()(Display* d) const { XCloseDisplay(d); }
};
struct DestroyImage {
  void operator()(XImage* i) const { XDestroyImage(i); }
};
using Image = std::unique_ptr<XImage, DestroyImage>;

// The window's contents as they are now; none when the window cannot be read.
Image Picture(Window window) {
  std::unique_ptr<Display, CloseDisplay> display(XOpenDisplay(nullptr));
  if (!display) return nullptr;
  XSetErrorHandler(NoteError);
  XWindowAttributes attributes;
  Image image;
  if (XGetWindowAttributes(display.get(), window, &attributes)) {
    image.reset(XGetImage(display.get(), window, 0, 0, unsigned(attributes.width), unsigned(attributes.height),
                          AllPlanes, ZPixmap));
  }
  XSync(display.get(), False);
  if (xFailed) return nullptr;
  return image;
}

}  // namespace

int main(int argc, char** argv) {
  std::optional<long> id = argc > 1 ? Number(argv[1], 10, 0xFFFFFFFF) : std::nullopt;
  std::optional<std::vector<Query>> queries = ParseQueries(argc, argv);
  if (!id || !queries) {
    fputs("usage: find_pixels WINDOW X0 Y0 X1 Y1 RRGGBB... [-- X0 Y0 X1 Y1 RRGGBB...]...\n", stderr);
    return 1;
  }
  Image image = Picture(Window(id.value_or(0)));
  if (!image) {
    fprintf(stderr, "find_pixels: cannot read window %s\n", argv[1]);
    return 1;
  }
  for (const Query& q : *queries) puts(Answer(image.get(), q).c_str());
  return 0;
}
