#include "content/generator/title.h"

#include <SDL_ttf.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <optional>
#include <sstream>

#include "content/generator/character_figure.h"
#include "content/generator/character_look.h"
#include "content/generator/character_paint.h"

namespace {

constexpr int kWidth = 640, kHeight = 380;
constexpr int kHorizon = 262;  // where the street begins
constexpr int kFeetY = 356;    // just above the character buttons, which cover rows 359..379
constexpr int kScale = 3;
// Over the middle of each character button, left to right.
constexpr int kButtonMiddles[] = {37, 112, 187, 262, 350};
const char kFonts[] = "/usr/share/fonts/truetype/dejavu/";

struct TitleText {
  std::vector<std::string> titles, hints;
  std::filesystem::path characters;
};

std::optional<TitleText> ReadTitleText(const std::filesystem::path& path) {
  std::ifstream file(path);
  if (!file) {
    fprintf(stderr, "%s: cannot read\n", path.c_str());
    return std::nullopt;
  }
  TitleText text;
  std::string line;
  for (int number = 1; std::getline(file, line); number++) {
    std::istringstream words(line);
    std::string key, rest;
    if (!(words >> key) || key[0] == '#') continue;
    std::getline(words >> std::ws, rest);
    if (key == "title" && !rest.empty()) {
      text.titles.push_back(rest);
    } else if (key == "hint" && !rest.empty()) {
      text.hints.push_back(rest);
    } else if (key == "characters" && !rest.empty()) {
      text.characters = path.parent_path() / rest;
    } else {
      fprintf(stderr, "%s:%d: unknown line\n", path.c_str(), number);
      return std::nullopt;
    }
  }
  if (text.characters.empty()) {
    fprintf(stderr, "%s: no characters file named\n", path.c_str());
    return std::nullopt;
  }
  return text;
}

uint32_t Mix(uint32_t from, uint32_t to, double t) {
  auto channel = [&](int shift) {
    return int(std::lround((from >> shift & 255) * (1 - t) + (to >> shift & 255) * t));
  };
  return Rgb(channel(16), channel(8), channel(0));
}

// Same numbers on every run, so the picture never changes.
struct Dice {
  uint32_t state;
  int Roll(int sides) {
    state = state * 1664525u + 1013904223u;
    return int((state >> 8) % uint32_t(sides));
  }
};

void Sky(Image& image) {
  for (int y = 0; y < kHorizon; y++) {
    double t = double(y) / kHorizon;
    uint32_t color = t < 0.6 ? Mix(0x15123A, 0x5A3A78, t / 0.6) : Mix(0x5A3A78, 0xF0986A, (t - 0.6) / 0.4);
    image.FillRect(0, y, kWidth, 1, color);
  }
  Dice dice{7};
  for (int i = 0; i < 70; i++) {
    int x = dice.Roll(kWidth), y = dice.Roll(150);
    image.Set(x, y, Mix(0x15123A, 0xFFF6DA, 1 - y / 170.0));
  }
}

// A row of town houses against the dusk, with lit and dark windows.
void Skyline(Image& image) {
  Dice dice{2024};
  for (int x = -10; x < kWidth;) {
    int width = 44 + dice.Roll(46), top = kHorizon - 50 - dice.Roll(70);
    uint32_t wall = dice.Roll(2) ? 0x2A2448 : 0x332B52;
    image.FillRect(x, top, width, kHorizon - top, wall);
    image.FillRect(x, top, width, 3, Shade(wall, 0.15));
    for (int wy = top + 10; wy + 8 < kHorizon - 6; wy += 14) {
      for (int wx = x + 7; wx + 6 < x + width - 4; wx += 12) {
        image.FillRect(wx, wy, 6, 8, dice.Roll(3) ? 0xF6D77A : 0x1C1836);
      }
    }
    x += width + 2 + dice.Roll(8);
  }
}

// Paving stones from the horizon down, with a kerb along the top.
void Street(Image& image) {
  image.FillRect(0, kHorizon, kWidth, kHeight - kHorizon, 0x8E8A96);
  image.FillRect(0, kHorizon, kWidth, 4, 0x6C6876);
  for (int row = 0, y = kHorizon + 4; y < kHeight; row++, y += 18) {
    image.FillRect(0, y, kWidth, 1, 0x7A7684);
    for (int x = (row % 2) * 18; x < kWidth; x += 36) image.FillRect(x, y, 1, 18, 0x7A7684);
  }
}

// Lays a darkening `amount` over a rectangle with cut corners, so lettering reads over anything.
void Plaque(Image& image, int x, int y, int w, int h, double amount) {
  for (int py = y; py < y + h; py++) {
    int inset = std::max(0, 4 - std::min(py - y, y + h - 1 - py));
    for (int px = x + inset; px < x + w - inset; px++) {
      if (px >= 0 && py >= 0 && px < image.width && py < image.height) image.Set(px, py, Shade(image.At(px, py), -amount));
    }
  }
}

struct FontCloser {
  void operator()(TTF_Font* font) const { TTF_CloseFont(font); }
};
using Font = std::unique_ptr<TTF_Font, FontCloser>;

Font OpenFont(const char* file, int size) {
  Font font(TTF_OpenFont((std::string(kFonts) + file).c_str(), size));
  if (!font) fprintf(stderr, "%s%s: %s\n", kFonts, file, TTF_GetError());
  return font;
}

// Blends `text` in `font` onto `image`, its top-left at (x, y): each row in the colour `paint`
// gives it (counted from the text's top), `opacity` 0..1.
void Blend(Image& image, TTF_Font* font, const std::string& text, int x, int y,
           const std::function<uint32_t(int)>& paint, double opacity) {
  SDL_Surface* rendered = TTF_RenderUTF8_Blended(font, text.c_str(), SDL_Color{255, 255, 255, 255});
  if (!rendered) return;
  SDL_Surface* argb = SDL_ConvertSurfaceFormat(rendered, SDL_PIXELFORMAT_ARGB8888, 0);
  SDL_FreeSurface(rendered);
  if (!argb) return;
  SDL_LockSurface(argb);
  for (int row = 0; row < argb->h; row++) {
    const uint32_t* pixels = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(argb->pixels) + row * argb->pitch);
    for (int column = 0; column < argb->w; column++) {
      int px = x + column, py = y + row;
      double alpha = (pixels[column] >> 24) / 255.0 * opacity;
      if (alpha > 0 && px >= 0 && py >= 0 && px < image.width && py < image.height) {
        image.Set(px, py, Mix(image.At(px, py), paint(row), alpha));
      }
    }
  }
  SDL_UnlockSurface(argb);
  SDL_FreeSurface(argb);
}

