// The frames that quendleframes writes: 24-bit BMP files read into pixels, and
// pictures written back the same way.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

// Pixels 0x00RRGGBB, rows top first.
struct Picture {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;

  uint32_t At(int x, int y) const { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
  uint32_t& At(int x, int y) { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
};

// Nothing when the file is missing or not a 24-bit uncompressed BMP whose rows are all
// there.
std::optional<Picture> ReadPicture(const std::filesystem::path& path);

bool WritePicture(const Picture& picture, const std::filesystem::path& path);
