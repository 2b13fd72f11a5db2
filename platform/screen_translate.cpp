#include "platform/screen_translate.h"

#include <SDL_keycode.h>

#include <algorithm>
#include <iterator>
#include <utility>

#include "platform/window.h"

namespace {

constexpr int kVkF1 = 0x70;
constexpr int kVkNumpad0 = 0x60;

// Keys outside the letter, digit, function-key and keypad-digit runs. Punctuation gets
// the codes of a US keyboard, as Windows gives them there.
constexpr std::pair<SDL_Keycode, int> kKeys[] = {
    {SDLK_BACKSPACE, VK_BACK},
    {SDLK_TAB, VK_TAB},
    {SDLK_RETURN, VK_RETURN},
    {SDLK_KP_ENTER, VK_RETURN},
    {SDLK_LSHIFT, VK_SHIFT},
    {SDLK_RSHIFT, VK_SHIFT},
    {SDLK_LCTRL, VK_CONTROL},
    {SDLK_RCTRL, VK_CONTROL},
    {SDLK_LALT, 0x12},  // VK_MENU
    {SDLK_RALT, 0x12},
    {SDLK_PAUSE, 0x13},
    {SDLK_CAPSLOCK, 0x14},
    {SDLK_ESCAPE, VK_ESCAPE},
    {SDLK_SPACE, VK_SPACE},
    {SDLK_PAGEUP, 0x21},    // VK_PRIOR
    {SDLK_PAGEDOWN, 0x22},  // VK_NEXT
    {SDLK_END, VK_END},
    {SDLK_HOME, VK_HOME},
    {SDLK_LEFT, VK_LEFT},
    {SDLK_UP, VK_UP},
    {SDLK_RIGHT, VK_RIGHT},
    {SDLK_DOWN, VK_DOWN},
    {SDLK_PRINTSCREEN, 0x2C},  // VK_SNAPSHOT
    {SDLK_INSERT, 0x2D},
    {SDLK_DELETE, VK_DELETE},
    {SDLK_LGUI, 0x5B},
    {SDLK_RGUI, 0x5C},
    {SDLK_APPLICATION, 0x5D},
    {SDLK_KP_0, kVkNumpad0},
    {SDLK_KP_MULTIPLY, 0x6A},
    {SDLK_KP_PLUS, 0x6B},
    {SDLK_KP_MINUS, 0x6D},
    {SDLK_KP_PERIOD, 0x6E},
    {SDLK_KP_DIVIDE, 0x6F},
    {SDLK_NUMLOCKCLEAR, 0x90},
    {SDLK_SCROLLLOCK, 0x91},
    {SDLK_SEMICOLON, 0xBA},  // VK_OEM_1
    {SDLK_EQUALS, 0xBB},     // VK_OEM_PLUS
    {SDLK_COMMA, 0xBC},
    {SDLK_MINUS, 0xBD},
    {SDLK_PERIOD, 0xBE},
    {SDLK_SLASH, 0xBF},         // VK_OEM_2
    {SDLK_BACKQUOTE, 0xC0},     // VK_OEM_3
    {SDLK_LEFTBRACKET, 0xDB},   // VK_OEM_4
    {SDLK_BACKSLASH, 0xDC},     // VK_OEM_5
    {SDLK_RIGHTBRACKET, 0xDD},  // VK_OEM_6
    {SDLK_QUOTE, 0xDE},         // VK_OEM_7
};

// The characters of bytes 0x80 to 0x9F; 0 where the code page defines none. Every
// other byte is the character of the same number.
constexpr char32_t kHighBlock[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

constexpr char32_t kNotACharacter = 0xFFFFFFFF;

// Removes one UTF-8 sequence from the front of `text` and returns its character, or
// kNotACharacter for a malformed, truncated or overlong one (whose lead byte and
// continuation bytes are removed).
char32_t TakeCharacter(std::string_view& text) {
  const auto lead = static_cast<unsigned char>(text[0]);
  size_t extra;
  char32_t value;
  char32_t least;
  if (lead < 0x80) {
    text.remove_prefix(1);
    return lead;
  } else if ((lead & 0xE0) == 0xC0) {
    extra = 1, value = lead & 0x1F, least = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    extra = 2, value = lead & 0x0F, least = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    extra = 3, value = lead & 0x07, least = 0x10000;
  } else {
    text.remove_prefix(1);
    return kNotACharacter;
  }
  size_t taken = 1;
  while (taken <= extra && taken < text.size() && (static_cast<unsigned char>(text[taken]) & 0xC0) == 0x80) {
    value = (value << 6) | (static_cast<unsigned char>(text[taken]) & 0x3F);
    ++taken;
  }
  text.remove_prefix(taken);
  return taken == extra + 1 && value >= least ? value : kNotACharacter;
}

// The code-page byte of a character, or -1 when it has none.
int ByteOf(char32_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return int(c);
  const auto* found = std::find(std::begin(kHighBlock), std::end(kHighBlock), c);
  return found == std::end(kHighBlock) ? -1 : 0x80 + int(found - std::begin(kHighBlock));
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += char(c);
  } else if (c < 0x800) {
    out += char(0xC0 | (c >> 6));
    out += char(0x80 | (c & 0x3F));
  } else {
    out += char(0xE0 | (c >> 12));
    out += char(0x80 | ((c >> 6) & 0x3F));
    out += char(0x80 | (c & 0x3F));
  }
}

// Rounded down, so that the border left of and above a surface never maps to its row
// or column 0.
LONG FloorDivide(LONG value, int divisor) { return value < 0 ? (value + 1) / divisor - 1 : value / divisor; }

}  // namespace