// One line of lettering centred on `middle`, with a dark rim `outline` pixels wide and a drop
// shadow; returns the height of the line.
int Letter(Image& image, TTF_Font* font, const std::string& text, int middle, int y, int outline, uint32_t rim,
           const std::function<uint32_t(int)>& paint) {
  int w = 0, h = 0;
  TTF_SizeUTF8(font, text.c_str(), &w, &h);
  int x = middle - w / 2;
  TTF_SetFontOutline(font, outline);
  Blend(image, font, text, x + 1, y + 1, [](int) { return 0u; }, 0.55);
  Blend(image, font, text, x - outline, y - outline, [&](int) { return rim; }, 1);
  TTF_SetFontOutline(font, 0);
  Blend(image, font, text, x, y, paint, 1);
  return h;
}

// Gold from light at the top of a line of `height` to deep at its foot.
std::function<uint32_t(int)> Gold(int height) {
  return [height](int row) { return Mix(0xFFF4B0, 0xE0801C, std::clamp(double(row) / height, 0.0, 1.0)); };
}

// The game's name; returns the row below it.
int Lettering(Image& image, TTF_Font* font, const std::vector<std::string>& lines, int y) {
  for (const std::string& line : lines) {
    y += Letter(image, font, line, kWidth / 2, y, 3, 0x3A1606, Gold(TTF_FontHeight(font))) - 8;
  }
  return y;
}

