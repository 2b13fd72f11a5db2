// The operator's way in without a desktop: `list` prints the player list's fifteen
// rows and `kick N` kicks slot N exactly as selecting row N and pressing "Kick" does.
#include <cstdio>
#include <cstring>
#include <string>

#include "server/server.h"

namespace {

void PrintList() {
  std::string rows;
  for (int i = 0; i < kSlotCount; i++) {
    char row[64] = "";
    if (SendMessageA(playerList, LB_GETTEXTLEN, WPARAM(i), 0) < int(sizeof row)) {
      SendMessageA(playerList, LB_GETTEXT, WPARAM(i), reinterpret_cast<LPARAM>(row));
    }
    rows += std::to_string(i) + ' ' + row + '\n';
  }
  fputs(rows.c_str(), stdout);
  fflush(stdout);
}

// Selecting the row and pressing "Kick" happen together on the main thread, so that
// a refresh of the list from another thread cannot come between them.
void Kick(int slot) { PostMessageA(mainWindow, WM_CONSOLE_KICK, WPARAM(slot), 0); }

void Obey(const char* line) {
  int slot;
  char rest;
  if (strcmp(line, "list") == 0) {
    PrintList();
  } else if (sscanf(line, "kick %d %c", &slot, &rest) == 1 && slot >= 0 && slot < kSlotCount) {
    Kick(slot);
  } else {
    puts("commands: list | kick N (N = 0 to 14)");
    fflush(stdout);
  }
}

// Reads commands until standard input ends, then leaves it alone.
void ConsoleLoop(void*) {
  char line[256];
  while (fgets(line, sizeof line, stdin)) {
    line[strcspn(line, "\r\n")] = 0;
    if (line[0]) Obey(line);
  }
}

}  // namespace

void StartConsole() {
  if (!DesktopAvailable()) _beginthread(ConsoleLoop, 0, nullptr);
}
