#include "client/render/sprite.h"

namespace {

constexpr COLORREF kGold = 0x0096AF;
// Counts the draws of "it" for the marker's blink: black for three, gold for five.
int itBlinkCounter = 0;

// The label's box, 122 x 25 pixels centred over a 32-pixel cell.
RECT LabelBox(int sx, int sy) { return {sx - 45, sy - 15, sx + 77, sy + 10}; }

}  // namespace

void DrawActor(const Actor& actor, HDC dc, int scrollX, int scrollY, bool isIt) {
  int sx = actor.x - scrollX, sy = actor.y - scrollY;
  int width = actor.width, height = actor.height;
  HDC sheet = CreateCompatibleDC(dc);
  HGDIOBJ previousSheet = SelectObject(sheet, actor.bitmap);
  HDC scratch = CreateCompatibleDC(dc);
  HBITMAP scratchBitmap = CreateCompatibleBitmap(dc, width, height);
  HGDIOBJ previousScratch = SelectObject(scratch, scratchBitmap);

  int cell = actor.direction + 4 * (actor.frame ? 1 : 0);
  int column = 1 + cell * (width + 1);
  BitBlt(scratch, 0, 0, width, height, dc, sx, sy, SRCCOPY);
  BitBlt(scratch, 0, 0, width, height, sheet, column, height + 2, SRCAND);
  BitBlt(scratch, 0, 0, width, height, sheet, column, 1, SRCPAINT);
  BitBlt(dc, sx, sy, width, height, scratch, 0, 0, SRCCOPY);

  SetBkMode(dc, TRANSPARENT);
  RECT label = LabelBox(sx, sy);
  if (actor.name) DrawTextA(dc, actor.name, -1, &label, DT_CENTER);
  if (isIt) {
    itBlinkCounter++;
    label.top = sy - 30;
    label.bottom = sy;
    if (itBlinkCounter > 3) SetTextColor(dc, kGold);
    if (itBlinkCounter > 7) itBlinkCounter = 0;
    DrawTextA(dc, "IT!", 3, &label, DT_CENTER);
    SetTextColor(dc, RGB(0, 0, 0));
  }

  SelectObject(sheet, previousSheet);
  SelectObject(scratch, previousScratch);
  DeleteDC(sheet);
  DeleteDC(scratch);
  DeleteObject(scratchBitmap);
}

void StepAnimation(Actor& actor) {
  if (!actor.moving) {
    actor.frame = 0;
    actor.animCounter = 0;
    return;
  }
  actor.animCounter++;
  if (actor.animCounter >= actor.animPeriod) {
    actor.frame = actor.frame == 0 ? 1 : 0;
    actor.animCounter = 0;
  }
}
