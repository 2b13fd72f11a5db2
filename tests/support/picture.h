// Pictures of frames and windows: pixels, read from and written to 24-bit BMP files
// (quendleframes writes its frames so; the tests leave pictures so for a person).
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
