#include "content/generator/sounds.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "content/generator/sound_score.h"
#include "content/generator/sound_synth.h"
#include "platform/sound.h"

namespace {

namespace fs = std::filesystem;
using sound_internal::kDeviceChannels;
using sound_internal::kDeviceRate;

// Five lines that every score below starts with: eighth-note steps at 120 beats a minute,
// four steps a bar.
const std::string kHead = "tempo 120\nbeat 2\nbar 4\nvoice tune square 0.5\nvoice drum drums 0.5\n";

std::optional<Tune> Read(const std::string& score, std::string& error) {
  std::istringstream in(score);
  return ReadScore(in, error);
}

std::string FileBytes(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), {}};
}

// The level of `samples` from `first` up to `end` as a root mean square.
double Rms(const std::vector<int16_t>& samples, size_t first, size_t end) {
  double sum = 0;
  for (size_t i = first; i < end; ++i) sum += double(samples[i]) * samples[i];
  return end > first ? std::sqrt(sum / double(end - first)) : 0;
}

TEST(ScoreTest, PlaysThePartsInSongOrder) {
  std::string error;
  const std::optional<Tune> tune = Read(kHead +
                                            "part a   # a comment; F#5 below is a sharp\n"
                                            "tune | C4 - . F#5 |\n"
                                            "tune | - Bb3 - - |\n"
                                            "drum | k s h . | . . . k |\n"
                                            "part b\n"
                                            "tune | A4 . . . |\n"
                                            "song a b a\n",
                                        error);
  ASSERT_TRUE(tune) << error;
  EXPECT_DOUBLE_EQ(tune->step_seconds, 0.25);
  EXPECT_EQ(tune->steps, 20);
  ASSERT_EQ(tune->voices.size(), 2u);
  EXPECT_EQ(tune->voices[1].name, "drum");
  EXPECT_EQ(tune->voices[1].instrument, Instrument::kDrums);
  EXPECT_DOUBLE_EQ(tune->voices[1].volume, 0.5);
  const std::vector<Note> part_a = {{0, 0, 2, 60},    {0, 3, 2, 78},     {0, 5, 3, 58},
                                    {1, 0, 1, kKick}, {1, 1, 1, kSnare}, {1, 2, 1, kHat},
                                    {1, 7, 1, kKick}};
  std::vector<Note> expected = part_a;
  expected.push_back({0, 8, 1, 69});
  for (Note note : part_a) {
    note.start += 12;
    expected.push_back(note);
  }
  EXPECT_EQ(tune->notes, expected);
}

struct BadScore {
  std::string lines;  // after kHead
  std::string error;
};

void PrintTo(const BadScore& score, std::ostream* out) { *out << score.error; }

class BadScoreTest : public testing::TestWithParam<BadScore> {};

TEST_P(BadScoreTest, NamesTheLineAtFault) {
  std::string error;
  EXPECT_FALSE(Read(kHead + GetParam().lines, error));
  EXPECT_EQ(error, GetParam().error);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BadScoreTest,
    testing::Values(
        BadScore{"part a\ntune | C4 - - - | C4 - - |\nsong a\n",
                 "line 7: bar 2 of tune has 3 steps, not 4"},
        BadScore{"part a\ntune | C4 - - - C4 |\nsong a\n",
                 "line 7: bar 1 of tune has 5 steps, not 4"},
        BadScore{"part a\ntune | C4 - - - \nsong a\n",
                 "line 7: the bars of tune must start and end with |"},
        BadScore{"part a\ntune | H4 . . . |\nsong a\n", "line 7: 'H4' is no note"},
        BadScore{"part a\ntune | C9 . . . |\nsong a\n", "line 7: 'C9' is no note"},
        BadScore{"part a\ntune | k . . . |\nsong a\n", "line 7: 'k' is no note"},
        BadScore{"part a\ndrum | C4 . . . |\nsong a\n", "line 7: 'C4' is no drum"},
        BadScore{"part a\ntune | . - . . |\nsong a\n", "line 7: '-' holds no note"},
        BadScore{"part a\ndrum | k - . . |\nsong a\n", "line 7: '-' holds no note"},
        BadScore{"part a\ntune | C4 . . . |\ndrum | k . . . | k . . . |\nsong a\n",
                 "line 6: in part a, tune is shorter than the rest"},
        BadScore{"part a\nsong a\n", "line 6: part a has no bars"},
        BadScore{"part a\ntune | C4 . . . |\nsong a b\n", "line 8: the song names no part b"},
        BadScore{"part a\ntune | C4 . . . |\n", "the score has no song line"},
        BadScore{"part a\ntune | C4 . . . |\nsong a\npart b\n",
                 "line 9: nothing may follow the song"},
        BadScore{"tune | C4 . . . |\n", "line 6: the bars of tune come before any part"},
        BadScore{"part a\nflute | C4 . . . |\n", "line 7: 'flute' is no voice and no keyword"},
        BadScore{"voice x kazoo 0.5\n", "line 6: 'kazoo' is no instrument"},
        BadScore{"voice x square 1.5\n", "line 6: '1.5' is no volume from 0 to 1"},
        BadScore{"voice tune square 0.5\n", "line 6: voice tune is named twice"},
        BadScore{"voice bar square 0.5\n", "line 6: 'bar' is a keyword, not a name"},
        BadScore{"tempo fast\n", "line 6: 'fast' is no fitting tempo"},
        BadScore{"part a\ntune | C4 . . . |\nbar 8\n", "line 8: bar must come before the parts"},
        BadScore{"part a\ntune | C4 . . . |\npart a\n", "line 8: part a is named twice"},
        BadScore{"tempo 1\nbeat 1\nbar 1\npart a\ntune | C4 |\nsong a a a a a a a a a a a\n",
                 "line 11: the song lasts longer than 600 seconds"}));

