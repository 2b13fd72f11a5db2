#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "server/server.h"

namespace {

// A quiet game: every slot free at (0, 0) on map 0, every projectile idle, slot 0 is
// "it" and tags are allowed.
class Game : public ::testing::Test {
 protected:
  void SetUp() override { Reset(); }

  static void Reset() {
    for (ServerSlot& slot : slots) slot = {0, 0, 0, 0, 2, 0, 0, 0, nullptr};
    for (ServerShot& shot : shots) shot = {0, 0, 2, kShotFlight};
    itSlot = 0;
    tagCooldown = kTagPause;
    psiPhase = 0;
    outgoingUpdate = {};
  }

  static void Place(int slot, int x, int y, int map = 0) {
    slots[slot].x = WORD(x);
    slots[slot].y = WORD(y);
    slots[slot].map = BYTE(map);
    slots[slot].active = 1;
  }

  static void Fly(int shot, int x, int y, int direction = 0) { shots[shot] = {WORD(x), WORD(y), BYTE(direction), 0}; }

  static std::vector<int> Ages() { return {shots[0].age, shots[1].age, shots[2].age}; }

  static void Tick(int times) {
    for (int i = 0; i < times; i++) ServerTick();
  }
};

struct TagCase {
  const char* name;
  int x, y, map;
  bool tagged;
};

TEST_F(Game, TouchTagsOnlyWhenTheBoxesOverlap) {
  // "It" (slot 0) stands at (500, 500); a player is 32 x 48.
  const TagCase cases[] = {
      {"overlap by a pixel down-right", 531, 547, 0, true},
      {"overlap by a pixel up-left", 469, 453, 0, true},
      {"edge to edge on the right", 532, 500, 0, false},
      {"edge to edge on the left", 468, 500, 0, false},
      {"edge to edge below", 500, 548, 0, false},
      {"edge to edge above", 500, 452, 0, false},
      {"same place, other map", 500, 500, 1, false},
  };
  for (const TagCase& c : cases) {
    SCOPED_TRACE(c.name);
    Reset();
    Place(0, 500, 500);
    Place(1, c.x, c.y, c.map);
    Fly(2, 4000, 4000);  // far from everybody
    CheckTags();
    BuildWorldUpdate();
    EXPECT_EQ(itSlot, c.tagged ? 1 : 0);
    EXPECT_EQ(tagCooldown, c.tagged ? 0 : kTagPause);
    // A touch ends every projectile.
    EXPECT_EQ(outgoingUpdate.shots[2].mode, c.tagged ? 2 : 1);
    EXPECT_EQ(Ages(), (std::vector<int>{kShotFlight, kShotFlight, c.tagged ? kShotFlight : 0}));
  }
}

TEST_F(Game, ProjectileTagsOnlyWhenTheBoxesOverlap) {
  // A player (slot 1) stands at (500, 500) on map 0; a projectile is 35 x 35; "it"
  // (slot 0) is far away on the map given.
  struct ShotCase {
    const char* name;
    int shotX, shotY, itMap, age;
    bool tagged;
  };
  const ShotCase cases[] = {
      {"overlap", 497, 513, 0, 0, true},
      {"overlap by a pixel above", 500, 466, 0, 34, true},
      {"edge to edge on the right", 532, 500, 0, 0, false},
      {"edge to edge on the left", 465, 500, 0, 0, false},
      {"edge to edge below", 500, 548, 0, 0, false},
      {"edge to edge above", 500, 465, 0, 0, false},
      {"'it' on another map", 500, 500, 3, 0, false},
      {"idle projectile", 500, 500, 0, kShotFlight, false},
  };
  for (const ShotCase& c : cases) {
    SCOPED_TRACE(c.name);
    Reset();
    Place(0, 2000, 2000, c.itMap);
    Place(1, 500, 500);
    Fly(1, c.shotX, c.shotY);
    shots[1].age = BYTE(c.age);
    CheckTags();
    EXPECT_EQ(itSlot, c.tagged ? 1 : 0);
    EXPECT_EQ(tagCooldown, c.tagged ? 0 : kTagPause);
    // A projectile's tag leaves the projectiles flying.
    EXPECT_EQ(Ages(), (std::vector<int>{kShotFlight, c.age, kShotFlight}));
  }
}

TEST_F(Game, NobodyIsTaggedInTheSafeRectangleOnAnyMap) {
  const TagCase cases[] = {
      {"top-left corner", 961, 1083, 7, false},
      {"bottom-right corner", 1269, 1225, 7, false},
      {"inside, on map 0", 1000, 1100, 0, false},
      {"left of it", 960, 1100, 7, true},
      {"right of it", 1270, 1100, 7, true},
      {"above it", 1000, 1082, 7, true},
      {"below it", 1000, 1226, 7, true},
  };
  for (const TagCase& c : cases) {
    for (bool byTouch : {true, false}) {
      SCOPED_TRACE(std::string(c.name) + (byTouch ? ", touched" : ", hit"));
      Reset();
      Place(0, byTouch ? c.x : 5000, c.y, c.map);
      Place(1, c.x, c.y, c.map);
      if (!byTouch) Fly(0, c.x, c.y);
      CheckTags();
      EXPECT_EQ(itSlot, c.tagged ? 1 : 0);
    }
  }
}

TEST_F(Game, TheLowestTaggedSlotWins) {
  // Slot 5 is "it" at (500, 500); slots 9, 3 and 7 touch it.
  Place(5, 500, 500);
  for (int slot : {9, 3, 7}) Place(slot, 510, 510);
  itSlot = 5;
  CheckTags();
  EXPECT_EQ(itSlot, 3);

  // A lower slot hit by a projectile beats a higher one touching "it", and the
  // projectiles fly on; the other way round the touch wins and ends them.
  for (bool lowerIsHit : {true, false}) {
    SCOPED_TRACE(lowerIsHit ? "lower slot hit" : "lower slot touching");
    Reset();
    Place(5, 500, 500);
    itSlot = 5;
    Place(2, lowerIsHit ? 3000 : 510, 510);
    Place(8, lowerIsHit ? 510 : 3000, 510);
    Fly(0, 3000, 510);
    CheckTags();
    EXPECT_EQ(itSlot, 2);
    EXPECT_EQ(shots[0].age, lowerIsHit ? 0 : kShotFlight);
  }
}

TEST_F(Game, AFreeItSlotStillTagsFromWhereItsPlayerWasLast) {
  // Slot 3 was never used: its last place is (0, 0) on map 0.
  itSlot = 3;
  Place(6, 10, 10);
  CheckTags();
  EXPECT_EQ(itSlot, 6);
}

TEST_F(Game, NobodyIsTaggedWithin29TicksAfterATag) {
  Place(0, 500, 500);
  Place(1, 510, 510);
  Tick(1);
  ASSERT_EQ(itSlot, 1);
  for (int tick = 1; tick < kTagPause; tick++) {
    Tick(1);
    ASSERT_EQ(itSlot, 1) << "tick " << tick << " after the tag";
  }
  Tick(1);
  EXPECT_EQ(itSlot, 0) << "on the thirtieth tick after the tag";
}

TEST_F(Game, ProjectilesFly15PixelsATickFor35Ticks) {
  const struct {
    int direction, dx, dy;
  } cases[] = {{0, 0, 1},   {1, -1, 0},  {2, 0, -1}, {3, 1, 0}, {8, -1, 1},
               {9, -1, -1}, {10, 1, -1}, {11, 1, 1}, {5, 0, 0}};  // 5 is no direction: it ages in place
  for (const auto& c : cases) {
    SCOPED_TRACE("direction " + std::to_string(c.direction));
    Reset();
    Place(0, 10000, 20000);
    LaunchPsi(0, BYTE(c.direction));
    ASSERT_EQ(shots[0].age, 0);
    for (int tick = 1; tick <= kShotFlight + 1; tick++) {
      Tick(1);
      int flown = std::min(tick, kShotFlight);
      const ShotEntry& entry = outgoingUpdate.shots[0];  // packed: fields are compared by value
      EXPECT_EQ(WORD(entry.x), 10003 + 15 * flown * c.dx) << "tick " << tick;
      EXPECT_EQ(WORD(entry.y), 20006 + 15 * flown * c.dy) << "tick " << tick;
      // In flight the mode alternates 0, 1, 0...; idle it is 2.
      EXPECT_EQ(entry.mode, tick >= kShotFlight ? 2 : tick % 2 == 1 ? 0 : 1) << "tick " << tick;
    }
    EXPECT_EQ(shots[0].age, kShotFlight);
  }
}

TEST_F(Game, PositionsWrapAt16Bits) {
  const struct {
    int x, y, direction, x1, y1;
  } cases[] = {{400, 10, 2, 400, 65531}, {5, 100, 1, 65526, 100}, {65530, 65530, 11, 9, 9}};
  for (const auto& c : cases) {
    Reset();
    Place(0, 30000, 30000);
    Fly(0, c.x, c.y, c.direction);
    Tick(1);
    EXPECT_EQ(shots[0].x, c.x1);
    EXPECT_EQ(shots[0].y, c.y1);
  }
  Reset();
  Place(0, 65535, 65533);
  LaunchPsi(0, 2);
  EXPECT_EQ(shots[0].x, 2);
  EXPECT_EQ(shots[0].y, 3);
}

TEST_F(Game, OnlyItLaunchesAndAtMostThreeFly) {
  Place(1, 100, 200);
  Place(2, 300, 400);
  itSlot = 1;
  LaunchPsi(2, 3);
  EXPECT_EQ(Ages(), (std::vector<int>{kShotFlight, kShotFlight, kShotFlight})) << "slot 2 is not 'it'";

  for (int direction : {0, 1, 2}) LaunchPsi(1, BYTE(direction));
  ServerShot three[kShotCount];
  memcpy(three, shots, sizeof three);
  LaunchPsi(1, 3);
  EXPECT_EQ(memcmp(three, shots, sizeof three), 0) << "three fly already";
  for (int j = 0; j < kShotCount; j++) {
    EXPECT_EQ(shots[j].x, 103);
    EXPECT_EQ(shots[j].y, 206);
    EXPECT_EQ(shots[j].direction, j);
  }

  // The first idle one is taken.
  shots[1].age = kShotFlight;
  shots[2].age = kShotFlight;
  LaunchPsi(1, 11);
  EXPECT_EQ(Ages(), (std::vector<int>{0, 0, kShotFlight}));
  EXPECT_EQ(shots[1].direction, 11);
}

TEST_F(Game, ItIsDrawnAgainEveryTickWhileItsSlotIsFree) {
  // One draw per tick from the generator, over all fifteen slots.
  srand(11);
  std::vector<int> expected;
  for (int i = 0; i < 40; i++) expected.push_back(rand() % kSlotCount);
  srand(11);
  std::vector<int> drawn;
  for (int i = 0; i < 40; i++) {
    Tick(1);
    drawn.push_back(itSlot);
  }
  EXPECT_EQ(drawn, expected);
  EXPECT_EQ(RandomBelow(0), 0);
  EXPECT_EQ(RandomBelow(1), 0);
}

TEST_F(Game, TheOnlyPlayerBecomesItAndStaysIt) {
  srand(3);
  Place(6, 100, 100);
  int ticks = 0;
  while (itSlot != 6 && ticks < 1000) {
    Tick(1);
    ticks++;
  }
  ASSERT_EQ(itSlot, 6);
  Tick(100);
  EXPECT_EQ(itSlot, 6);
}

TEST_F(Game, ANewlyDrawnItMayTagAtOnce) {
  // "It" left; the pause is over, and slots 6 and 7 stand together.
  srand(5);
  itSlot = 3;
  Place(6, 500, 500);
  Place(7, 510, 510);
  for (int ticks = 0; itSlot != 6 && itSlot != 7; ticks++) {
    ASSERT_LT(ticks, 1000);
    ASSERT_EQ(tagCooldown, kTagPause);
    Tick(1);
  }
  // The tick that drew one of them let it tag the other.
  EXPECT_EQ(tagCooldown, 0);
}

TEST_F(Game, TheWorldUpdateCarriesStateCodesAndIt) {
  const struct {
    BYTE active, frame, moving, state;
  } cases[] = {{0, 1, 1, 0}, {1, 0, 0, 1}, {1, 0, 1, 2}, {1, 1, 0, 3}, {1, 1, 1, 3}};
  for (int i = 0; i < 5; i++) {
    slots[i].active = cases[i].active;
    slots[i].frame = cases[i].frame;
    slots[i].moving = cases[i].moving;
    outgoingUpdate.players[i] = {WORD(1000 + i), WORD(2000 + i), 0x89, 0};
  }
  itSlot = 4;
  BuildWorldUpdate();
  EXPECT_EQ(outgoingUpdate.type, TypeWorldUpdate);
  EXPECT_EQ(outgoingUpdate.it, 4);
  for (int i = 0; i < 5; i++) {
    SCOPED_TRACE("slot " + std::to_string(i));
    EXPECT_EQ(outgoingUpdate.players[i].state, cases[i].state);
    // The client threads own x, y and the location byte.
    EXPECT_EQ(WORD(outgoingUpdate.players[i].x), 1000 + i);
    EXPECT_EQ(WORD(outgoingUpdate.players[i].y), 2000 + i);
    EXPECT_EQ(outgoingUpdate.players[i].location, 0x89);
  }
}

}  // namespace
