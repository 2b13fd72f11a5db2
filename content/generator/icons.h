#pragma once

#include <filesystem>

// Writes the programs' icons into `out` as the hicolor theme lays them out,
// hicolor/NxN/apps/quendle.png and quendlehost.png in the usual sizes, from the game's
// own art: the first character of `sources`/characters.txt for the game, the psi
// projectile for the server. Reports a problem on standard error and returns false.
bool GenerateIcons(const std::filesystem::path& sources, const std::filesystem::path& out);
