#include "tools/frames/scenes.h"

#include "client/world/world.h"

namespace {

// Chat lines as the client keeps them: the speaker's name, ":&> " and the text.
const char kHello[] = "Tovi:&> hello, who is it?";
const char kTagged[] = "Mirra:&> me & nobody else";
const char kRun[] = "Gast:&> run && hide!";
const char kLong[] =
    "Quel:&> a long line of chat that goes on past the right edge of the view, so that it wraps onto the "
    "rows below it, where the next chat line may draw over it";
const char kWide[] =
    "Quel:&> WWWWWW MMMMMM WWWWWW MMMMMM WWWWWW MMMMMM WWWWWW MMMMMM WWWWWW MMMMMM WWWWWW MMMMMM WWWWWW "
    "MMMMMM WWWWWW MMMMMM WWWWWW MMMMMM WWWWWW MMMMMM";
const char kOneWord[] = "Gast:&> WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW";

constexpr Shot kIdle = {0, 0, 2};

// Three players about the local one, "it" among them, and a projectile in flight.
Scene Blink(int value) {
  static const char* const names[8] = {"blink-1", "blink-2", "blink-3", "blink-4",
                                       "blink-5", "blink-6", "blink-7", "blink-8"};
  return {names[value - 1], 0, 40, 0, value, 3,
          {{0, 310, 200, DirDown, 0, 1, "Tovi", 0},
           {3, 150, 120, DirRight, 1, 2, "Mirra", 0},
           {5, 450, 250, DirUpLeft, 0, 3, "Gast", 0},
           {9, 200, 300, DirLeft, 0, 4, "Quel", 5}},
          {{220, 150, 0}, kIdle, kIdle},
          {kHello, kTagged, kRun, nullptr}};
}

// The local player and two others on `map`, one of them "it"; scrolled to its corner.
Scene Radar(const char* name, BYTE map, int scroll) {
  return {name, map, scroll, 0, 5, 1,
          {{0, 120, 80, DirDown, 0, 1, "Tovi", map},
           {1, 260, 150, DirRight, 0, 2, "Mirra", map},
           {2, 60, 200, DirUp, 1, 5, "Pip", map},
           {3, 300, 100, DirLeft, 0, 3, "Away", BYTE(map == 0 ? 1 : 0)}},
          {kIdle, kIdle, kIdle},
          {kHello, nullptr, nullptr, nullptr}};
}

// Chat only, in the opaque (blink 5) or transparent (blink 1) phase.
Scene Chat(const char* name, int blink, const char* a, const char* b, const char* c, const char* d) {
  return {name, 0, 40, 0, blink, kNobody, {{0, 310, 200, DirDown, 0, 1, "Tovi", 0}}, {kIdle, kIdle, kIdle},
          {a, b, c, d}};
}

std::vector<Scene> MakeScenes() {
  std::vector<Scene> scenes;
  for (int value = 1; value <= 8; value++) scenes.push_back(Blink(value));

  // Half out of the view on each side; names long enough to be cut with the sprite.
  scenes.push_back({"edges-sides", 0, 200, 200, 1, 4,
                    {{0, 310, 170, DirDown, 0, 1, "Tovi", 0},
                     {1, -16, 150, DirLeft, 0, 2, "Leftmost", 0},
                     {2, 624, 150, DirRight, 1, 3, "Rightmost", 0},
                     {3, 300, -24, DirUp, 0, 4, "Topmost", 0},
                     {4, 300, 356, DirDown, 1, 5, "Bottom", 0},
                     {5, 480, 372, DirDown, 0, 2, "Below", 0}},
                    {kIdle, kIdle, kIdle},
                    {kHello, nullptr, nullptr, nullptr}});
  // In the corners, and "it" so near the top that its marker is cut.
  scenes.push_back({"edges-corners", 0, 200, 200, 5, 5,
                    {{0, 310, 170, DirDown, 0, 1, "Tovi", 0},
                     {1, -20, -30, DirUpLeft, 0, 2, "Corner1", 0},
                     {2, 628, -30, DirUpRight, 1, 3, "Corner2", 0},
                     {3, -20, 350, DirDownLeft, 0, 4, "Corner3", 0},
                     {4, 628, 350, DirDownRight, 1, 5, "Corner4", 0},
                     {5, 150, 20, DirDown, 0, 2, "Topper", 0}},
                    {{-17, 100, 0}, {620, 200, 1}, kIdle},
                    {nullptr, nullptr, nullptr, nullptr}});
  // Fourteen players across the view in three rows, neighbours overlapping, every sheet
  // and every cell; their names stay apart.
  static const char* const crowdNames[14] = {"Tovi", "Ann", "Bo&Cy", "Dee", "Eli", "Fay&&Gus", "Hal",
                                             "Ivy",  "Jo",  "Kit",   "Lu&", "Max", "Ned",      "Oz"};
  static const short directions[8] = {DirDown,     DirLeft,   DirUp,      DirRight,
                                      DirDownLeft, DirUpLeft, DirUpRight, DirDownRight};
  std::vector<Figure> crowd;
  for (BYTE i = 0; i < 14; i++) {
    crowd.push_back({i, 20 + 44 * i, 60 + 100 * (i % 3) + 7 * (i % 2), directions[i % 8], BYTE(i % 2),
                     BYTE(1 + i % 5), crowdNames[i], 0});
  }
  scenes.push_back({"across", 0, 400, 300, 2, 7, crowd, {{100, 40, 0}, {330, 260, 1}, {560, 150, 0}},
                    {nullptr, nullptr, nullptr, nullptr}});

  // Projectiles in either cell and idle; then "it" on another map, so none are drawn.
  scenes.push_back({"projectiles", 0, 40, 0, 6, 1,
                    {{0, 310, 200, DirDown, 0, 1, "Tovi", 0}, {1, 100, 100, DirRight, 0, 2, "Mirra", 0}},
                    {{200, 120, 0}, {260, 120, 1}, {320, 120, 2}},
                    {nullptr, nullptr, nullptr, nullptr}});
  scenes.push_back({"projectiles-elsewhere", 0, 40, 0, 6, 1,
                    {{0, 310, 200, DirDown, 0, 1, "Tovi", 0}, {1, 100, 100, DirRight, 0, 2, "Mirra", 3}},
                    {{200, 120, 0}, {260, 120, 1}, {320, 120, 2}},
                    {nullptr, nullptr, nullptr, nullptr}});

  static const char* const radarNames[kMapCount] = {
      "radar-main",   "radar-drugstore", "radar-burger",     "radar-townhall",     "radar-arcade",
      "radar-hospital", "radar-arcade2", "radar-townhall2", "radar-townhall3", "radar-mayoroffice"};
  for (BYTE map = 0; map < kMapCount; map++) scenes.push_back(Radar(radarNames[map], map, map == 0 ? 40 : 0));

  scenes.push_back(Chat("chat-ampersands", 5, "Wyn:&> fish & chips", "Ash:&> R&&D && more", "Bo:&> &Go now",
                        "Cy:&> see you &"));
  scenes.push_back(Chat("chat-ampersands-clear", 1, "Wyn:&> fish & chips", "Ash:&> R&&D && more", "Bo:&> &Go now",
                        "Cy:&> see you &"));
  scenes.push_back(Chat("chat-wrap", 5, kLong, kHello, kOneWord, kTagged));
  scenes.push_back(Chat("chat-wrap-clear", 8, kLong, kHello, kOneWord, kTagged));
  scenes.push_back(Chat("chat-cut", 4, kHello, kLong, kLong, kWide));
  scenes.push_back(Chat("chat-cut-clear", 2, kHello, kLong, kLong, kWide));

  scenes.push_back({"names-ampersand", 0, 40, 0, 7, 2,
                    {{0, 310, 200, DirDown, 0, 1, "Tovi&", 0},
                     {1, 80, 100, DirRight, 0, 2, "Ben&Jo", 0},
                     {2, 240, 100, DirLeft, 1, 3, "R&&D", 0},
                     {3, 400, 100, DirUp, 0, 4, "&Zed", 0},
                     {4, 540, 100, DirDown, 1, 5, "&&&&", 0},
                     {5, 160, 280, DirRight, 0, 2, "a&b&&c", 0}},
                    {kIdle, kIdle, kIdle},
                    {nullptr, nullptr, nullptr, nullptr}});
  return scenes;
}

}  // namespace

const std::vector<Scene>& Scenes() {
  static const std::vector<Scene> scenes = MakeScenes();
  return scenes;
}
