#include "platform/sound.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace {

namespace fs = std::filesystem;
using sound_internal::CurrentSamples;
using sound_internal::kDeviceChannels;
using sound_internal::kDeviceRate;
using sound_internal::LoadWavSamples;

constexpr DWORD kPlayFlags = SND_FILENAME | SND_ASYNC;

void PutLittleEndian(std::string& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out += char((value >> (8 * i)) & 0xFF);
}

// A wave file with the 44-byte canonical header. 8-bit samples are unsigned.
std::string Wav(int bits, int channels, int rate, const std::vector<int>& samples,
                int format_tag = 1) {
  std::string data;
  for (int sample : samples) PutLittleEndian(data, uint32_t(sample), bits / 8);
  const int block = channels * bits / 8;
  std::string wav = "RIFF";
  PutLittleEndian(wav, uint32_t(36 + data.size()), 4);
  wav += "WAVEfmt ";
  PutLittleEndian(wav, 16, 4);
  PutLittleEndian(wav, format_tag, 2);
  PutLittleEndian(wav, channels, 2);
  PutLittleEndian(wav, rate, 4);
  PutLittleEndian(wav, rate * block, 4);
  PutLittleEndian(wav, block, 2);
  PutLittleEndian(wav, bits, 2);
  wav += "data";
  PutLittleEndian(wav, uint32_t(data.size()), 4);
  return wav + data;
}

void WriteFile(const fs::path& path, const std::string& bytes) {
  if (path.has_parent_path()) fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << bytes;
}

std::vector<int16_t> DeviceSamples(const char* path) {
  return LoadWavSamples(path, kDeviceRate, kDeviceChannels);
}

// Runs each test in a fresh temporary folder, with the silent audio driver that
// needs no hardware.
class SoundTest : public testing::Test {
 protected:
  void SetUp() override {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    home_ = fs::current_path();
    std::string dir = (fs::temp_directory_path() / "sound_test_XXXXXX").string();
    ASSERT_NE(mkdtemp(dir.data()), nullptr);
    dir_ = dir;
    fs::current_path(dir_);
    // Two different sounds, long enough that neither can be mistaken for the other.
    WriteFile("a.wav", Wav(16, 1, 22050, std::vector<int>(2205, 3000)));
    WriteFile("b.wav", Wav(8, 2, 11025, std::vector<int>(440, 200)));
  }
  void TearDown() override {
    fs::current_path(home_);
    fs::remove_all(dir_);
  }

  fs::path home_;
  fs::path dir_;
};

struct FormatCase {
  const char* name;
  int bits;
  int channels;
  std::vector<int> input;
  int out_channels;
  std::vector<int> expected;
};

TEST_F(SoundTest, ConvertsEachPcmFormatToSigned16Bit) {
  const FormatCase cases[] = {
      {"16-bit stereo", 16, 2, {1000, -1000, 32767, -32768, 0, 5}, 2,
       {1000, -1000, 32767, -32768, 0, 5}},
      {"16-bit mono", 16, 1, {16384, -16384, 1000}, 2,
       {16384, 16384, -16384, -16384, 1000, 1000}},
      {"8-bit mono", 8, 1, {0, 128, 255, 64}, 2,
       {-32768, -32768, 0, 0, 32512, 32512, -16384, -16384}},
      {"8-bit stereo", 8, 2, {0, 255, 128, 192}, 2, {-32768, 32512, 0, 16384}},
      {"16-bit stereo to mono", 16, 2, {1000, 3000, -2000, 2000}, 1, {2000, 0}},
  };
  for (const FormatCase& c : cases) {
    SCOPED_TRACE(c.name);
    WriteFile("format.wav", Wav(c.bits, c.channels, kDeviceRate, c.input));
    const std::vector<int16_t> got = LoadWavSamples("format.wav", kDeviceRate, c.out_channels);
    ASSERT_EQ(got.size(), c.expected.size());
    // SDL converts through floating point, which may lose the lowest bit.
    for (size_t i = 0; i < got.size(); ++i) EXPECT_NEAR(got[i], c.expected[i], 1) << i;
  }
}

TEST_F(SoundTest, ResamplesEveryRateToTheDeviceRate) {
  constexpr int kLevel = 10000;
  for (int rate : {8000, 11025, 22050, 32000, 48000, 96000}) {
    SCOPED_TRACE(rate);
    const size_t frames = size_t(rate) / 10;
    WriteFile("rate.wav", Wav(16, 1, rate, std::vector<int>(frames, kLevel)));
    const std::vector<int16_t> got = DeviceSamples("rate.wav");
    const size_t expected_frames = frames * kDeviceRate / rate;
    ASSERT_EQ(got.size(), expected_frames * kDeviceChannels);
    // A steady level stays steady away from the ends, where the filter rings.
    for (size_t i = expected_frames / 4; i < expected_frames * 3 / 4; ++i) {
      EXPECT_NEAR(got[2 * i], kLevel, 30) << i;
      EXPECT_EQ(got[2 * i], got[2 * i + 1]) << i;
    }
  }
}