int VirtualKeyFromSdl(int32_t keycode) {
  if (keycode >= SDLK_a && keycode <= SDLK_z) return 'A' + (keycode - SDLK_a);
  if (keycode >= SDLK_0 && keycode <= SDLK_9) return keycode;
  if (keycode >= SDLK_F1 && keycode <= SDLK_F12) return kVkF1 + (keycode - SDLK_F1);
  if (keycode >= SDLK_KP_1 && keycode <= SDLK_KP_9) return kVkNumpad0 + 1 + (keycode - SDLK_KP_1);
  const auto* found = std::find_if(std::begin(kKeys), std::end(kKeys),
                                   [keycode](const auto& key) { return key.first == keycode; });
  return found == std::end(kKeys) ? 0 : found->second;
}

DesktopKeys::Use DesktopKeys::Take(int32_t keycode, bool down, bool repeat, bool alt) {
  if (!down || repeat) {
    const bool taken = held_.count(keycode) != 0;
    if (!down) held_.erase(keycode);
    return taken ? kTaken : kForGame;
  }
  const bool enter = keycode == SDLK_RETURN || keycode == SDLK_KP_ENTER;
  if (keycode == SDLK_F11 || (enter && alt)) {
    held_.insert(keycode);
    return kToggleFullscreen;
  }
  held_.erase(keycode);  // pressed anew: its release went by unseen (in another window)
  return kForGame;
}

std::string Cp1252FromUtf8(std::string_view utf8) {
  std::string out;
  while (!utf8.empty()) {
    const int byte = ByteOf(TakeCharacter(utf8));
    if (byte >= 0) out += char(byte);
  }
  return out;
}

std::string Utf8FromCp1252(std::string_view text) {
  std::string out;
  for (char byte : text) {
    const auto b = static_cast<unsigned char>(byte);
    const char32_t c = b >= 0x80 && b < 0xA0 ? kHighBlock[b - 0x80] : b;
    if (c != 0) AppendUtf8(out, c);
  }
  return out;
}

int DesktopScale(int width, int height, int usableWidth, int usableHeight) {
  if (width <= 0 || height <= 0) return 1;
  // 85% of the desktop leaves room for the frame, the caption and some desktop around.
  const int64_t across = int64_t(usableWidth) * 85 / (int64_t(width) * 100);
  const int64_t down = int64_t(usableHeight) * 85 / (int64_t(height) * 100);
  return int(std::max<int64_t>(1, std::min(across, down)));
}

RECT DesktopPlacement(POINT position, int width, int height, const RECT& usable) {
  const int64_t usableWidth = int64_t(usable.right) - usable.left;
  const int64_t usableHeight = int64_t(usable.bottom) - usable.top;
  width = std::max(width, 1);
  height = std::max(height, 1);
  const int scale = DesktopScale(width, height, int(usableWidth), int(usableHeight));
  const int64_t w = int64_t(width) * scale;
  const int64_t h = int64_t(height) * scale;
  int64_t x = usable.left + int64_t(position.x) * scale;
  int64_t y = usable.top + int64_t(position.y) * scale;
  if (position.x < 0 || position.y < 0 || x + w > usable.right || y + h > usable.bottom) {
    // Never further up or left than the usable area, so that the caption stays reachable.
    x = usable.left + std::max<int64_t>(0, (usableWidth - w) / 2);
    y = usable.top + std::max<int64_t>(0, (usableHeight - h) / 2);
  }
  return {LONG(x), LONG(y), LONG(x + w), LONG(y + h)};
}

SurfaceFit FitSurface(int width, int height, int windowWidth, int windowHeight) {
  width = std::max(width, 1);
  height = std::max(height, 1);
  const int scale = std::max(1, std::min(windowWidth / width, windowHeight / height));
  return {scale, {(windowWidth - width * scale) / 2, (windowHeight - height * scale) / 2}};
}

POINT SurfacePoint(const SurfaceFit& fit, POINT windowPoint) {
  return {FloorDivide(windowPoint.x - fit.origin.x, fit.scale), FloorDivide(windowPoint.y - fit.origin.y, fit.scale)};
}
