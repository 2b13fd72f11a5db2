#pragma once

#include <filesystem>

// Writes sounds/Music.wav and sounds/Whop2.wav into `game`, from the sources in `sources`. Reports
// a problem on standard error and returns false.
bool GenerateSounds(const std::filesystem::path& sources, const std::filesystem::path& game);