TEST_F(SoundTest, PlaysTheConvertedSoundAndANewOneReplacesIt) {
  const std::vector<int16_t> a = DeviceSamples("a.wav");
  const std::vector<int16_t> b = DeviceSamples("b.wav");
  ASSERT_EQ(a.size(), size_t(4410 * 2));
  ASSERT_EQ(b.size(), size_t(880 * 2));

  EXPECT_EQ(PlaySoundA("a.wav", nullptr, kPlayFlags), TRUE);
  EXPECT_EQ(CurrentSamples(), a);
  EXPECT_EQ(PlaySoundA("b.wav", nullptr, kPlayFlags), TRUE);
  EXPECT_EQ(CurrentSamples(), b);
  EXPECT_EQ(PlaySoundA(nullptr, nullptr, 0), TRUE);
  EXPECT_TRUE(CurrentSamples().empty());
}

TEST_F(SoundTest, FindsTheFileWhateverTheCaseAndSeparators) {
  WriteFile("Sounds/Whop2.wav", Wav(16, 2, 44100, {5, 6, 7, 8}));
  EXPECT_EQ(PlaySoundA("SOUNDS\\whop2.WAV", nullptr, kPlayFlags), TRUE);
  EXPECT_EQ(CurrentSamples(), (std::vector<int16_t>{5, 6, 7, 8}));
}

TEST_F(SoundTest, AFileThatIsNoSoundPlaysNothing) {
  const std::string good = Wav(16, 1, 22050, {1, 2, 3, 4});
  WriteFile("garbage.wav", "this is not a wave file at all, only some text");
  WriteFile("cut.wav", good.substr(0, 30));
  WriteFile("empty.wav", Wav(16, 1, 22050, {}));
  WriteFile("compressed.wav", Wav(16, 1, 22050, {1, 2, 3, 4}, 0x55));
  fs::create_directory("folder.wav");
  for (const char* name :
       {"missing.wav", "garbage.wav", "cut.wav", "empty.wav", "compressed.wav", "folder.wav"}) {
    SCOPED_TRACE(name);
    EXPECT_TRUE(DeviceSamples(name).empty());
    ASSERT_EQ(PlaySoundA("a.wav", nullptr, kPlayFlags), TRUE);
    EXPECT_EQ(PlaySoundA(name, nullptr, kPlayFlags), FALSE);
    EXPECT_TRUE(CurrentSamples().empty()) << "the failed call still ends the sound before";
  }
}

TEST_F(SoundTest, BeepPlaysASquareWaveOfTheGivenLength) {
  ASSERT_EQ(Beep(1000, 20), TRUE);
  const std::vector<int16_t> tone = CurrentSamples();
  const size_t frames = kDeviceRate * 20 / 1000;
  ASSERT_EQ(tone.size(), frames * kDeviceChannels);
  int changes = 0;
  for (size_t i = 0; i < frames; ++i) {
    EXPECT_EQ(std::abs(tone[2 * i]), 8192) << i;
    EXPECT_EQ(tone[2 * i], tone[2 * i + 1]) << i;
    if (i > 0 && tone[2 * i] != tone[2 * i - 2]) ++changes;
  }
  EXPECT_EQ(tone[0], 8192);
  // 1000 Hz for 20 ms: 40 half periods, so 39 changes of sign.
  EXPECT_EQ(changes, 39);
}

TEST_F(SoundTest, BeepCutsAVeryLongToneToTenSeconds) {
  ASSERT_EQ(Beep(37, 0xFFFFFFFF), TRUE);
  EXPECT_EQ(CurrentSamples().size(), size_t(kDeviceRate) * 10 * kDeviceChannels);
}

TEST_F(SoundTest, BeepOutsideTheRangeDoesNothing) {
  ASSERT_EQ(PlaySoundA("a.wav", nullptr, kPlayFlags), TRUE);
  const std::vector<int16_t> a = CurrentSamples();
  const DWORD refused[][2] = {{0, 0}, {36, 100}, {32768, 100}, {440, 0}};
  for (const auto& [hz, ms] : refused) {
    SCOPED_TRACE(testing::Message() << hz << " Hz, " << ms << " ms");
    EXPECT_EQ(Beep(hz, ms), FALSE);
    EXPECT_EQ(CurrentSamples(), a);
  }
}

TEST_F(SoundTest, CallsFromSeveralThreadsLeaveOneWholeSound) {
  const std::vector<int16_t> a = DeviceSamples("a.wav");
  const std::vector<int16_t> b = DeviceSamples("b.wav");
  auto play = [](const char* name) {
    for (int i = 0; i < 20; ++i) {
      PlaySoundA(name, nullptr, kPlayFlags);
      Beep(440, 5);
    }
    PlaySoundA(name, nullptr, kPlayFlags);
  };
  std::thread first(play, "a.wav");
  std::thread second(play, "b.wav");
  for (int i = 0; i < 20; ++i) CurrentSamples();
  first.join();
  second.join();
  const std::vector<int16_t> last = CurrentSamples();
  EXPECT_TRUE(last == a || last == b);
}

TEST(SoundDeathTest, WithoutAnAudioDeviceNothingPlays) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  // A fresh process, so that the device is opened for the first time here. A valid
  // beep fails only for want of a device.
  EXPECT_EXIT(
      {
        setenv("SDL_AUDIODRIVER", "none", 1);
        const bool quiet = Beep(440, 100) == FALSE &&
                           PlaySoundA("sounds\\Music.wav", nullptr, kPlayFlags) == FALSE &&
                           PlaySoundA(nullptr, nullptr, 0) == TRUE && CurrentSamples().empty();
        std::exit(quiet ? 0 : 1);
      },
      testing::ExitedWithCode(0), "");
}

}  // namespace