TEST(ScoreTest, WantsTheSettingsBeforeTheFirstPart) {
  std::string error;
  EXPECT_FALSE(Read("voice tune square 0.5\npart a\n", error));
  EXPECT_EQ(error, "line 2: tempo, beat and bar must come before the first part");
}

TEST(SynthTest, PlaysANoteAtItsStepAndPitch) {
  std::string error;
  const std::optional<Tune> tune = Read(kHead + "part a\ntune | . A4 - - |\nsong a\n", error);
  ASSERT_TRUE(tune) << error;
  const std::vector<float> samples = RenderTune(*tune);
  ASSERT_GE(samples.size(), size_t(kSampleRate));  // four steps of a quarter second
  const size_t start = kSampleRate / 4;
  EXPECT_TRUE(
      std::all_of(samples.begin(), samples.begin() + start, [](float s) { return s == 0; }));
  // A4 is 440 Hz: a square wave changes sign 88 times in 0.1 s.
  int changes = 0;
  for (size_t i = start + kSampleRate / 10; i < start + kSampleRate / 5; ++i) {
    changes += (samples[i] < 0) != (samples[i + 1] < 0);
  }
  EXPECT_NEAR(changes, 88, 2);
  const float loudest = *std::max_element(
      samples.begin(), samples.end(), [](float a, float b) { return std::abs(a) < std::abs(b); });
  EXPECT_NEAR(std::abs(loudest), 0.89, 0.01);
}

// The generated files, as the build wrote them into the game folder.
class GeneratedSoundTest : public testing::TestWithParam<const char*> {};

// The header that the generator writes: RIFF, a 16-byte PCM format and the data right after.
TEST_P(GeneratedSoundTest, IsAPlainPcmWaveFile) {
  const std::string bytes = FileBytes(fs::path(GAME_DIR) / "sounds" / GetParam());
  ASSERT_GT(bytes.size(), 44u);
  auto number = [&](size_t at, int size) {
    uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i) value = value << 8 | uint8_t(bytes[at + i]);
    return value;
  };
  EXPECT_EQ(bytes.substr(0, 4), "RIFF");
  EXPECT_EQ(number(4, 4), bytes.size() - 8);
  EXPECT_EQ(bytes.substr(8, 8), "WAVEfmt ");
  EXPECT_EQ(number(16, 4), 16u);
  EXPECT_EQ(number(20, 2), 1u);  // PCM
  const uint32_t channels = number(22, 2), rate = number(24, 4);
  EXPECT_TRUE(channels == 1 || channels == 2);
  EXPECT_TRUE(rate == 22050 || rate == 44100);
  EXPECT_EQ(number(28, 4), rate * channels * 2);
  EXPECT_EQ(number(32, 2), channels * 2);
  EXPECT_EQ(number(34, 2), 16u);
  EXPECT_EQ(bytes.substr(36, 4), "data");
  EXPECT_EQ(number(40, 4), bytes.size() - 44);
}

TEST_P(GeneratedSoundTest, ComesOutTheSameEveryTime) {
  std::string dir = (fs::temp_directory_path() / "sounds_test_XXXXXX").string();
  ASSERT_NE(mkdtemp(dir.data()), nullptr);
  ASSERT_TRUE(GenerateSounds(std::filesystem::path(CONTENT_DIR) / "sounds", dir));
  const fs::path name = fs::path("sounds") / GetParam();
  EXPECT_EQ(FileBytes(dir / name), FileBytes(fs::path(GAME_DIR) / name));
  fs::remove_all(dir);
}

INSTANTIATE_TEST_SUITE_P(BothSounds, GeneratedSoundTest, testing::Values("Music.wav", "Whop2.wav"));

std::vector<int16_t> AsPlayed(const char* name) {
  const std::string path = (fs::path(GAME_DIR) / "sounds" / name).string();
  return sound_internal::LoadWavSamples(path.c_str(), kDeviceRate, kDeviceChannels);
}

TEST(GeneratedMusicTest, PlaysLongAndLoudWithoutClipping) {
  const std::vector<int16_t> music = AsPlayed("Music.wav");
  const double seconds = double(music.size()) / kDeviceChannels / kDeviceRate;
  EXPECT_GE(seconds, 24);
  EXPECT_LE(seconds, 40);
  EXPECT_GT(Rms(music, 0, music.size()), 3000);
  size_t run = 0, longest_run = 0;
  for (int16_t sample : music) {
    run = sample >= 32767 || sample <= -32767 ? run + 1 : 0;
    longest_run = std::max(longest_run, run);
  }
  EXPECT_LE(longest_run, 2u);
}

TEST(GeneratedWhopTest, IsShortAndLoudAtOnce) {
  const std::vector<int16_t> whop = AsPlayed("Whop2.wav");
  const double seconds = double(whop.size()) / kDeviceChannels / kDeviceRate;
  EXPECT_GE(seconds, 0.2);
  EXPECT_LE(seconds, 0.4);
  const size_t first_50ms = kDeviceChannels * kDeviceRate / 20;
  ASSERT_GT(whop.size(), 2 * first_50ms);
  const double start = Rms(whop, 0, first_50ms);
  EXPECT_GT(start, 8000);
  EXPECT_GT(start, 3 * Rms(whop, whop.size() - first_50ms, whop.size()));
}

}  // namespace
