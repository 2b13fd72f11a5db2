#include "platform/testing.h"

#include <cctype>

#include "platform/input.h"
#include "platform/messages.h"
#include "platform/screen.h"

void UseTestDesktop() {
  ScreenForceHeadless();
  UseManualClock();
}

void AdvanceClock(uint32_t ms) { AdvanceManualClock(ms); }

HWND MakeTestWindow(int width, int height) {
  static const bool registered = [] {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = "PlainTestWindow";
    return RegisterClassA(&wc) != 0;
  }();
  (void)registered;
  return CreateWindowExA(0, "PlainTestWindow", "", WS_POPUP, 0, 0, width, height, nullptr, nullptr, nullptr,
                         nullptr);
}

int PumpMessages(bool* quit) {
  int count = 0;
  MSG msg;
  while (TakeReadyMessage(&msg)) {
    if (msg.message == WM_QUIT) {
      if (quit) *quit = true;
      break;
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
    count++;
  }
  return count;
}

void PressKey(int vk) { InputKey(vk, true); }
void ReleaseKey(int vk) { InputKey(vk, false); }

void TypeText(const char* text) {
  for (const char* c = text; *c; c++) {
    int vk = std::isalnum(uint8_t(*c)) ? std::toupper(uint8_t(*c)) : *c == ' ' ? VK_SPACE : 0;
    if (vk) PressKey(vk);
    char one[2] = {*c, 0};
    InputText(one);
    if (vk) ReleaseKey(vk);
  }
}

namespace {

template <typename F>
void AtTop(HWND top, F f) {
  Window* window;
  {
    std::lock_guard lock(WindowMutex());
    window = LookupWindow(top);
  }
  if (window) f(*window);
}

}  // namespace

void ClickAt(HWND top, int x, int y) {
  AtTop(top, [&](Window& w) {
    InputMouseButton(w, {x, y}, true);
    InputMouseButton(w, {x, y}, false);
  });
}

void TurnWheel(HWND top, int x, int y, int notches) {
  AtTop(top, [&](Window& w) { InputWheel(w, {x, y}, notches * 120); });
}

uint32_t WindowPixel(HWND top, int x, int y) {
  std::lock_guard lock(WindowMutex());
  Window* window = LookupWindow(top);
  if (!window || window->parent || !window->surface.Contains(x, y)) return 0;
  std::lock_guard gdi(GdiMutex());
  return window->surface.Row(y)[x];
}
