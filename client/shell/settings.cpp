// brambleduck.ini: the only thing the client remembers, the player's name.
#include <cstdio>

#include "client/shell/shell.h"

namespace {
const char kSettingsFile[] = "brambleduck.ini";
}

void LoadSettings(char* buffer) {
  FILE* file = OpenGameFile(kSettingsFile, "rb");
  if (!file) return;
  // An empty file, or one shorter than its length byte says, keeps the name as it is.
  int length = fgetc(file);
  char name[256];
  if (length != EOF && fread(name, 1, size_t(length), file) == size_t(length)) {
    int kept = length < kNameBuffer - 1 ? length : kNameBuffer - 1;
    for (int i = 0; i < kept; i++) buffer[i] = name[i];
    buffer[kept] = 0;
  }
  fclose(file);
}

void SaveSettings() {
  char name[kSavedNameLength + 1];
  int length = GetWindowTextA(nameBox, name, sizeof name);
  FILE* file = OpenGameFile(kSettingsFile, "wb");
  if (!file) return;
  fputc(length, file);
  fwrite(name, 1, size_t(length), file);
  fclose(file);
}
