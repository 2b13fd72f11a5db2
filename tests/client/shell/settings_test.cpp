#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "client/shell/shell.h"
#include "platform/testing.h"
#include "tests/client/render/picture_files.h"

namespace {


std::string Loaded(const Bytes* file) {
  TempFolder folder;
  if (file) WriteFile("brambleduck.ini", *file);
  char buffer[kNameBuffer] = "Anonymous";
  LoadSettings(buffer);
  return buffer;
}

TEST(Settings, TheNameComesFromTheFileWhenItHoldsOne) {
  const Bytes bob = {3, 'B', 'o', 'b'}, empty = {}, cut = {5, 'A', 'b'}, none = {0};
  EXPECT_EQ(Loaded(nullptr), "Anonymous");
  EXPECT_EQ(Loaded(&bob), "Bob");
  EXPECT_EQ(Loaded(&empty), "Anonymous") << "an empty file";
  EXPECT_EQ(Loaded(&cut), "Anonymous") << "shorter than its length byte says";
  EXPECT_EQ(Loaded(&none), "");
  Bytes edited(1 + 250, 'x');
  edited[0] = 250;
  EXPECT_EQ(Loaded(&edited), std::string(kNameBuffer - 1, 'x')) << "cut to the buffer";
}

Bytes Saved(const std::string& name) {
  TempFolder folder;
  UseTestDesktop();
  mainWindow = MakeTestWindow(640, 480);
  nameBox = CreateWindowExA(0, "EDIT", name.c_str(), WS_CHILD, 0, 400, 600, 18, mainWindow, nullptr, nullptr,
                            nullptr);
  SaveSettings();
  FILE* file = fopen("brambleduck.ini", "rb");
  Bytes bytes;
  for (int c; file && (c = fgetc(file)) != EOF;) bytes.push_back(BYTE(c));
  if (file) fclose(file);
  return bytes;
}

TEST(Settings, SavingWritesTheLengthAndTheNameCutAt149) {
  EXPECT_EQ(Saved("Ann"), (Bytes{3, 'A', 'n', 'n'}));
  Bytes long149(1 + 149, 'z');
  long149[0] = 149;
  EXPECT_EQ(Saved(std::string(160, 'z')), long149);
  EXPECT_EQ(Saved(""), Bytes{0});
}

}  // namespace
