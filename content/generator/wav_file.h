#pragma once

#include <filesystem>
#include <vector>

// Writes `samples` (from -1 to 1, cut beyond) as a mono 16-bit PCM wave file at `rate` Hz.
// Returns false when the file cannot be written.
bool WriteWav(const std::filesystem::path& path, const std::vector<float>& samples, int rate);
