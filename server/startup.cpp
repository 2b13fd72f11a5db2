// The server's entry point, window and listener, and its orderly end.
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

#include "server/server.h"

HWND mainWindow;
HWND playerList;
HWND statusLine;
HWND kickButton;
SOCKET listener = INVALID_SOCKET;

namespace {

constexpr int kNameBuffer = 25;
// Room for every connection that clients trying to hold newcomers' places keep coming
// back with: the accept thread lets them go at once, but while the queue is full an
// honest newcomer's connect is not even seen, and it tries again only a second later.
constexpr int kBacklog = 128;
std::atomic<bool> shuttingDown{false};

LRESULT ServerWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CLOSE:
      ServerShutdown();
      return 0;
    case WM_COMMAND:
      if (reinterpret_cast<HWND>(lParam) == kickButton) KickRequest();
      return 0;
    case WM_CONSOLE_KICK:
      SendMessageA(playerList, LB_SETCURSEL, wParam, 0);
      KickRequest();
      return 0;
    case WM_TIMER:
      if (wParam == 1) ServerTick();
      return 0;
    default:
      return DefWindowProcA(hwnd, message, wParam, lParam);
  }
}

HWND Control(const char* className, const char* text, DWORD style, int x, int y, int width, int height) {
  return CreateWindowExA(0, className, text, WS_CHILD | WS_VISIBLE | WS_BORDER | style, x, y, width, height,
                         mainWindow, nullptr, nullptr, nullptr);
}

// Binding or listening failed: the operator is told, and the server ends.
void ListenerFailed(const char* caption) {
  MessageBoxA(nullptr, "Big fat winsock error!!!", caption, MB_TOPMOST);
  closesocket(listener);
  ServerShutdown();
}

}  // namespace

void SetStatus(const char* text) {
  SetWindowTextA(statusLine, text);
  if (!DesktopAvailable()) {
    // One line each, whatever a player's name holds.
    std::string line = text;
    for (char& c : line) {
      if (uint8_t(c) < 32) c = '?';
    }
    printf("%s\n", line.c_str());
    fflush(stdout);
  }
}

bool ServerShuttingDown() { return shuttingDown; }

void ServerInit() {
  {
    std::lock_guard lock(stateLock);
    for (ServerShot& shot : shots) shot = {400, 300, 2, 0};
    for (ServerSlot& slot : slots) {
      // Zeroed, so that a Welcome never carries leftover memory for unused slots.
      slot = {0, 0, 0, 0, 2, 0, 0, 0, new char[kNameBuffer]()};
    }
  }
  RefreshPlayerList();
  WSADATA data;
  WSAStartup(MAKEWORD(1, 1), &data);
  listener = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address = {};
  address.sin_family = AF_INET;
  address.sin_port = htons(kGamePort);
  address.sin_addr.s_addr = INADDR_ANY;
  if (bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    ListenerFailed("Error on bind()");
    return;
  }
  if (listen(listener, kBacklog) != 0) {
    ListenerFailed("Error on listen()");
    return;
  }
  SetStatus("Waiting for connection...");
  _beginthread(AcceptLoop, 0, nullptr);
  SetTimer(mainWindow, 1, 35, nullptr);
  StartConsole();
}

void ServerShutdown() {
  shuttingDown = true;
  {
    std::lock_guard lock(stateLock);
    for (ServerSlot& slot : slots) slot.active = 0;
  }
  CloseAllConnections();
  CloseNewcomers();
  WSACleanup();
  PostQuitMessage(0);
}

bool OpenServerWindow(HINSTANCE instance, int showCommand) {
  WNDCLASSA wc = {};
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = ServerWndProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_MENU + 1);
  wc.lpszClassName = "TagServerwin";
  if (!RegisterClassA(&wc)) return false;

  mainWindow = CreateWindowExA(0, "TagServerwin", "Vellumstone Brambleduck Server", WS_OVERLAPPEDWINDOW, 100, 50,
                               500, 400, nullptr, nullptr, instance, nullptr);
  playerList = Control("LISTBOX", "", WS_VSCROLL, 300, 20, 175, 100);
  statusLine = Control("EDIT", "", ES_READONLY, 20, 350, 460, 20);
  kickButton = Control("BUTTON", "Kick", BS_PUSHBUTTON, 300, 130, 55, 25);
  ShowWindow(mainWindow, showCommand);
  return true;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
  srand(unsigned(time(nullptr)));
  if (!OpenServerWindow(instance, showCommand)) return 1;
  ServerInit();

  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}
