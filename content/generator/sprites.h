#pragma once

#include <filesystem>

#include "content/generator/image.h"

// Writes the five character sheets, psi.bmp and RADAR.bmp (images/sprites/) into `game`, from the sources in `sources`. Reports
// a problem on standard error and returns false.
bool GenerateSprites(const std::filesystem::path& sources, const std::filesystem::path& game);

// The psi projectile in its bright phase, 34 x 34; pixels it does not cover are kClear.
Image BrightPsiOrb();
