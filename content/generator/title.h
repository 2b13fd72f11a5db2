#pragma once

#include <filesystem>

// Writes brambleduck.bmp, the 640 x 380 title picture into `game`, from the sources in `sources`. Reports
// a problem on standard error and returns false.
bool GenerateTitle(const std::filesystem::path& sources, const std::filesystem::path& game);
