#include "tests/support/picture.h"

#include <fstream>
#include <iterator>

namespace {

constexpr size_t kHeaders = 54;  // the file header and the 40-byte info header

uint32_t Field(const std::vector<uint8_t>& bytes, size_t at, size_t size) {
  uint32_t value = 0;
  for (size_t i = 0; i < size; i++) value |= uint32_t(bytes[at + i]) << (8 * i);
  return value;
}

void Put(std::vector<uint8_t>& bytes, size_t at, uint32_t value, size_t size) {
  for (size_t i = 0; i < size; i++) bytes[at + i] = uint8_t(value >> (8 * i));
}

size_t Stride(int width) { return (size_t(width) * 3 + 3) / 4 * 4; }

}  // namespace

std::optional<Picture> ReadPicture(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  if (bytes.size() < kHeaders || bytes[0] != 'B' || bytes[1] != 'M') return std::nullopt;
  const int32_t width = int32_t(Field(bytes, 18, 4)), height = int32_t(Field(bytes, 22, 4));
  const uint32_t offset = Field(bytes, 10, 4);
  if (Field(bytes, 14, 4) != 40 || Field(bytes, 28, 2) != 24 || Field(bytes, 30, 4) != 0) return std::nullopt;
  if (width <= 0 || height <= 0 || width > 4096 || height > 4096) return std::nullopt;
  const size_t stride = Stride(width);
  if (offset < kHeaders || bytes.size() < offset || (bytes.size() - offset) / stride < size_t(height)) {
    return std::nullopt;
  }
  Picture picture{width, height, std::vector<uint32_t>(size_t(width) * size_t(height))};
  for (int y = 0; y < height; y++) {
    const size_t row = offset + size_t(height - 1 - y) * stride;  // bottom row first
    for (int x = 0; x < width; x++) picture.At(x, y) = Field(bytes, row + 3 * size_t(x), 3);
  }
  return picture;
}

bool WritePicture(const Picture& picture, const std::filesystem::path& path) {
  const size_t stride = Stride(picture.width);
  std::vector<uint8_t> bytes(kHeaders + stride * size_t(picture.height));
  bytes[0] = 'B', bytes[1] = 'M';
  Put(bytes, 2, uint32_t(bytes.size()), 4);
  Put(bytes, 10, kHeaders, 4);
  Put(bytes, 14, 40, 4);
  Put(bytes, 18, uint32_t(picture.width), 4);
  Put(bytes, 22, uint32_t(picture.height), 4);
  Put(bytes, 26, 1, 2);
  Put(bytes, 28, 24, 2);
  for (int y = 0; y < picture.height; y++) {
    const size_t row = kHeaders + size_t(picture.height - 1 - y) * stride;
    for (int x = 0; x < picture.width; x++) Put(bytes, row + 3 * size_t(x), picture.At(x, y), 3);
  }
  std::ofstream file(path, std::ios::binary);
  file.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  return bool(file);
}
