#include "client/render/frame.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "client/shell/shell.h"
#include "client/world/level.h"
#include "client/world/world.h"
#include "platform/font.h"
#include "platform/testing.h"
#include "tests/client/render/picture_files.h"

namespace {

constexpr uint32_t kMap = 0x2E8B57, kRadar = 0x808000, kSprite = 0xC04000;
constexpr uint32_t kPsiCells[] = {0x601060, 0x106060};
constexpr uint32_t kBlue = 0x0000FF, kGreen = 0x00FF00, kWhite = 0xFFFFFF;
constexpr int kRadarX = 500, kRadarY = 250;
char noName[] = "";

// A sheet whose colour cells are opaque all over, cell k painted cellColours[k % size].
HBITMAP MakeSheet(int width, int height, const std::vector<uint32_t>& cellColours) {
  const int sheetWidth = 16 * (width + 1) + 1, sheetHeight = 2 * (height + 1) + 1;
  HBITMAP sheet = CreateCompatibleBitmap(nullptr, sheetWidth, sheetHeight);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ previous = SelectObject(dc, sheet);
  {
    std::lock_guard lock(GdiMutex());
    Pixmap& to = *LockedTargetOf(dc);
    for (int y = 1; y < height + 2; y++)
      for (int x = 1; x < sheetWidth; x++)
        to.Row(y)[x] = cellColours[size_t((x - 1) / (width + 1)) % cellColours.size()];
  }
  SelectObject(dc, previous);
  DeleteDC(dc);
  return sheet;
}

class Frame : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    UseTestDesktop();
    window_ = MakeTestWindow(640, 480);
  }

  Frame() {
    windowDC = GetDC(window_);
    mapBitmap = CreateCompatibleBitmap(nullptr, 1280, 760);
    FillBitmap(mapBitmap, kMap);
    mapWidth = 1280, mapHeight = 760;
    radarBitmap = CreateCompatibleBitmap(nullptr, 75, 60);
    FillBitmap(radarBitmap, kRadar);
    radarX = kRadarX, radarY = kRadarY, radarWidth = 75, radarHeight = 60;
    radarPenBlue = CreatePen(PS_SOLID, 2, 0xFF0000);
    radarPenGreen = CreatePen(PS_SOLID, 2, 0x00FF00);
    for (Actor& p : players) p = Player(0, 0, false);
    for (Actor& psi : psiActors) {
      psi = {};
      psi.width = psi.height = 34, psi.direction = 2, psi.bitmap = psiSheet_, psi.name = noName;
    }
    localSlot = 0, itSlot = 14;
    players[0] = Player(400, 200, true);
    players[14].map = 9;
    scrollX = scrollY = 0;
    blinkCounter = 1;
    for (char* line : chatLines) line[0] = 0;
  }
  ~Frame() override {
    ReleaseDC(window_, windowDC);
    for (HGDIOBJ object : {HGDIOBJ(mapBitmap), HGDIOBJ(radarBitmap), HGDIOBJ(radarPenBlue), HGDIOBJ(radarPenGreen),
                           HGDIOBJ(playerSheet_), HGDIOBJ(psiSheet_)})
      DeleteObject(object);
  }


  Actor Player(int x, int y, bool active, BYTE map = 0) const {
    Actor a = {};
    a.x = WORD(x), a.y = WORD(y), a.width = 32, a.height = 48, a.speed = 7, a.animPeriod = 3;
    a.bitmap = playerSheet_, a.name = noName, a.active = active, a.map = map;
    return a;
  }

  static uint32_t Pixel(int x, int y) { return WindowPixel(window_, x, y); }

  // Whether some pixel of the play view's rectangle has the colour `pixel`.
  static bool Shows(RECT box, uint32_t pixel) {
    for (int y = box.top; y < box.bottom; y++)
      for (int x = box.left; x < box.right; x++)
        if (Pixel(x, y) == pixel) return true;
    return false;
  }

  static HWND window_;
  HBITMAP playerSheet_ = MakeSheet(32, 48, {kSprite});
  HBITMAP psiSheet_ = MakeSheet(34, 34, {kPsiCells[0], kPsiCells[1]});
};

HWND Frame::window_;

TEST_F(Frame, RadarDotsSitAtTheActorsCornerScaledOneToTwenty) {
  players[1] = Player(0, 0, true);
  players[2] = Player(39, 19, true);
  DrawFrame();
  // The width-2 pen paints 3 x 2 pixels from one left of and one above the dot's point.
  for (POINT p : {POINT{-1, -1}, {0, 0}, {1, 0}, {3, 1}}) EXPECT_EQ(Pixel(kRadarX + p.x, kRadarY + p.y), kGreen);
  for (POINT p : {POINT{0, 1}, {2, 2}, {4, 1}}) EXPECT_EQ(Pixel(kRadarX + p.x, kRadarY + p.y), kRadar);
  EXPECT_EQ(Pixel(kRadarX + 20, kRadarY + 10), kGreen) << "the local player's dot";
}

