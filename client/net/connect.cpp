// Connecting and joining: the socket, the connect, the server's greeting, the local
// player's slot, name, character and sheet, and the JoinReply.
#include <atomic>
#include <cstring>

#include "client/net/net.h"
#include "client/net/roster.h"
#include "client/shell/shell.h"
#include "client/world/world.h"
#include "protocol/stream.h"

SOCKET gameSocket = INVALID_SOCKET;

namespace {

// A server sends a world update for every report, so one that has said nothing for this
// long has gone silent: the read fails, and the attempt or the connection ends.
constexpr DWORD kSilentServerMs = 10000;

std::atomic<bool> busy{false};
sockaddr_in serverAddress;

const char kMissingSheet[] = "Could not find a .bmp.  Please be sure this was installed correctly.";

// Ends an attempt that never joined.
void GiveUp(const char* status) {
  ShowStatus(status);
  closesocket(gameSocket);
  busy = false;
}

bool Connect() {
  if (connect(gameSocket, reinterpret_cast<const sockaddr*>(&serverAddress), sizeof serverAddress) == 0) return true;
  const char* text = WSAGetLastError() == WSAECONNREFUSED ? "Connection Refused!!!  Make sure it's a valid server."
                                                          : "Big fat winsock error!!!";
  MessageBoxA(nullptr, text, "Error on connect()", MB_TOPMOST);
  return false;
}

enum class Greeting { kWelcome, kFull, kGone };

// A full server sends one byte; any other server a Welcome. A slot the client has no
// record for ends the attempt as a lost connection would.
Greeting ReadGreeting(Welcome& welcome) {
  BYTE* bytes = reinterpret_cast<BYTE*>(&welcome);
  if (ReadExactly(gameSocket, bytes, 1) != 1) return Greeting::kGone;
  if (bytes[0] == kServerFull) return Greeting::kFull;
  if (ReadExactly(gameSocket, bytes + 1, sizeof welcome - 1) != int(sizeof welcome - 1)) return Greeting::kGone;
  return welcome.slot < kPlayerSlots ? Greeting::kWelcome : Greeting::kGone;
}

// The names and characters of every other slot; a sheet that cannot be loaded ends
// the program.
void TakeOthers(const Welcome& welcome) {
  for (int k = 0; k < kPlayerSlots; k++) {
    if (k == welcome.slot) continue;
    BYTE character = welcome.characters[k];
    {
      std::lock_guard lock(worldLock);
      CopyName(players[k].name, welcome.names[k]);
      players[k].character = character;
    }
    bool loaded = !IsCharacter(character) || LoadSheet(k, character);
    if (!loaded || !HasSheet(k)) FailLater(kMissingSheet);
  }
}

// The slot the server gave becomes wholly the local player's: on the main map (loaded
// again by the next tick if the player walked elsewhere meanwhile), facing as the
// player faced, standing.
void TakeSlot(BYTE slot) {
  std::lock_guard lock(worldLock);
  const Actor& before = LocalPlayer();
  if (before.map != 0) reloadMainMap = 1;
  Actor& now = players[slot];
  if (&now != &before) {
    now.direction = before.direction;
    now.character = before.character;
  }
  now.map = 0;
  now.frame = 0;
  now.moving = 0;
  now.animCounter = 0;
  localSlot = slot;
  for (Actor& p : players) p.active = 0;
  now.active = 1;
}

// The first character button checked gives the character, 1..5; none checked gives 1
// for the server and keeps the local one.
BYTE ChosenCharacter() {
  for (int i = 0; i < 5; i++) {
    if (SendMessageA(characterButtons[i], BM_GETCHECK, 0, 0) == BST_CHECKED) {
      std::lock_guard lock(worldLock);
      LocalPlayer().character = BYTE(i + 1);
      return BYTE(i + 1);
    }
  }
  return 1;
}

// The local name (at most 9 characters) and character; the JoinReply that tells them.
JoinReply TakeLocalPlayer() {
  JoinReply reply = {};
  char name[kNameField];
  GetWindowTextA(nameBox, name, sizeof name);
  SetWindowTextA(mainWindow, name);
  reply.character = ChosenCharacter();
  memcpy(reply.name, name, strnlen(name, sizeof reply.name));  // the rest stays zero
  BYTE character;
  {
    std::lock_guard lock(worldLock);
    CopyName(LocalPlayer().name, name);
    character = LocalPlayer().character;
  }
  // Without a sheet of its own the player shows as the first character.
  if (!IsCharacter(character) || !LoadSheet(localSlot, character)) LoadSheet(localSlot, 1);
  return reply;
}

}  // namespace

JoinReply TakeWelcome(const Welcome& welcome) {
  // The slot first: the Welcome may give the old local slot to someone else.
  TakeSlot(welcome.slot);
  TakeOthers(welcome);
  return TakeLocalPlayer();
}

bool ConnectionBusy() { return busy; }

void AttemptEnded() { busy = false; }

void StartConnection() {
  gameSocket = socket(AF_INET, SOCK_STREAM, 0);
  if (gameSocket == INVALID_SOCKET) {
    MessageBoxA(nullptr, "Big fat winsock error!!!", "Error on socket()", MB_TOPMOST);
    ShutDown();
    return;
  }
  ShowStatus("Trying to connect...");
  char address[19];
  GetWindowTextA(addressBox, address, sizeof address);
  serverAddress = {};
  serverAddress.sin_family = AF_INET;
  serverAddress.sin_port = htons(kGamePort);
  serverAddress.sin_addr.s_addr = inet_addr(address);
  SetWindowTextA(mainWindow, address);
  busy = true;
  if (_beginthread(ConnectThread, 0, nullptr) == uintptr_t(-1)) GiveUp("Could not connect.");
}

void ConnectThread(void*) {
  if (!Connect()) return GiveUp("Could not connect.");
  ShowStatus("Host found!");
  DWORD silence = kSilentServerMs;
  setsockopt(gameSocket, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&silence), sizeof silence);
  Welcome welcome;
  switch (ReadGreeting(welcome)) {
    case Greeting::kGone: return GiveUp("Disconnected");
    case Greeting::kFull: return GiveUp("Too many users on server");
    case Greeting::kWelcome: break;
  }
  JoinReply reply = TakeWelcome(welcome);
  if (send(gameSocket, reinterpret_cast<const char*>(&reply), sizeof reply, 0) != sizeof reply) {
    return GiveUp("Error sending.  Connection lost.");
  }
  {
    std::lock_guard lock(worldLock);
    SpawnLocalPlayer();
    connected = 1;
  }
  if (_beginthread(ReceiveLoop, 0, nullptr) == uintptr_t(-1)) {
    EndConnection("Disconnected");
    AttemptEnded();
  }
}

void DropConnection() {
  std::lock_guard lock(worldLock);
  if (connected != 1) return;
  connected = 0;
  // The end of the stream goes first, so that the server reads a player who left, not
  // a reset, when updates are still unread here.
  shutdown(gameSocket, SD_SEND);
  closesocket(gameSocket);
}

void ShowStatus(const char* text) { SetWindowTextA(statusBox, text); }

void EndConnection(const char* status) {
  DropConnection();
  ShowStatus(status);
}
