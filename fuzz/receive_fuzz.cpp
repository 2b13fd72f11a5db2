// The client's handling of the server's stream from the Welcome on: the whole client
// opened headless on the game data, with sprite sheets of one pixel; the Welcome (the
// input's first bytes) taken into the world as the connect thread takes it when its
// slot is one of the fifteen; then the rest read by the stream rule and written into
// the world message by message, as the receive loop does. At the end one game tick
// draws what the stream left there.
#include <cstring>
#include <filesystem>

#include "client/net/net.h"
#include "client/world/game_tick.h"
#include "client/world/world.h"
#include "fuzz/messages_of.h"
#include "fuzz/require.h"
#include "platform/files.h"
#include "platform/testing.h"
#include "tests/client/support/client_harness.h"

namespace {

namespace fs = std::filesystem;

// The game folder of the build, except that every character's sheet is a picture of
// one pixel. A Welcome loads up to fifteen sheets and every PlayerJoined one more; at
// full size those loads were nearly all of an input's time, and nothing the stream
// does depends on what a sheet holds.
class SmallSheetsFolder {
 public:
  SmallSheetsFolder() {
    // The game's folders, with a link to each of its files.
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(GAME_DIR)) {
      const fs::path here = fs::relative(entry.path(), GAME_DIR);
      if (entry.is_directory()) {
        fs::create_directory(here);
      } else {
        fs::create_symlink(entry.path(), here);
      }
    }
    for (int character = 1; character <= 5; character++) {
      const std::string sheet = ResolvePath(SpriteTable[character]);
      fs::remove(sheet);
      WriteFile(sheet, Bmp24(1, 1, {0}));
    }
  }

 private:
  TempFolder folder_;
};

// Every text the stream writes into the world ends inside its buffer.
void CheckTexts() {
  std::lock_guard lock(worldLock);
  for (const Actor& p : players) Require(strnlen(p.name, kActorNameBuffer) < kActorNameBuffer, "a name ends");
  for (const char* line : chatLines) Require(strnlen(line, kChatLineBuffer) < kChatLineBuffer, "a chat line ends");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  static SmallSheetsFolder folder;
  OpenClient();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Welcome welcome;
  // A greeting cut short or with no such slot ends the attempt before anything is taken.
  if (size < sizeof welcome) return 0;
  memcpy(&welcome, data, sizeof welcome);
  if (welcome.slot >= kPlayerSlots) return 0;
  TakeWelcome(welcome);
  CheckTexts();
  {
    std::lock_guard lock(worldLock);
    SpawnLocalPlayer();
    connected = 1;
  }
  for (const std::vector<BYTE>& message : MessagesOf(data + sizeof welcome, size - sizeof welcome, MeasureFromServer)) {
    TakeMessage(message.data(), int(message.size()));
    CheckTexts();
  }
  GameTick();
  PumpMessages();
  return 0;
}
