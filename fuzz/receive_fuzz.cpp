// The client's handling of the server's stream from the Welcome on: the whole client
// opened headless on the game data, with small pictures and sound in it; the Welcome (the
// input's first bytes) taken into the world as the connect thread takes it when its
// slot is one of the fifteen; then the rest read by the stream rule and written into
// the world message by message, as the receive loop does. At the end one game tick
// draws what the stream left there.
#include <cstring>
#include <filesystem>

#include "client/net/net.h"
#include "client/world/game_tick.h"
#include "client/world/level.h"
#include "client/world/world.h"
#include "content/generator/sound_synth.h"
#include "content/generator/wav_file.h"
#include "fuzz/messages_of.h"
#include "fuzz/require.h"
#include "platform/files.h"
#include "platform/testing.h"
#include "tests/client/support/client_harness.h"

namespace {

namespace fs = std::filesystem;

// The smallest map picture whose radar, a twentieth of the doubled map, still has a
// pixel.
constexpr int kMapPictureSide = 10;

// The game folder of the build with small stand-ins for what loading, drawing and
// tagging cost and the stream cannot change: every character's sheet is a picture of
// one pixel (a Welcome loads up to fifteen sheets and every PlayerJoined one more),
// every map's picture is kMapPictureSide square (the frame after each input copies
// the map and stretches the radar), and the tag sound is one sample (each tag loads
// and converts it). Nothing the stream does depends on what these hold.
class SmallDataFolder {
 public:
  SmallDataFolder() {
    // The game's folders, with a link to each of its files.
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(GAME_DIR)) {
      const fs::path here = fs::relative(entry.path(), GAME_DIR);
      if (entry.is_directory()) {
        fs::create_directory(here);
      } else {
        fs::create_symlink(entry.path(), here);
      }
    }
    for (int character = 1; character <= 5; character++) WriteFile(Unlinked(SpriteTable[character]), Bmp24(1, 1, {0}));
    const Bytes mapPicture =
        Bmp24(kMapPictureSide, kMapPictureSide, std::vector<uint32_t>(kMapPictureSide * kMapPictureSide));
    for (const fs::directory_entry& entry : fs::directory_iterator(ResolvePath("images\\bg"))) {
      WriteFile(Unlinked(entry.path().c_str()), mapPicture);
    }
    WriteWav(Unlinked("sounds\\Whop2.wav"), {0.0f}, kSampleRate);
  }

 private:
  // The file the game finds at `path`, no longer a link into the game folder.
  static std::string Unlinked(const char* path) {
    const std::string file = ResolvePath(path);
    fs::remove(file);
    return file;
  }

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
  static SmallDataFolder folder;
  OpenClient();
  Require(radarWidth == 1 && radarHeight == 1, "the client starts on the small map");
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
