// The client's entry point: its window, start-up, and the message loop.
#include "client/shell/shell.h"
#include "client/world/world.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
  WNDCLASSA wc = {};
  wc.style = CS_HREDRAW | CS_VREDRAW | CS_OWNDC;
  wc.lpfnWndProc = ClientWndProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_MENU + 1);
  wc.lpszClassName = "QuendleWindow";
  if (!RegisterClassA(&wc)) return 1;

  mainWindow = CreateWindowExA(0, "QuendleWindow", "Vellumstone Brambleduck", WS_POPUP | WS_CAPTION, 0, 0, 640,
                               480, nullptr, nullptr, instance, nullptr);
  if (!mainWindow) {
    MessageBoxA(nullptr, "Could not set up window correctly!", "Error on CreateWindow()", MB_TOPMOST);
    ShutDown();
    return 0;
  }
  char initialName[kNameBuffer] = "Anonymous";
  LoadSettings(initialName);
  CreateControls(initialName, instance);
  windowDC = GetDC(mainWindow);
  if (!windowDC) MessageBoxA(nullptr, "Error with Graphics setup!", "Error on GetDC()", MB_TOPMOST);
  SendMessageA(chatBox, EM_LIMITTEXT, 150, 0);
  StartUp();
  ShowWindow(mainWindow, showCommand);
  radarPenBlue = CreatePen(PS_SOLID, 2, RGB(0, 0, 255));
  radarPenGreen = CreatePen(PS_SOLID, 2, RGB(0, 255, 0));

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
