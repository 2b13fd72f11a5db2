#include "platform/screen.h"

#include <SDL_keycode.h>
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "platform/screen_translate.h"

namespace {

class HeadlessScreen : public testing::Test {
 protected:
  void SetUp() override { ScreenForceHeadless(); }
};

TEST_F(HeadlessScreen, UsesNoDisplayAndHasNoClipboard) {
  EXPECT_FALSE(ScreenAvailable());
  EXPECT_EQ(ScreenClipboardText(), "");
}

TEST_F(HeadlessScreen, AMessageBoxIsALineOnStandardErrorFromAnyThread) {
  testing::internal::CaptureStderr();
  ScreenMessageBox(nullptr, "Big fat winsock error!!!", "Error on bind()", MB_OK);
  std::thread([] {
    ScreenMessageBox(nullptr, "Could not find a .bmp.", "Brambleduck error", MB_ICONHAND);
  }).join();
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "Error on bind(): Big fat winsock error!!!\nBrambleduck error: Could not find a .bmp.\n");
}

TEST_F(HeadlessScreen, WindowsStayInMemory) {
  Window top;
  top.text = "Form";
  top.rect = {0, 0, 4, 3};
  top.surface = Pixmap(4, 3);
  ScreenShow(top);
  ScreenSetCaption(top);
  ScreenPresent(top);
  EXPECT_EQ(top.screen, nullptr);
}

TEST_F(HeadlessScreen, WaitingForEventsReturnsAtOnce) {
  ScreenWake();
  const auto start = std::chrono::steady_clock::now();
  ScreenWaitEvents(60000);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30));
}

TEST(VirtualKeyFromSdl, GivesTheWindowsCodes) {
  const struct {
    SDL_Keycode key;
    int vk;
  } cases[] = {
      {SDLK_a, 'A'},              {SDLK_z, 'Z'},               {SDLK_0, '0'},
      {SDLK_9, '9'},              {SDLK_LEFT, VK_LEFT},        {SDLK_UP, VK_UP},
      {SDLK_RIGHT, VK_RIGHT},     {SDLK_DOWN, VK_DOWN},        {SDLK_RETURN, VK_RETURN},
      {SDLK_KP_ENTER, VK_RETURN}, {SDLK_SPACE, VK_SPACE},      {SDLK_ESCAPE, VK_ESCAPE},
      {SDLK_BACKSPACE, VK_BACK},  {SDLK_TAB, VK_TAB},          {SDLK_DELETE, VK_DELETE},
      {SDLK_HOME, VK_HOME},       {SDLK_END, VK_END},          {SDLK_LSHIFT, VK_SHIFT},
      {SDLK_RSHIFT, VK_SHIFT},    {SDLK_LCTRL, VK_CONTROL},    {SDLK_RCTRL, VK_CONTROL},
      {SDLK_F1, 112},             {SDLK_F12, 123},             {SDLK_KP_0, 0x60},
      {SDLK_KP_9, 0x69},          {SDLK_COMMA, 0xBC},          {SDLK_PERIOD, 0xBE},
      {SDLK_MINUS, 0xBD},         {SDLK_SLASH, 0xBF},          {SDLK_QUOTE, 0xDE},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(VirtualKeyFromSdl(c.key), c.vk) << "key " << c.key;
  }
}

TEST(VirtualKeyFromSdl, KeysWithoutACodeGiveNone) {
  const SDL_Keycode keys[] = {SDLK_UNKNOWN, SDLK_F13, SDLK_AUDIOPLAY, 0xE9 /* é */};
  for (SDL_Keycode key : keys) {
    EXPECT_EQ(VirtualKeyFromSdl(key), 0) << key;
  }
}

struct TextCase {
  const char* what;
  std::string from;
  std::string to;
};