TEST_F(Frame, OnlyActiveActorsOnTheLocalMapAreDrawnAndDotted) {
  players[3] = Player(100, 60, true, 2);
  players[4] = Player(200, 60, false);
  players[5] = Player(300, 60, true);
  DrawFrame();
  EXPECT_EQ(Pixel(100, 60), kMap);
  EXPECT_EQ(Pixel(kRadarX + 5, kRadarY + 3), kRadar);
  EXPECT_EQ(Pixel(200, 60), kMap);
  EXPECT_EQ(Pixel(kRadarX + 10, kRadarY + 3), kRadar);
  EXPECT_EQ(Pixel(300, 60), kSprite);
  EXPECT_EQ(Pixel(331, 107), kSprite);
  EXPECT_EQ(Pixel(kRadarX + 15, kRadarY + 3), kGreen);
}

// blinkCounter as the window procedure raises it before each tick.
TEST_F(Frame, TheRadarAndTheChatBlinkOverEightTicks) {
  strcpy(chatLines[0], "tag");
  blinkCounter = 0;
  int green = 0, blue = 0, opaque = 0;
  for (int tick = 1; tick <= 16; tick++) {
    int value = (tick - 1) % 8 + 1;
    SCOPED_TRACE(testing::Message() << "blink " << value);
    blinkCounter++;
    DrawFrame();
    uint32_t dot = Pixel(kRadarX + 20, kRadarY + 10);
    EXPECT_EQ(dot, value <= 3 ? kGreen : kBlue);
    green += dot == kGreen, blue += dot == kBlue;
    EXPECT_EQ(blinkCounter, value == 8 ? 0 : value);
    bool white = Shows({0, 0, 630, 140}, kWhite);
    EXPECT_EQ(white, value >= 4 && value <= 7);
    opaque += white;
  }
  EXPECT_EQ(green, 6);
  EXPECT_EQ(blue, 10);
  EXPECT_EQ(opaque, 8);
}

TEST_F(Frame, ProjectilesFlyOnlyOnTheMapOfIt) {
  itSlot = 1;
  players[1] = Player(400, 60, true);
  psiActors[0].x = 100, psiActors[0].y = 300, psiActors[0].direction = 0;
  psiActors[1].x = 200, psiActors[1].y = 300;
  psiActors[2].x = 300, psiActors[2].y = 300, psiActors[2].direction = -1;
  for (int drawn : {0, 1, 0}) {
    DrawFrame();
    EXPECT_EQ(Pixel(100, 300), kPsiCells[drawn]);
    EXPECT_EQ(Pixel(133, 333), kPsiCells[drawn]);
    EXPECT_EQ(psiActors[0].direction, 1 - drawn);
  }
  EXPECT_EQ(Pixel(200, 300), kMap) << "not in flight";
  EXPECT_EQ(psiActors[1].direction, 2);
  EXPECT_EQ(Pixel(300, 300), kMap) << "a negative flight state";
  EXPECT_EQ(psiActors[2].direction, -1);
  players[1].map = 3;
  DrawFrame();
  EXPECT_EQ(Pixel(100, 300), kMap) << "it on another map";
  EXPECT_EQ(psiActors[0].direction, 1);
}

// Words just over half the width, so that each takes a row of its own.
TEST_F(Frame, ChatLinesWrapAt630AndStopAt140) {
  std::string word;
  while (TextWidth(word.data(), word.size()) <= 315) word += 'M';
  std::string text = word;
  while (text.size() + 1 + word.size() < kChatLineBuffer) text += " " + word;
  ASSERT_GT(int(text.size() / (word.size() + 1)) * FontLineHeight(), 50) << "line 3 needs rows beyond 140";
  strcpy(chatLines[0], text.c_str());
  strcpy(chatLines[3], text.c_str());
  DrawFrame();
  EXPECT_TRUE(Shows({0, FontLineHeight(), 630, 30}, 0)) << "line 0 goes on in a second row";
  EXPECT_FALSE(Shows({630, 0, 640, 140}, 0));
  EXPECT_TRUE(Shows({0, 120, 630, 140}, 0));
  EXPECT_FALSE(Shows({0, 140, 640, 200}, 0));
}

TEST_F(Frame, MovingRemotePlayersWalkOnOneStepPerFrameAndTheLocalOneDoesNot) {
  players[0].moving = 1, players[0].direction = DirRight;
  players[1] = Player(100, 60, true);
  players[1].moving = 1, players[1].direction = DirRight;
  players[2] = Player(500, 100, true, 4);
  players[2].moving = 1, players[2].direction = DirDownLeft;
  players[3] = Player(200, 60, false);
  players[3].moving = 1, players[3].direction = DirRight;
  players[4] = Player(300, 60, true);
  players[4].direction = DirRight;
  DrawFrame();
  EXPECT_EQ(Pixel(100, 60), kSprite) << "drawn before it moves";
  EXPECT_EQ(Pixel(132, 60), kMap);
  DrawFrame();
  EXPECT_EQ(players[1].x, 114);
  EXPECT_EQ(Pixel(107, 60), kSprite);
  EXPECT_EQ(players[2].x, 486) << "on another map, still moved";
  EXPECT_EQ(players[2].y, 114);
  EXPECT_EQ(players[3].x, 200);
  EXPECT_EQ(players[4].x, 300);
  EXPECT_EQ(players[0].x, 400);
}

}  // namespace
