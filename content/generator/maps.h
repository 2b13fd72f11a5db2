#pragma once

#include <filesystem>

// Writes the ten level files of MapTable (levels/maps/*.lvl) and the background picture each names (images/bg/) into `game`, from the sources in `sources`. Reports
// a problem on standard error and returns false.
bool GenerateMaps(const std::filesystem::path& sources, const std::filesystem::path& game);
