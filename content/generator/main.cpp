// Builds the game data: generate_content SOURCE_FOLDER GAME_FOLDER
// Or draws the maps for whoever edits them: generate_content --preview SOURCE_FOLDER OUT_FOLDER
// Or makes the programs' icons for the install: generate_content --icons SOURCE_FOLDER OUT_FOLDER
#include <cstdio>
#include <filesystem>
#include <string_view>

#include "content/generator/icons.h"
#include "content/generator/map_preview.h"
#include "content/generator/maps.h"
#include "content/generator/sounds.h"
#include "content/generator/sprites.h"
#include "content/generator/title.h"

int main(int argc, char** argv) {
  if (argc == 4 && std::string_view(argv[1]) == "--preview") {
    return WriteMapPreviews(std::filesystem::path(argv[2]) / "maps", argv[3]) ? 0 : 1;
  }
  if (argc == 4 && std::string_view(argv[1]) == "--icons") {
    return GenerateIcons(std::filesystem::path(argv[2]) / "sprites", argv[3]) ? 0 : 1;
  }
  if (argc != 3) {
    fprintf(stderr, "usage: %s SOURCE_FOLDER GAME_FOLDER, or %s --preview|--icons SOURCE_FOLDER OUT_FOLDER\n",
            argv[0], argv[0]);
    return 2;
  }
  std::filesystem::path source = argv[1], game = argv[2];
  bool ok = GenerateMaps(source / "maps", game) && GenerateSprites(source / "sprites", game) &&
            GenerateTitle(source / "title", game) && GenerateSounds(source / "sounds", game);
  return ok ? 0 : 1;
}
