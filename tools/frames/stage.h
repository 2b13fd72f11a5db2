// The client's process-wide state set by hand, as the client's tests set it, so that
// the game's own DrawFrame composes a chosen world state into a bitmap of ours.
#pragma once

#include <string>
#include <vector>

#include "platform/windows.h"

// A player of a scene, placed by where it stands in the view.
struct Figure {
  BYTE slot;
  int sx, sy;       // the sprite cell's top-left corner in the view
  short direction;
  BYTE frame;
  BYTE character;   // 1..5
  const char* name;
  BYTE map;         // its MapTable index
};

// A psi projectile; a direction of 2 is idle.
struct Shot {
  int sx, sy;
  short direction;
};

constexpr BYTE kNobody = 255;  // an itSlot that names no slot

struct Scene {
  const char* name;
  BYTE map;           // the local player's map, the level loaded
  int scrollX, scrollY;
  int blink;          // blinkCounter as the window procedure left it for the tick
  BYTE itSlot;
  std::vector<Figure> figures;  // slot 0, the local player, always among them
  Shot shots[3];
  const char* chat[4];
};

// One DrawTextA of a frame: its rectangle, whether it is centred (a label, "IT!") or
// wrapped (a chat line), and its text.
struct TextBox {
  RECT rect;
  bool centred;
  std::string text;
};

// Makes the frame's bitmap and the window its format comes from, and loads the radar,
// the sheets and the main level from the working folder; false when something is
// missing.
bool OpenStage();

// Sets the world to `scene` and draws one frame of it into the stage's bitmap. Without
// texts every name and chat line is empty and nobody on the map is "it" (the
// projectiles still fly), so the frame differs from the one with texts in the pixels
// of the texts alone. False when the scene's level cannot be loaded.
bool Compose(const Scene& scene, bool withTexts);

// The rectangles of the texts that the frame of `scene` draws.
std::vector<TextBox> TextBoxesOf(const Scene& scene);

// Writes the last frame composed to a 24-bit BMP file; false when it cannot.
bool WriteFrame(const char* path);
