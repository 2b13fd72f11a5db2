// The level loader: the input is a level file. The pictures it may name are those of
// the game's levels, as small stand-ins so that every run stays quick.
#include <cstring>
#include <filesystem>

#include "client/shell/shell.h"
#include "client/world/level.h"
#include "fuzz/require.h"
#include "platform/testing.h"
#include "tests/client/render/picture_files.h"

namespace {

constexpr char kLevel[] = "levels\\maps\\fuzz.lvl";

void MakeFolder() {
  static TempFolder folder;
  UseTestDesktop();
  windowDC = CreateCompatibleDC(nullptr);
  for (const auto& entry : std::filesystem::directory_iterator(GAME_DIR "/images/bg")) {
    WriteFile("images/bg" / entry.path().filename(), Bmp24(3, 2, {0xFF0000, 0x00FF00, 0x0000FF, 0, 0, 0xFFFFFF}));
  }
}

// The byte at `offset` of the file, zero past its end: a short file reads as zeros.
BYTE At(const uint8_t* data, size_t size, size_t offset) { return offset < size ? data[offset] : 0; }

// The records are the file's bytes at their offsets, and the radar fits the map.
void CheckLoaded(const uint8_t* data, size_t size) {
  const size_t name = At(data, size, 0);
  Require(mapBitmap != nullptr, "a loaded level has a map");
  Require(obstacleCount == (At(data, size, name + 2) | At(data, size, name + 3) << 8) &&
              doorCount == At(data, size, name + 4),
          "the counts are read");
  const size_t records = name + 5, obstacleBytes = sizeof(Obstacle) * obstacleCount;
  const auto* obstacleData = reinterpret_cast<const BYTE*>(obstacles);
  const auto* doorData = reinterpret_cast<const BYTE*>(doors);
  for (size_t i = 0; i < obstacleBytes; i++) Require(obstacleData[i] == At(data, size, records + i), "obstacles");
  for (size_t i = 0; i < sizeof(Door) * doorCount; i++) {
    Require(doorData[i] == At(data, size, records + obstacleBytes + i), "doors");
  }
  Require(radarWidth == mapWidth / 20 && radarHeight == mapHeight / 20 && radarX == 640 - radarWidth - 20 &&
              radarY == 380 - radarHeight - 20,
          "the radar follows the map");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  MakeFolder();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  WriteFile("levels/maps/fuzz.lvl", Bytes(data, data + size));
  const int result = LoadLevel(kLevel);
  Require(result == 0 || result == 1, "LoadLevel gives 0 or 1");
  if (result == 0) CheckLoaded(data, size);
  // Each load makes a palette that the game keeps; here it would only pile up.
  if (mapPalette) DeleteObject(mapPalette);
  mapPalette = nullptr;
  return 0;
}
