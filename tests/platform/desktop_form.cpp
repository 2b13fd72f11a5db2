// A small form for the desktop tests: an edit box with the focus and a button. It
// prints a line for each wheel turn, each press on the form itself, and each key and
// character message that its message loop takes. A click on the button prints the
// edit box's text, and another thread then shows a message box and, once that is
// dismissed, makes the text the window's caption, as the game's network threads do.
// Closing the window ends the program.
#include <cstdio>
#include <string>
#include <thread>

#include "platform/window.h"

namespace {

HWND edit;
HWND button;
std::thread captioner;

LRESULT FormProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_MOUSEWHEEL:
      std::printf("wheel %d at %d,%d\n", short(HIWORD(wParam)), short(LOWORD(lParam)), short(HIWORD(lParam)));
      std::fflush(stdout);
      return 0;
    case WM_LBUTTONDOWN:
      std::printf("press at %d,%d\n", short(LOWORD(lParam)), short(HIWORD(lParam)));
      std::fflush(stdout);
      return 0;
    case WM_COMMAND:
      if (reinterpret_cast<HWND>(lParam) == button && !captioner.joinable()) {
        char text[256];
        GetWindowTextA(edit, text, sizeof text);
        std::printf("%s\n", text);
        std::fflush(stdout);
        captioner = std::thread([hwnd, caption = std::string(text)] {
          MessageBoxA(hwnd, "The caption comes next.", "Desktop box", MB_OK);
          SetWindowTextA(hwnd, caption.c_str());
        });
      }
      return 0;
    case WM_CLOSE:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcA(hwnd, message, wParam, lParam);
  }
}

}  // namespace

int main() {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = FormProc;
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_MENU + 1);
  wc.lpszClassName = "DesktopForm";
  RegisterClassA(&wc);
  // 320 x 200 shows at four times its size on the test's 1920 x 1080 desktop.
  HWND form = CreateWindowExA(0, "DesktopForm", "Desktop form", WS_POPUP | WS_CAPTION, 0, 0, 320, 200,
                              nullptr, nullptr, nullptr, nullptr);
  edit = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL, 20, 40, 280, 24,
                         form, nullptr, nullptr, nullptr);
  button = CreateWindowExA(0, "BUTTON", "Show", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 110, 120, 100, 30,
                           form, nullptr, nullptr, nullptr);
  if (!form || !edit || !button) return 1;
  ShowWindow(form, SW_SHOW);
  SetFocus(edit);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    if (msg.message == WM_KEYDOWN || msg.message == WM_KEYUP || msg.message == WM_CHAR) {
      const char* what = msg.message == WM_KEYDOWN ? "key down" : msg.message == WM_KEYUP ? "key up" : "char";
      std::printf("%s %u\n", what, unsigned(msg.wParam));
      std::fflush(stdout);
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  if (captioner.joinable()) captioner.join();
  return 0;
}
