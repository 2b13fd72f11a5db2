#pragma once

#include <filesystem>

// Writes the five character sheets, psi.bmp and RADAR.bmp (images/sprites/) into `game`, from the sources in `sources`. Reports
// a problem on standard error and returns false.
bool GenerateSprites(const std::filesystem::path& sources, const std::filesystem::path& game);
