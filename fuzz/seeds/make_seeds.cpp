// Writes the seed corpus of every fuzz target, one folder per target: the game's own
// pictures and levels from the game folder of the build, settings files as the client
// saves them, and the bytes of a game session in both directions, made of the
// protocol's records the way the two programs fill them.
//
// Usage: make_seeds GAME_DIR OUT_DIR
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "client/shell/shell.h"
#include "protocol/messages.h"
#include "tests/client/render/picture_files.h"

namespace fs = std::filesystem;

namespace {

// Game pictures up to this size are seeds as they are; larger ones would only slow
// every run down, and they are stored the same way.
constexpr uintmax_t kLargestPicture = 64 * 1024;

template <typename T>
void Append(Bytes& out, const T& record) {
  const auto* bytes = reinterpret_cast<const uint8_t*>(&record);
  out.insert(out.end(), bytes, bytes + sizeof record);
}

Bytes Join(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& part : parts) out.insert(out.end(), part.begin(), part.end());
  return out;
}

template <typename T>
Bytes Of(const T& record) {
  Bytes out;
  Append(out, record);
  return out;
}

void CopyText(char* field, size_t size, const char* text) { strncpy(field, text, size - 1); }

// ---- The server's stream to the player in slot 1, "Ann" ----

PlayerJoined Joined(BYTE slot, const char* name, BYTE character) {
  PlayerJoined joined = {TypeNotice, KindPlayerJoined, slot, {}, character};
  CopyText(joined.name, sizeof joined.name, name);
  return joined;
}

ChatRelay Relay(BYTE slot, const char* text) {
  ChatRelay relay = {TypeNotice, KindChatRelay, slot, {}, 0, {}};
  CopyText(relay.text, sizeof relay.text, text);
  return relay;
}

// Ann is given slot 1; Bob, in slot 0, is already there.
Welcome Greeting() {
  Welcome welcome = {};
  welcome.slot = 1;
  CopyText(welcome.names[0], sizeof welcome.names[0], "Bob");
  welcome.characters[0] = 3;
  return welcome;
}

// Every other slot taken, by names that fill their field.
Welcome CrowdedGreeting() {
  Welcome welcome = {};
  welcome.slot = 1;
  for (int k = 0; k < kSlotCount; k++) {
    if (k == welcome.slot) continue;
    memset(welcome.names[k], 'A' + k, sizeof welcome.names[k]);
    welcome.characters[k] = BYTE(1 + k % 5);
  }
  return welcome;
}

// Slot 0 is "it" and walks right on frame `frame`; Ann stands at her start point; the
// projectiles fly when `flying`.
WorldUpdate Update(BYTE it, WORD x, BYTE frame, bool flying) {
  WorldUpdate update = {};
  update.type = TypeWorldUpdate;
  update.it = it;
  update.players[0] = {x, 200, LocationByte(0, 3), StateCode(1, frame, 1)};
  update.players[1] = {1100, 230, LocationByte(0, 0), StateCode(1, 0, 0)};
  update.players[2] = {500, 500, LocationByte(4, 9), 0};  // a player who left
  for (int j = 0; j < kShotCount; j++) {
    update.shots[j] = {WORD(x + 3 + 15 * j), 206, BYTE(flying ? frame : 2)};
  }
  return update;
}

Bytes ServerSession() {
  return Join({Of(Joined(1, "Ann", 2)), Of(Update(0, 350, 0, false)), Of(Relay(0, "hello Ann")),
               Of(Update(0, 357, 1, true)), Of(Joined(2, "Quelquel9", 4)), Of(Update(0, 364, 0, true)),
               Of(PlayerKicked{TypeNotice, KindPlayerKicked, 2}), Of(Relay(1, "bye")), Of(Update(1, 371, 1, false))});
}

// ---- Ann's stream to the server ----

JoinReply Reply(BYTE character, const char* name) {
  JoinReply reply = {character, {}};
  memcpy(reply.name, name, strnlen(name, sizeof reply.name));
  return reply;
}

PositionReport Report(WORD x, BYTE direction, BYTE state) {
  return {TypePositionReport, x, 230, LocationByte(0, direction), state};
}

ChatRequest Chat(const char* text) {
  ChatRequest request = {TypeChatRequest, {}, {}};
  CopyText(request.text, sizeof request.text, text);
  return request;
}

