// The client's entry point: its window, start-up, and the message loop.
#include "client/shell/shell.h"
#include "client/world/world.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
  if (!RegisterClientClass(instance)) return 1;
  if (!OpenMainWindow(instance, showCommand)) return 0;

  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0)) {
    // Enter in the chat box sends the line (once connected) and gives the keys back
    // to the game; the box still gets the key.
    if (msg.hwnd == chatBox && msg.message == WM_KEYDOWN && msg.wParam == VK_RETURN) {
      {
        std::lock_guard lock(worldLock);
        if (connected == 1) chatPending = 1;
      }
      SetFocus(mainWindow);
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}
