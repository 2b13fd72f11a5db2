// How long one frame takes to compose: the real main map, fifteen players walking on
// it, three projectiles in flight and four long chat lines. The game ticks every 40 ms.
// Also counts the heap allocations a frame makes.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "client/render/frame.h"
#include "client/shell/shell.h"
#include "client/world/level.h"
#include "client/world/world.h"
#include "platform/testing.h"

namespace {
std::atomic<long> allocations{0};
}  // namespace

// Every allocation of the program goes through here to be counted. GCC takes the free in
// the replaced delete for a mismatch with the replaced new; the two belong together.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(size_t size) {
  allocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }

namespace {

void StartGame() {
  if (chdir(GAME_DIR) != 0) return;
  UseTestDesktop();
  mainWindow = MakeTestWindow(640, 480);
  windowDC = GetDC(mainWindow);
  radarBitmap = LoadBitmapFile("images\\sprites\\RADAR.bmp", windowDC, &radarPalette, &bitmapSizeScratch);
  radarPenBlue = CreatePen(PS_SOLID, 2, RGB(0, 0, 255));
  radarPenGreen = CreatePen(PS_SOLID, 2, RGB(0, 255, 0));
  InitActors();
  InitLocalPlayer();
  LoadLevel(MapTable[0]);
  PlaceLocalPlayer();
  for (int i = 0; i < kPlayerSlots; i++) {
    Actor& p = players[i];
    p.active = 1;
    p.moving = 1;
    p.direction = DirRight;
    p.x = WORD(350 + 30 * i);
    p.y = WORD(200 + 10 * (i % 5));
    snprintf(p.name, kActorNameBuffer, "Player%d", i);
  }
  for (int j = 0; j < kPsiActors; j++) {
    psiActors[j].direction = 0;
    psiActors[j].x = WORD(400 + 60 * j);
    psiActors[j].y = 300;
  }
  for (char* line : chatLines) {
    snprintf(line, kChatLineBuffer, "Player3:&> %s", "run to the fountain, the plaza is safe and nobody can tag you there, hurry up!");
  }
}

void BM_DrawFrame(benchmark::State& state) {
  static bool started = (StartGame(), true);
  (void)started;
  long before = allocations.load();
  for (auto _ : state) {
    blinkCounter++;
    for (int i = 0; i < kPlayerSlots; i++) players[i].x = WORD(350 + 30 * i);  // keep them in view
    DrawFrame();
  }
  state.counters["allocations/frame"] =
      benchmark::Counter(double(allocations.load() - before), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_DrawFrame)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
