// The process entry of the game's programs: straight into WinMain, as on Windows.
#include "platform/window.h"

int main() {
  static char commandLine[] = "";
  return WinMain(reinterpret_cast<HINSTANCE>(commandLine), nullptr, commandLine, SW_SHOWDEFAULT);
}