TEST(Cp1252FromUtf8, KeepsWhatTheCodePageHasAndDropsTheRest) {
  const TextCase cases[] = {
      {"ASCII", "Hello, world!", "Hello, world!"},
      {"Latin-1", "caf\xC3\xA9 \xC2\xA0\xC3\xBF", "caf\xE9 \xA0\xFF"},
      {"the 0x80 row", "\xE2\x82\xAC\xE2\x80\x9C\xE2\x84\xA2\xC5\xB8", "\x80\x93\x99\x9F"},
      {"no byte for it", "a\xE6\x97\xA5" "b\xF0\x9F\x98\x80" "c\xC2\x80" "d", "abcd"},
      {"not UTF-8", "\x80" "a\xC3" "b\xC0\xAF" "c\xED\xA0\x80" "d\xF8\x88\x80\x80\x80" "e\xE2\x82", "abcde"},
  };
  for (const TextCase& c : cases) EXPECT_EQ(Cp1252FromUtf8(c.from), c.to) << c.what;
}

TEST(Utf8FromCp1252, GivesEachByteItsCharacter) {
  const TextCase cases[] = {
      {"ASCII", "Hello", "Hello"},
      {"Latin-1", "caf\xE9", "caf\xC3\xA9"},
      {"the 0x80 row", "\x80\x99", "\xE2\x82\xAC\xE2\x84\xA2"},
      {"undefined bytes", "a\x81\x8D\x8F\x90\x9D" "b", "ab"},
  };
  for (const TextCase& c : cases) EXPECT_EQ(Utf8FromCp1252(c.from), c.to) << c.what;
}

TEST(Utf8FromCp1252, EveryDefinedByteComesBack) {
  std::string all;
  for (int byte = 1; byte < 256; ++byte) {
    if (byte != 0x81 && byte != 0x8D && byte != 0x8F && byte != 0x90 && byte != 0x9D) all += char(byte);
  }
  EXPECT_EQ(Cp1252FromUtf8(Utf8FromCp1252(all)), all);
}

TEST(DesktopScale, IsTheLargestWholeScaleThatFits85Percent) {
  const struct {
    int width, height, usableWidth, usableHeight, scale;
  } cases[] = {
      {640, 480, 1920, 1080, 1}, {320, 200, 1920, 1080, 4},  {320, 240, 1920, 1080, 3},
      {640, 480, 3840, 2160, 3}, {100, 100, 2000, 2000, 17},  // exactly 85% still fits
      {640, 480, 800, 600, 1},   {640, 480, 600, 400, 1},     // too large even at 1
      {0, 0, 1920, 1080, 1},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DesktopScale(c.width, c.height, c.usableWidth, c.usableHeight), c.scale)
        << c.width << "x" << c.height << " on " << c.usableWidth << "x" << c.usableHeight;
  }
}

TEST(DesktopPlacement, ScalesThePositionOrCentresTheWindow) {
  const struct {
    const char* what;
    POINT position;
    int width, height;
    RECT usable, placed;
  } cases[] = {
      {"at its place", {10, 20}, 320, 200, {0, 0, 1920, 1080}, {40, 80, 1320, 880}},
      {"below a panel", {0, 0}, 320, 200, {0, 32, 1920, 1080}, {0, 32, 1280, 832}},
      {"off the right edge", {300, 200}, 320, 200, {0, 0, 1920, 1080}, {320, 140, 1600, 940}},
      {"left of the desktop", {-5, 0}, 320, 200, {0, 0, 1920, 1080}, {320, 140, 1600, 940}},
      {"larger than the desktop", {0, 0}, 2000, 1200, {100, 50, 1920, 1080}, {100, 50, 2100, 1250}},
  };
  for (const auto& c : cases) {
    const RECT r = DesktopPlacement(c.position, c.width, c.height, c.usable);
    EXPECT_EQ(r.left, c.placed.left) << c.what;
    EXPECT_EQ(r.top, c.placed.top) << c.what;
    EXPECT_EQ(r.right, c.placed.right) << c.what;
    EXPECT_EQ(r.bottom, c.placed.bottom) << c.what;
  }
}