void Hints(Image& image, TTF_Font* font, const std::vector<std::string>& lines, int y) {
  int line = TTF_FontLineSkip(font) + 2;
  Plaque(image, 30, y - 6, kWidth - 60, line * int(lines.size()) + 10, 0.55);
  for (const std::string& hint : lines) {
    y += 2 + Letter(image, font, hint, kWidth / 2, y, 1, 0x1A1020, [](int) { return 0xFFF8E8u; });
  }
}

// "Go!" over an arrow down to the button of that name, just below the picture's right half.
void GoPointer(Image& image, TTF_Font* font) {
  constexpr double kGoMiddle = 592;
  Letter(image, font, "Go!", int(kGoMiddle), 292, 2, 0x3A1606, Gold(TTF_FontHeight(font)));
  std::vector<Point> arrow = {{kGoMiddle - 7, 334}, {kGoMiddle + 7, 334}, {kGoMiddle + 7, 356}, {kGoMiddle + 16, 356},
                              {kGoMiddle, 378},     {kGoMiddle - 16, 356}, {kGoMiddle - 7, 356}};
  PaintPart(image, 0xF0B040, [&](Image& layer) { layer.FillPolygon(arrow, 0); });
}

// `figure` kScale times bigger, nearest pixel, its see-through pixels left out.
void PasteScaled(Image& image, const Image& figure, int left, int top) {
  for (int y = 0; y < figure.height; y++) {
    for (int x = 0; x < figure.width; x++) {
      if (figure.At(x, y) != kClear) image.FillRect(left + x * kScale, top + y * kScale, kScale, kScale, figure.At(x, y));
    }
  }
}

void Characters(Image& image, const std::vector<CharacterLook>& looks) {
  for (size_t i = 0; i < looks.size() && i < std::size(kButtonMiddles); i++) {
    int middle = kButtonMiddles[i];
    image.FillEllipse(middle, kFeetY - 4, 30, 6, 0x5E5A68);
    PasteScaled(image, DrawFigure(looks[i], 0, int(i % 2)), middle - kFigureWidth * kScale / 2, kFeetY - kFigureHeight * kScale);
  }
}

std::optional<Image> Compose(const TitleText& text, const std::vector<CharacterLook>& looks) {
  Font name = OpenFont("DejaVuSerif-Bold.ttf", 58), go = OpenFont("DejaVuSerif-Bold.ttf", 30),
       hint = OpenFont("DejaVuSans-Bold.ttf", 15);
  if (!name || !go || !hint) return std::nullopt;
  Image image(kWidth, kHeight);
  Sky(image);
  Skyline(image);
  Street(image);
  Hints(image, hint.get(), text.hints, Lettering(image, name.get(), text.titles, 6) + 14);
  Characters(image, looks);
  GoPointer(image, go.get());
  return image;
}

}  // namespace

bool GenerateTitle(const std::filesystem::path& sources, const std::filesystem::path& game) {
  auto text = ReadTitleText(sources / "title.txt");
  if (!text) return false;
  auto looks = ReadCharacters(text->characters);
  if (!looks) return false;
  if (TTF_Init() != 0) {
    fprintf(stderr, "cannot start the font renderer: %s\n", TTF_GetError());
    return false;
  }
  std::optional<Image> image = Compose(*text, *looks);
  TTF_Quit();
  if (!image) return false;
  if (WriteBmp(game / "brambleduck.bmp", *image)) return true;
  fprintf(stderr, "%s: cannot write\n", (game / "brambleduck.bmp").c_str());
  return false;
}
