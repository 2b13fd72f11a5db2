#include "client/render/sprite.h"

#include <gtest/gtest.h>

#include <functional>

#include "platform/gdi_objects.h"

namespace {

constexpr int kFrameWidth = 640, kFrameHeight = 380;
constexpr uint32_t kBackground = 0x123456;
constexpr int kOpaqueColumns = 24;  // each cell is transparent right of this column
char noName[] = "";

// A colour-row pixel tells where on the sheet it was read from, so a wrongly chosen
// cell or a shifted copy shows in the frame.
uint32_t SheetColour(int x, int y) { return 0x400000u | uint32_t(x) << 8 | uint32_t(y); }

HBITMAP PaintedBitmap(int width, int height, const std::function<uint32_t(int, int)>& pixel) {
  HBITMAP bitmap = CreateCompatibleBitmap(nullptr, width, height);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ previous = SelectObject(dc, bitmap);
  {
    std::lock_guard lock(GdiMutex());
    Pixmap& to = *LockedTargetOf(dc);
    for (int y = 0; y < height; y++)
      for (int x = 0; x < width; x++) to.Row(y)[x] = pixel(x, y);
  }
  SelectObject(dc, previous);
  DeleteDC(dc);
  return bitmap;
}

// A sheet of four columns of cells per phase pair (sixteen cells) in the grid layout:
// colour row at y 1, mask row at y height + 2, grid lines grey.
HBITMAP MakeSheet(int width, int height) {
  return PaintedBitmap(16 * (width + 1) + 1, 2 * (height + 1) + 1, [=](int x, int y) -> uint32_t {
    int cx = (x - 1) % (width + 1), row = y / (height + 1), cy = (y - 1) % (height + 1);
    if (x == 0 || y == 0 || cx == width || cy == height) return 0x999999;
    bool opaque = cx < kOpaqueColumns;
    if (row == 1) return opaque ? 0 : 0xFFFFFF;
    return opaque ? SheetColour(x, y) : 0;
  });
}

class Sprite : public testing::Test {
 protected:
  Sprite() {
    previous_ = SelectObject(frame_, frameBitmap_);
    Clear();
  }
  ~Sprite() override {
    SelectObject(frame_, previous_);
    DeleteDC(frame_);
    DeleteObject(frameBitmap_);
    DeleteObject(playerSheet_);
    DeleteObject(psiSheet_);
  }

  Actor Player(int x, int y, short direction, BYTE frame, char* name = noName) const {
    Actor a = {};
    a.x = WORD(x), a.y = WORD(y), a.width = 32, a.height = 48;
    a.direction = direction, a.frame = frame, a.bitmap = playerSheet_, a.name = name;
    return a;
  }

  void Clear() {
    std::lock_guard lock(GdiMutex());
    for (uint32_t& p : LockedTargetOf(frame_)->pixels) p = kBackground;
  }

  uint32_t Pixel(int x, int y) {
    std::lock_guard lock(GdiMutex());
    return LockedTargetOf(frame_)->Row(y)[x];
  }

  // Every pixel of the frame outside the sprite's cell (at sx, sy) and `label` is the
  // background; inside the cell and outside `label`, the cell's picture or background.
  void ExpectOnly(const Actor& a, int sx, int sy, int cell, RECT label) {
    int column = 1 + cell * (a.width + 1);
    for (int y = 0; y < kFrameHeight; y++) {
      for (int x = 0; x < kFrameWidth; x++) {
        if (x >= label.left && x < label.right && y >= label.top && y < label.bottom) continue;
        int dx = x - sx, dy = y - sy;
        bool inCell = dx >= 0 && dx < a.width && dy >= 0 && dy < a.height;
        uint32_t want = inCell && dx < kOpaqueColumns ? SheetColour(column + dx, 1 + dy) : kBackground;
        ASSERT_EQ(Pixel(x, y), want) << "at " << x << "," << y;
      }
    }
  }

  // Whether any pixel of `box` (clipped to the frame) is not the background, and
  // whether all such pixels have the colour `ink`.
  bool Inked(RECT box, uint32_t ink, bool* onlyInk) {
    bool any = false;
    *onlyInk = true;
    for (int y = std::max<int>(box.top, 0); y < std::min<int>(box.bottom, kFrameHeight); y++) {
      for (int x = std::max<int>(box.left, 0); x < std::min<int>(box.right, kFrameWidth); x++) {
        uint32_t p = Pixel(x, y);
        if (p == kBackground) continue;
        any = true;
        if (p != ink) *onlyInk = false;
      }
    }
    return any;
  }

