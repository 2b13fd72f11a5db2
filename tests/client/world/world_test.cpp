#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "client/shell/shell.h"
#include "client/world/world.h"
#include "platform/testing.h"
#include "tests/client/render/picture_files.h"

namespace {

constexpr uint32_t kToviPixels[] = {0x112233, 0x445566};
constexpr uint32_t kPsiPixel = 0xABCDEF;

class World : public testing::Test {
 protected:
  World() {
    UseTestDesktop();
    windowDC = CreateCompatibleDC(nullptr);
    WriteFile("images/sprites/tovi.bmp", Bmp24(2, 1, {kToviPixels[0], kToviPixels[1]}));
    WriteFile("images/sprites/psi.bmp", Bmp24(1, 1, {kPsiPixel}));
  }
  ~World() override {
    auto release = [](Actor& a) {
      DeleteObject(a.bitmap);
      DeleteObject(a.palette);
      a = {};
    };
    for (Actor& p : players) {
      delete[] p.name;
      release(p);
    }
    for (Actor& psi : psiActors) release(psi);
    localSlot = 0;
    DeleteDC(windowDC);
    windowDC = nullptr;
  }

  TempFolder folder_;
};

struct Expected {
  WORD x, y;
  short speed, height, width, direction, animPeriod;
  BYTE character;
};

void ExpectStartUpValues(const Actor& a, const Expected& e, const std::string& who) {
  EXPECT_EQ(a.x, e.x) << who;
  EXPECT_EQ(a.y, e.y) << who;
  EXPECT_EQ(a.speed, e.speed) << who;
  EXPECT_EQ(a.height, e.height) << who;
  EXPECT_EQ(a.width, e.width) << who;
  EXPECT_EQ(a.direction, e.direction) << who;
  EXPECT_EQ(a.animPeriod, e.animPeriod) << who;
  EXPECT_EQ(a.character, e.character) << who;
  EXPECT_EQ(a.active, 0) << who;
  EXPECT_EQ(a.animCounter, 0) << who;
  EXPECT_EQ(a.frame, 0) << who;
  EXPECT_EQ(a.moving, 0) << who;
  EXPECT_EQ(a.map, 0) << who;
  ASSERT_NE(a.name, nullptr) << who;
  EXPECT_STREQ(a.name, "") << who;
  EXPECT_NE(a.palette, nullptr) << who;
}

TEST_F(World, InitActorsGivesEveryActorItsStartUpValuesAndItsOwnSheet) {
  InitActors();
  for (int i = 0; i < kPlayerSlots; i++) {
    const std::string who = "player " + std::to_string(i);
    ExpectStartUpValues(players[i], {0, 0, 7, 48, 32, 0, 3, 1}, who);
    EXPECT_EQ(PixmapOf(players[i].bitmap).pixels, (std::vector<uint32_t>{kToviPixels[0], kToviPixels[1]})) << who;
    for (int j = 0; j < i; j++) {
      EXPECT_NE(players[i].bitmap, players[j].bitmap) << who;
      EXPECT_NE(players[i].name, players[j].name) << who;
    }
  }
  for (const Actor& psi : psiActors) {
    ExpectStartUpValues(psi, {50, 50, 0, 34, 34, 2, 0, 0}, "psi");
    EXPECT_EQ(PixmapOf(psi.bitmap).pixels, std::vector<uint32_t>{kPsiPixel});
    EXPECT_EQ(psi.name, psiActors[0].name) << "one shared empty name";
  }
  EXPECT_NE(psiActors[0].bitmap, psiActors[1].bitmap);
}

TEST_F(World, TheLocalPlayerIsNamedThenPlacedWithTheCameraOnIt) {
  InitActors();
  InitLocalPlayer();
  EXPECT_STREQ(players[0].name, "Tovi");
  EXPECT_EQ(players[0].active, 1);
  EXPECT_EQ(players[1].active, 0);
  Actor& local = players[0];
  local.speed = local.animCounter = local.animPeriod = local.width = local.height = 1;
  PlaceLocalPlayer();
  EXPECT_EQ(local.x, 350);
  EXPECT_EQ(local.y, 200);
  EXPECT_EQ(local.speed, 7);
  EXPECT_EQ(local.animCounter, 0);
  EXPECT_EQ(local.animPeriod, 3);
  EXPECT_EQ(local.width, 32);
  EXPECT_EQ(local.height, 48);
  EXPECT_EQ(scrollX, 40);
  EXPECT_EQ(scrollY, 0);
  EXPECT_EQ(&LocalPlayer(), &players[0]);
  EXPECT_EQ(ItPlayer(), &players[0]) << "alone, the local player is it";
}

TEST_F(World, SpawnLocalPlayerPutsEachSlotAtItsStartPoint) {
  InitActors();
  const int spawn[kPlayerSlots][2] = {{350, 200},   {1100, 230},  {1600, 200},  {500, 500},  {310, 820},
                                      {1050, 800},  {1750, 830},  {400, 1300},  {1000, 1430}, {1275, 1350},
                                      {1500, 1100}, {310, 500},   {690, 1025},  {1180, 600}, {1800, 200}};
  for (int slot = 0; slot < kPlayerSlots; slot++) {
    localSlot = BYTE(slot);
    SpawnLocalPlayer();
    EXPECT_EQ(players[slot].x, spawn[slot][0]) << slot;
    EXPECT_EQ(players[slot].y, spawn[slot][1]) << slot;
    EXPECT_EQ(scrollX, spawn[slot][0] - 310) << slot;
    EXPECT_EQ(scrollY, spawn[slot][1] - 200) << slot;
  }
}

TEST_F(World, TheTablesNameTheMapsAndSheets) {
  EXPECT_STREQ(MapTable[0], "levels\\maps\\main.lvl");
  EXPECT_STREQ(MapTable[5], "levels\\maps\\hospital.lvl");
  EXPECT_STREQ(MapTable[9], "levels\\maps\\mayoroffice.lvl");
  EXPECT_EQ(SpriteTable[0], nullptr);
  EXPECT_STREQ(SpriteTable[1], "images\\sprites\\TOVI.bmp");
  EXPECT_STREQ(SpriteTable[5], "images\\sprites\\TOVIPJ.bmp");
}

TEST_F(World, AMissingSpriteSheetEndsTheProgram) {
  for (const char* sheet : {"images/sprites/tovi.bmp", "images/sprites/psi.bmp"}) {
    std::filesystem::rename(sheet, "hidden.bmp");
    EXPECT_EXIT(InitActors(), testing::ExitedWithCode(0),
                "Graphics error: Could not find a \\.bmp file!  Make sure this was installed correctly\\.")
        << sheet;
    std::filesystem::rename("hidden.bmp", sheet);
  }
}

TEST_F(World, ALocalPlayerWithoutASheetEndsTheProgram) {
  InitActors();
  DeleteObject(players[0].bitmap);
  players[0].bitmap = nullptr;
  EXPECT_EXIT(InitLocalPlayer(), testing::ExitedWithCode(0),
              "Brambleduck error: Could not find a \\.bmp\\.  Please be sure this was installed correctly\\.");
}

}  // namespace
