// Everything that travels between the client and the server: ten fixed-length
// records, little-endian and packed, one TCP connection per player to port 16738.
#pragma once

#include <bit>

#include "platform/wintypes.h"

static_assert(std::endian::native == std::endian::little, "records are copied straight to the wire");

constexpr WORD kGamePort = 16738;
constexpr int kSlotCount = 15;
constexpr int kShotCount = 3;
constexpr int kNameField = 10;        // a name of at most 9 characters and its terminator
constexpr int kLongestMessage = 200;  // after the handshake

// The first byte of every message after the handshake, and the kind of a notice.
enum MessageType : BYTE {
  TypeWorldUpdate = 1,  // server to client
  TypeNotice = 2,       // server to client; the second byte is the kind
  TypePositionReport = 1,  // client to server
  TypePsiRequest = 3,
  TypeChatRequest = 4,
};
enum NoticeKind : BYTE { KindPlayerKicked = 1, KindPlayerJoined = 2, KindChatRelay = 3 };

// The only byte of a connection that arrives while every slot is held.
constexpr BYTE kServerFull = 0x21;

#pragma pack(push, 1)

struct Welcome {
  BYTE slot;
  char names[kSlotCount][kNameField];
  BYTE characters[kSlotCount];
};

struct JoinReply {
  BYTE character;
  char name[9];  // zero-terminated when shorter than 9
};

struct PlayerEntry {
  WORD x;
  WORD y;
  BYTE location;  // (map << 4) | direction
  BYTE state;     // 0 free, 1 standing, 2 walking on frame 0, 3 on frame 1
};

struct ShotEntry {
  WORD x;
  WORD y;
  BYTE mode;  // 0 or 1 in flight, 2 not
};

struct WorldUpdate {
  BYTE type;
  BYTE it;
  PlayerEntry players[kSlotCount];
  ShotEntry shots[kShotCount];
};

struct PlayerKicked {
  BYTE type;
  BYTE kind;
  BYTE slot;
};

struct PlayerJoined {
  BYTE type;
  BYTE kind;
  BYTE slot;
  char name[kNameField];
  BYTE character;
};

struct ChatRelay {
  BYTE type;
  BYTE kind;
  BYTE slot;
  char text[190];
  BYTE end;  // always 0
  BYTE unused[6];
};

struct PositionReport {
  BYTE type;
  WORD x;
  WORD y;
  BYTE location;
  BYTE state;
};

struct PsiRequest {
  BYTE type;
  BYTE direction;
};

struct ChatRequest {
  BYTE type;
  char text[150];  // at most 149 characters, zero-terminated
  BYTE unused[49];
};

#pragma pack(pop)

static_assert(sizeof(Welcome) == 166);
static_assert(sizeof(JoinReply) == 10);
static_assert(sizeof(PlayerEntry) == 6);
static_assert(sizeof(ShotEntry) == 5);
static_assert(sizeof(WorldUpdate) == 107);
static_assert(sizeof(PlayerKicked) == 3);
static_assert(sizeof(PlayerJoined) == 14);
static_assert(sizeof(ChatRelay) == 200);
static_assert(sizeof(PositionReport) == 7);
static_assert(sizeof(PsiRequest) == 2);
static_assert(sizeof(ChatRequest) == 200);

// A player's map and direction in one byte, and back. The map is the high nibble,
// read as unsigned.
constexpr BYTE LocationByte(BYTE map, BYTE direction) { return BYTE((map << 4) | (direction & 15)); }
constexpr BYTE MapOf(BYTE location) { return BYTE(location >> 4); }
constexpr BYTE DirectionOf(BYTE location) { return BYTE(location & 15); }

// A player's active, frame and moving flags in one byte.
constexpr BYTE StateCode(BYTE active, BYTE frame, BYTE moving) {
  return !active ? 0 : frame ? 3 : moving ? 2 : 1;
}
