#include "content/generator/wav_file.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>

namespace {

constexpr int kChannels = 1;
constexpr int kBytesASample = 2;
constexpr uint32_t kHeaderBytes = 44;  // RIFF, fmt and data headers of the plain form

void Put(std::vector<uint8_t>& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(uint8_t(value >> (8 * i)));
}

// A chunk's four-letter name.
void Put(std::vector<uint8_t>& out, const char (&tag)[5]) {
  for (int i = 0; i < 4; ++i) out.push_back(uint8_t(tag[i]));
}

}  // namespace

bool WriteWav(const std::filesystem::path& path, const std::vector<float>& samples, int rate) {
  const uint32_t data_bytes = uint32_t(samples.size() * kBytesASample);
  std::vector<uint8_t> out;
  out.reserve(kHeaderBytes + data_bytes);
  Put(out, "RIFF");
  Put(out, kHeaderBytes - 8 + data_bytes, 4);
  Put(out, "WAVE");
  Put(out, "fmt ");
  Put(out, 16, 4);  // the size of the format below
  Put(out, 1, 2);   // PCM
  Put(out, kChannels, 2);
  Put(out, uint32_t(rate), 4);
  Put(out, uint32_t(rate * kChannels * kBytesASample), 4);
  Put(out, kChannels * kBytesASample, 2);
  Put(out, 8 * kBytesASample, 2);
  Put(out, "data");
  Put(out, data_bytes, 4);
  for (float sample : samples) {
    Put(out, uint16_t(int16_t(std::lround(std::clamp(sample, -1.0f, 1.0f) * 32767))), 2);
  }
  std::ofstream file(path, std::ios::binary);
  file.write(reinterpret_cast<const char*>(out.data()), std::streamsize(out.size()));
  return bool(file);
}