TEST(DesktopKeys, F11AndAltEnterToggleFullscreenAndTheGameSeesNoneOfTheirMessages) {
  constexpr auto kGame = DesktopKeys::kForGame;
  constexpr auto kToggle = DesktopKeys::kToggleFullscreen;
  constexpr auto kTaken = DesktopKeys::kTaken;
  const struct {
    const char* what;
    SDL_Keycode key;
    bool down, repeat, alt;
    DesktopKeys::Use use;
  } steps[] = {
      {"F11", SDLK_F11, true, false, false, kToggle},
      {"F11 held", SDLK_F11, true, true, false, kTaken},
      {"F11 released", SDLK_F11, false, false, false, kTaken},
      {"Alt+F11", SDLK_F11, true, false, true, kToggle},
      {"Alt+F11 released", SDLK_F11, false, false, true, kTaken},
      {"Enter", SDLK_RETURN, true, false, false, kGame},
      {"Alt joins the held Enter", SDLK_RETURN, true, true, true, kGame},
      {"that Enter released", SDLK_RETURN, false, false, true, kGame},
      {"Alt", SDLK_LALT, true, false, true, kGame},
      {"Alt+Enter", SDLK_RETURN, true, false, true, kToggle},
      {"Alt let go, Enter held", SDLK_RETURN, true, true, false, kTaken},
      {"Alt+Enter's Enter released", SDLK_RETURN, false, false, false, kTaken},
      {"Alt+keypad Enter", SDLK_KP_ENTER, true, false, true, kToggle},
      {"Enter pressed anew, its release unseen", SDLK_KP_ENTER, true, false, false, kGame},
      {"that keypad Enter released", SDLK_KP_ENTER, false, false, false, kGame},
      {"Alt+A", SDLK_a, true, false, true, kGame},
      {"a release whose press went by unseen", SDLK_ESCAPE, false, false, false, kGame},
  };
  DesktopKeys keys;
  for (const auto& step : steps) {
    EXPECT_EQ(keys.Take(step.key, step.down, step.repeat, step.alt), step.use) << step.what;
  }
}

TEST(FitSurface, TakesTheLargestWholeScaleThatFitsAndCentres) {
  const struct {
    int width, height, windowWidth, windowHeight, scale;
    POINT origin;
  } cases[] = {
      {640, 480, 640, 480, 1, {0, 0}},      {640, 480, 1920, 1080, 2, {320, 60}},
      {640, 480, 1280, 959, 1, {320, 239}},  // one row short of scale 2
      {320, 200, 1000, 700, 3, {20, 50}},   {320, 200, 700, 900, 2, {30, 250}},
      {640, 480, 600, 400, 1, {-20, -40}},  // smaller than the surface: cut on both sides
      {0, 0, 10, 10, 10, {0, 0}},
  };
  for (const auto& c : cases) {
    const SurfaceFit fit = FitSurface(c.width, c.height, c.windowWidth, c.windowHeight);
    const std::string what = std::to_string(c.width) + "x" + std::to_string(c.height) + " in " +
                             std::to_string(c.windowWidth) + "x" + std::to_string(c.windowHeight);
    EXPECT_EQ(fit.scale, c.scale) << what;
    EXPECT_EQ(fit.origin.x, c.origin.x) << what;
    EXPECT_EQ(fit.origin.y, c.origin.y) << what;
  }
}

TEST(SurfacePoint, EachWindowPixelMapsToTheSurfacePixelShownThereAndTheBorderOutside) {
  const SurfaceFit fit = {3, {20, 50}};  // 320 x 200 in 1000 x 700
  const struct {
    POINT window, surface;
  } cases[] = {
      {{20, 50}, {0, 0}},       {{22, 52}, {0, 0}},     {{23, 53}, {1, 1}},
      {{979, 649}, {319, 199}}, {{19, 49}, {-1, -1}},   {{17, 47}, {-1, -1}},
      {{16, 46}, {-2, -2}},     {{980, 650}, {320, 200}}, {{0, 699}, {-7, 216}},
  };
  for (const auto& c : cases) {
    const POINT p = SurfacePoint(fit, c.window);
    EXPECT_EQ(p.x, c.surface.x) << c.window.x << "," << c.window.y;
    EXPECT_EQ(p.y, c.surface.y) << c.window.x << "," << c.window.y;
  }
}

}  // namespace