Bytes ClientSession() {
  return Join({Of(Report(1100, 0, 1)), Of(Report(1107, 3, 2)), Of(PsiRequest{TypePsiRequest, 3}),
               Of(Report(1114, 3, 3)), Of(Chat("hello everybody")), Of(Report(1114, 3, 1))});
}

// ---- Files ----

void Write(const fs::path& path, const Bytes& bytes) {
  fs::create_directories(path.parent_path());
  FILE* file = fopen(path.c_str(), "wb");
  if (!file || fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size() || fclose(file) != 0) {
    fprintf(stderr, "make_seeds: cannot write %s\n", path.c_str());
    exit(1);
  }
}

// Copies every file of the game folder whose name ends in `extension` and that is not
// larger than `largest`; false when there is none.
bool CopyGameFiles(const fs::path& game, const std::string& extension, uintmax_t largest, const fs::path& to) {
  bool any = false;
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(game)) {
    if (!entry.is_regular_file() || entry.path().extension() != extension || entry.file_size() > largest) continue;
    fs::create_directories(to);
    fs::copy_file(entry.path(), to / entry.path().filename(), fs::copy_options::overwrite_existing);
    any = true;
  }
  return any;
}

// Pictures of the bit counts the game's own do not use, so that every row decoder
// has a seed.
void WritePictureKinds(const fs::path& to) {
  const std::vector<RGBQUAD> four = {{0, 0, 255, 0}, {0, 255, 0, 0}, {255, 0, 0, 0}, {255, 255, 255, 0}};
  Write(to / "bits1.bmp", BmpBytes(InfoHeader(2, 2, 1), {four[0], four[3]}, {0x80, 0, 0, 0, 0x40, 0, 0, 0}));
  Write(to / "bits4.bmp", BmpBytes(InfoHeader(2, 2, 4, 4), four, {0x23, 0, 0, 0, 0x01, 0, 0, 0}));
  Write(to / "bits8.bmp", BmpBytes(InfoHeader(2, 2, 8, 4), four, {2, 3, 0, 0, 0, 1, 0, 0}, 6));
  Write(to / "bits16.bmp", BmpBytes(InfoHeader(2, 2, 16), {}, {0x1F, 0, 0, 0x7C, 0xE0, 0x03, 0xFF, 0x7F}));
  Write(to / "bits32_top_row_first.bmp", BmpBytes(InfoHeader(1, -2, 32), {}, {0, 0, 255, 0, 255, 0, 0, 0}));
}

void WriteSettings(const fs::path& to) {
  auto saved = [](const std::string& name) {
    Bytes out = {BYTE(name.size())};
    out.insert(out.end(), name.begin(), name.end());
    return out;
  };
  Write(to / "bob.ini", saved("Bob"));
  Write(to / "anonymous.ini", saved("Anonymous"));
  Write(to / "longest.ini", saved(std::string(kSavedNameLength, 'n')));
  Write(to / "empty.ini", {});
  Write(to / "short.ini", {9, 'A', 'n'});
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    fprintf(stderr, "usage: make_seeds GAME_DIR OUT_DIR\n");
    return 2;
  }
  const fs::path game = argv[1], out = argv[2];

  if (!CopyGameFiles(game, ".bmp", kLargestPicture, out / "bitmap_loader") ||
      !CopyGameFiles(game, ".lvl", UINTMAX_MAX, out / "level")) {
    fprintf(stderr, "make_seeds: no game pictures or levels in %s\n", game.c_str());
    return 1;
  }
  WritePictureKinds(out / "bitmap_loader");
  WriteSettings(out / "settings");

  // stream: the last byte picks the side (odd: what the server sends).
  const Bytes server = ServerSession(), client = ClientSession();
  Write(out / "stream" / "from_server", Join({server, {1}}));
  Write(out / "stream" / "from_client", Join({client, {0}}));

  // receive: the Welcome, then the server's stream.
  Write(out / "receive" / "session", Join({Of(Greeting()), server}));
  Write(out / "receive" / "crowded", Join({Of(CrowdedGreeting()), server}));

  // slots: the JoinReply, then the player's stream.
  Write(out / "slots" / "session", Join({Of(Reply(2, "Ann")), client}));
  Write(out / "slots" / "nine_letter_name", Join({Of(Reply(5, "Annabelle")), client}));
  Write(out / "slots" / "leaves", Join({Of(Reply(1, "Ann")), client, Of(Report(1114, 3, 0))}));
  return 0;
}
