// How long the game takes from its start to the title picture in its window: the window
// and its controls, every picture and sprite sheet, the world, the main level, the music
// and the first paint. The start-up fills process-wide state, so each start runs in a
// process of its own; the time includes making and ending that process.
#include <benchmark/benchmark.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

#include "client/shell/shell.h"
#include "platform/gdi_objects.h"
#include "platform/testing.h"

namespace {

// The title's pixel in the middle of the play view once the window has painted.
bool StartAndPaintTitle() {
  if (chdir(GAME_DIR) != 0) return false;
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  UseTestDesktop();
  if (!RegisterClientClass(nullptr) || !OpenMainWindow(nullptr, SW_SHOW)) return false;
  PumpMessages();
  const uint32_t shown = WindowPixel(mainWindow, 320, 190);
  HDC title = CreateCompatibleDC(windowDC);
  SelectObject(title, titleBitmap);
  std::lock_guard lock(GdiMutex());
  const Pixmap* picture = LockedTargetOf(title);
  return picture && shown == picture->pixels[190 * size_t(picture->width) + 320];
}

void BM_StartUpToTitle(benchmark::State& state) {
  for (auto _ : state) {
    pid_t child = fork();
    if (child == 0) _exit(StartAndPaintTitle() ? 0 : 1);
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
      state.SkipWithError("the game did not show its title");
      break;
    }
  }
}
BENCHMARK(BM_StartUpToTitle)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
