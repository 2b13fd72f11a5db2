#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "protocol/messages.h"

namespace {

template <typename T>
std::string Hex(const T& record, size_t count = sizeof(T)) {
  static const char digits[] = "0123456789ABCDEF";
  std::string out;
  const auto* bytes = reinterpret_cast<const BYTE*>(&record);
  for (size_t i = 0; i < count; i++) {
    if (i) out += ' ';
    out += digits[bytes[i] >> 4];
    out += digits[bytes[i] & 15];
  }
  return out;
}

TEST(Records, WireImages) {
  PositionReport report = {TypePositionReport, 350, 200, LocationByte(0, 3), StateCode(1, 0, 1)};
  EXPECT_EQ(Hex(report), "01 5E 01 C8 00 03 02");

  PsiRequest psi = {TypePsiRequest, 9};
  EXPECT_EQ(Hex(psi), "03 09");

  PlayerKicked kicked = {TypeNotice, KindPlayerKicked, 14};
  EXPECT_EQ(Hex(kicked), "02 01 0E");

  PlayerJoined joined = {TypeNotice, KindPlayerJoined, 3, "Ann", 5};
  EXPECT_EQ(Hex(joined), "02 02 03 41 6E 6E 00 00 00 00 00 00 00 05");

  WorldUpdate update = {};
  update.type = TypeWorldUpdate;
  update.it = 2;
  update.players[1] = {0x8001, 7, LocationByte(8, 9), 3};
  update.shots[2] = {400, 300, 2};
  EXPECT_EQ(Hex(update, 14), "01 02 00 00 00 00 00 00 01 80 07 00 89 03");
  EXPECT_EQ(Hex(update.shots[2]), "90 01 2C 01 02");
  EXPECT_EQ(reinterpret_cast<BYTE*>(&update.shots[0]) - reinterpret_cast<BYTE*>(&update), 92);

  Welcome welcome = {};
  EXPECT_EQ(reinterpret_cast<BYTE*>(&welcome.names[1]) - reinterpret_cast<BYTE*>(&welcome), 11);
  EXPECT_EQ(reinterpret_cast<BYTE*>(&welcome.characters[0]) - reinterpret_cast<BYTE*>(&welcome), 151);

  ChatRelay relay = {};
  EXPECT_EQ(reinterpret_cast<BYTE*>(&relay.end) - reinterpret_cast<BYTE*>(&relay), 193);
}

TEST(Records, LocationAndStateCodes) {
  EXPECT_EQ(MapOf(0x89), 8);
  EXPECT_EQ(DirectionOf(0x89), 9);
  EXPECT_EQ(MapOf(0xF0), 15) << "the map is never negative";
  EXPECT_EQ(LocationByte(9, 11), 0x9B);
  EXPECT_EQ(StateCode(0, 1, 1), 0);
  EXPECT_EQ(StateCode(1, 0, 0), 1);
  EXPECT_EQ(StateCode(1, 0, 1), 2);
  EXPECT_EQ(StateCode(1, 1, 0), 3);
}

}  // namespace
