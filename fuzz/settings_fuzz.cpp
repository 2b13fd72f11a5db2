// The settings file brambleduck.ini: the input is the file, read by LoadSettings into
// the initial-name buffer that holds "Anonymous".
#include <algorithm>
#include <cstring>
#include <memory>

#include "client/shell/shell.h"
#include "fuzz/require.h"
#include "tests/client/render/picture_files.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static TempFolder folder;
  WriteFile("brambleduck.ini", Bytes(data, data + size));
  // On the heap and of its exact size, so that a write past it is caught.
  auto buffer = std::make_unique<char[]>(kNameBuffer);
  strcpy(buffer.get(), "Anonymous");
  LoadSettings(buffer.get());

  // A whole name is taken, cut to the buffer; a file too short for its length byte
  // keeps "Anonymous".
  const size_t length = size > 0 ? data[0] : 0;
  if (size > 0 && size - 1 >= length) {
    const size_t kept = std::min<size_t>(length, kNameBuffer - 1);
    Require(memcmp(buffer.get(), data + 1, kept) == 0 && buffer[kept] == 0, "the stored name is read");
  } else {
    Require(strcmp(buffer.get(), "Anonymous") == 0, "a short file keeps the name");
  }
  return 0;
}
