#include "content/generator/sounds.h"

#include <cstdio>
#include <fstream>
#include <optional>
#include <string>
#include <system_error>

#include "content/generator/sound_score.h"
#include "content/generator/sound_synth.h"
#include "content/generator/wav_file.h"

namespace fs = std::filesystem;

namespace {

std::optional<Tune> ReadScoreFile(const fs::path& path) {
  std::ifstream file(path);
  if (!file) {
    fprintf(stderr, "%s: cannot be read\n", path.c_str());
    return {};
  }
  std::string error;
  std::optional<Tune> tune = ReadScore(file, error);
  if (!tune) fprintf(stderr, "%s: %s\n", path.c_str(), error.c_str());
  return tune;
}

bool Write(const fs::path& path, const std::vector<float>& samples) {
  if (WriteWav(path, samples, kSampleRate)) return true;
  fprintf(stderr, "%s: cannot be written\n", path.c_str());
  return false;
}

}  // namespace

bool GenerateSounds(const fs::path& sources, const fs::path& game) {
  const std::optional<Tune> tune = ReadScoreFile(sources / "music.txt");
  if (!tune) return false;
  std::error_code ignored;  // a folder that cannot be made shows as a file that cannot be written
  fs::create_directories(game / "sounds", ignored);
  return Write(game / "sounds" / "Music.wav", RenderTune(*tune)) &&
         Write(game / "sounds" / "Whop2.wav", RenderWhop());
}
