// The main window: its class, the window with its controls, and the client's start-up.
#include "client/shell/shell.h"

bool RegisterClientClass(HINSTANCE instance) {
  WNDCLASSA wc = {};
  wc.style = CS_HREDRAW | CS_VREDRAW | CS_OWNDC;
  wc.lpfnWndProc = ClientWndProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_MENU + 1);
  wc.lpszClassName = "QuendleWindow";
  return RegisterClassA(&wc) != 0;
}

bool OpenMainWindow(HINSTANCE instance, int showCommand) {
  mainWindow = CreateWindowExA(0, "QuendleWindow", "Vellumstone Brambleduck", WS_POPUP | WS_CAPTION, 0, 0, 640,
                               480, nullptr, nullptr, instance, nullptr);
  if (!mainWindow) {
    MessageBoxA(nullptr, "Could not set up window correctly!", "Error on CreateWindow()", MB_TOPMOST);
    ShutDown();
    return false;
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
  return true;
}