  HDC frame_ = CreateCompatibleDC(nullptr);
  HBITMAP frameBitmap_ = CreateCompatibleBitmap(nullptr, kFrameWidth, kFrameHeight);
  HGDIOBJ previous_;
  HBITMAP playerSheet_ = MakeSheet(32, 48);
  HBITMAP psiSheet_ = MakeSheet(34, 34);
};

struct CellCase {
  short direction;
  BYTE frame;
  int cell;
};

TEST_F(Sprite, DrawsTheCellOfItsDirectionAndPhaseOverTheBackground) {
  const CellCase cases[] = {{DirDown, 0, 0},     {DirRight, 0, 3},      {DirLeft, 1, 5},     {DirUp, 5, 6},
                            {DirDownLeft, 0, 8}, {DirDownRight, 1, 15}, {DirDownLeft, 1, 12}};
  for (const CellCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "direction " << c.direction << " frame " << int(c.frame));
    Clear();
    DrawActor(Player(140, 120, c.direction, c.frame), frame_, 40, 20, false);
    ExpectOnly(Player(0, 0, c.direction, c.frame), 100, 100, c.cell, {});
  }
  // The last case, down-left in the second phase, is cell 12 at sheet column 397.
  EXPECT_EQ(Pixel(100, 100), SheetColour(397, 1));
  EXPECT_EQ(Pixel(123, 147), SheetColour(420, 48));
}

TEST_F(Sprite, ALaterActorCoversAnEarlierOneExceptWhereItIsTransparent) {
  DrawActor(Player(110, 100, DirDown, 0), frame_, 0, 0, false);
  DrawActor(Player(100, 100, DirRight, 0), frame_, 0, 0, false);
  const int later = 1 + 3 * 33, earlier = 1;
  EXPECT_EQ(Pixel(115, 110), SheetColour(later + 15, 11));
  EXPECT_EQ(Pixel(126, 110), SheetColour(earlier + 16, 11)) << "through the later one's transparent part";
  EXPECT_EQ(Pixel(136, 110), kBackground) << "through both";
}

TEST_F(Sprite, AnActorAndItsLabelAreClippedAtTheFrameEdge) {
  char name[] = "Wanderer";
  const POINT places[] = {{-20, 100}, {630, 100}, {300, -40}, {300, 360}, {-100, -100}, {700, 400}};
  for (POINT p : places) {
    SCOPED_TRACE(testing::Message() << "at " << p.x << "," << p.y);
    Clear();
    DrawActor(Player(p.x + 1000, p.y + 1000, DirDown, 0, name), frame_, 1000, 1000, false);
    ExpectOnly(Player(0, 0, DirDown, 0), p.x, p.y, 0, {p.x - 45, p.y - 15, p.x + 77, p.y + 10});
  }
  // The label of an actor on the left edge shows in part.
  Clear();
  DrawActor(Player(980, 1100, DirDown, 0, name), frame_, 1000, 1000, false);
  bool black = false;
  EXPECT_TRUE(Inked({0, 85, 57, 100}, 0, &black));
  EXPECT_TRUE(black);
}

// The marker's blink lives for the program's life; this is the only test that draws "it".
TEST_F(Sprite, TheItMarkerIsBlackForThreeDrawsAndGoldForFiveOfEveryEight) {
  char name[] = "Ann";
  const RECT marker = {55, 70, 177, 99}, otherLabel = {255, 185, 377, 199};
  for (int draw = 1; draw <= 16; draw++) {
    SCOPED_TRACE(testing::Message() << "draw " << draw);
    Clear();
    DrawActor(Player(100, 100, DirDown, 0), frame_, 0, 0, true);
    DrawActor(Player(300, 200, DirDown, 0, name), frame_, 0, 0, false);
    int inCycle = (draw - 1) % 8 + 1;
    bool onlyInk = false;
    EXPECT_TRUE(Inked(marker, inCycle <= 3 ? 0 : 0xAF9600, &onlyInk));
    EXPECT_TRUE(onlyInk);
    EXPECT_TRUE(Inked(otherLabel, 0, &onlyInk)) << "the next label is black again";
    EXPECT_TRUE(onlyInk);
  }
}

TEST_F(Sprite, APsiActorWithAnEmptyNameDrawsNoLabel) {
  Actor psi = {};
  psi.x = 200, psi.y = 150, psi.width = 34, psi.height = 34, psi.direction = 1;
  psi.bitmap = psiSheet_, psi.name = noName;
  DrawActor(psi, frame_, 0, 0, false);
  psi.x = psi.y = 0;
  ExpectOnly(psi, 200, 150, 1, {});
}

TEST(StepAnimation, AWalkerFlipsEveryPeriodAndAStandingActorShowsTheFirstPhase) {
  Actor a = {};
  a.moving = 1, a.animPeriod = 3;
  for (int want : {0, 0, 1, 1, 1, 0}) {
    StepAnimation(a);
    EXPECT_EQ(a.frame, want);
  }
  StepAnimation(a);
  a.moving = 0;
  StepAnimation(a);
  EXPECT_EQ(a.frame, 0);
  EXPECT_EQ(a.animCounter, 0);
}

}  // namespace
