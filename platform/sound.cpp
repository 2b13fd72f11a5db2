#include "platform/sound.h"

#include <SDL.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <mutex>

#include "platform/files.h"

using sound_internal::kDeviceChannels;
using sound_internal::kDeviceRate;

namespace {

constexpr DWORD kLowestBeepHz = 37;
constexpr DWORD kHighestBeepHz = 32767;
constexpr DWORD kLongestBeepMs = 10000;  // a wild duration must not exhaust memory
constexpr int16_t kBeepLevel = 8192;     // a quarter of full scale

// The one audio device and the sound it plays.
class Player {
 public:
  Player();

  // Replaces the current sound with the samples that make() returns (empty for
  // silence) and returns whether a sound plays now. Does nothing but return false
  // without a device. make() runs under the lock: SDL sets up its converters on
  // first use without a lock of its own.
  template <typename Make>
  bool Play(Make make);

  std::vector<int16_t> Current();

 private:
  static void SDLCALL Fill(void* player, Uint8* out, int len);

  SDL_AudioDeviceID device_ = 0;  // 0 when no device could be opened
  std::mutex mutex_;              // serialises Play and Current
  // Read and advanced by Fill on the audio thread; changed only under both
  // mutex_ and the device lock.
  std::vector<int16_t> samples_;
  size_t next_ = 0;
};

Player::Player() {
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return;
  SDL_AudioSpec want{};
  want.freq = kDeviceRate;
  want.format = AUDIO_S16SYS;
  want.channels = kDeviceChannels;
  want.samples = 1024;
  want.callback = Fill;
  want.userdata = this;
  // Without an `obtained` format SDL converts to whatever the hardware takes.
  device_ = SDL_OpenAudioDevice(nullptr, 0, &want, nullptr, 0);
  if (device_ == 0) {
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return;
  }
  SDL_PauseAudioDevice(device_, 0);
}

// SDL keeps per-thread storage that it frees only for threads it started itself; a
// game thread that plays a sound (the network thread) gives it back each time.
void ReleaseThreadStorage() {
  if (gettid() != getpid()) SDL_TLSCleanup();
}

template <typename Make>
bool Player::Play(Make make) {
  std::lock_guard lock(mutex_);
  if (device_ == 0) {
    ReleaseThreadStorage();
    return false;
  }
  std::vector<int16_t> samples = make();
  SDL_LockAudioDevice(device_);
  samples_.swap(samples);
  next_ = 0;
  SDL_UnlockAudioDevice(device_);
  ReleaseThreadStorage();
  return !samples_.empty();
}  // the old sound is freed here, outside the device lock

std::vector<int16_t> Player::Current() {
  std::lock_guard lock(mutex_);
  return samples_;
}

void Player::Fill(void* player, Uint8* out, int len) {
  Player& self = *static_cast<Player*>(player);
  const size_t room = size_t(len) / sizeof(int16_t);
  const size_t count = std::min(room, self.samples_.size() - self.next_);
  const auto* first = reinterpret_cast<const Uint8*>(self.samples_.data() + self.next_);
  const size_t bytes = count * sizeof(int16_t);
  std::copy_n(first, bytes, out);
  std::fill(out + bytes, out + len, 0);  // silence after the end
  self.next_ += count;
}

// Created on first use and never destroyed: the audio thread may still call Fill
// while the program exits.
Player& ThePlayer() {
  static Player& player = *new Player;
  return player;
}

// `length` bytes of sound in `from`'s format as signed 16-bit samples.
std::vector<int16_t> Convert(const SDL_AudioSpec& from, const Uint8* data, Uint32 length,
                             int rate, int channels) {
  SDL_AudioCVT cvt;
  if (SDL_BuildAudioCVT(&cvt, from.format, from.channels, from.freq, AUDIO_S16SYS, channels,
                        rate) < 0) {
    return {};
  }
  // SDL converts in place, in a buffer len_mult times the size of the input.
  if (length == 0 || length > Uint32(INT_MAX / cvt.len_mult)) return {};
  std::vector<int16_t> samples((size_t(length) * cvt.len_mult + 1) / sizeof(int16_t));
  std::memcpy(samples.data(), data, length);
  cvt.buf = reinterpret_cast<Uint8*>(samples.data());
  cvt.len = int(length);
  if (SDL_ConvertAudio(&cvt) != 0) return {};
  samples.resize(size_t(cvt.len_cvt) / sizeof(int16_t));
  return samples;
}

// Interleaved device samples of a square wave that changes sign 2 * hz times a second.
std::vector<int16_t> SquareWave(DWORD hz, DWORD ms) {
  const uint64_t frames = uint64_t(kDeviceRate) * ms / 1000;
  std::vector<int16_t> samples;
  samples.reserve(frames * kDeviceChannels);
  for (uint64_t i = 0; i < frames; ++i) {
    const bool high = (i * hz * 2 / kDeviceRate) % 2 == 0;
    samples.insert(samples.end(), kDeviceChannels, high ? kBeepLevel : -kBeepLevel);
  }
  return samples;
}

}  // namespace

namespace sound_internal {

std::vector<int16_t> LoadWavSamples(const char* path, int rate, int channels) {
  SDL_AudioSpec stored;
  Uint8* data = nullptr;
  Uint32 length = 0;
  if (!SDL_LoadWAV(path, &stored, &data, &length)) return {};
  std::vector<int16_t> samples = Convert(stored, data, length, rate, channels);
  SDL_FreeWAV(data);
  return samples;
}

std::vector<int16_t> CurrentSamples() { return ThePlayer().Current(); }

}  // namespace sound_internal

BOOL PlaySoundA(LPCSTR pszSound, HMODULE, DWORD) {
  if (!pszSound) {
    ThePlayer().Play([] { return std::vector<int16_t>(); });
    return TRUE;
  }
  return ThePlayer().Play([pszSound] {
    return sound_internal::LoadWavSamples(ResolvePath(pszSound).c_str(), kDeviceRate,
                                          kDeviceChannels);
  });
}

BOOL Beep(DWORD dwFreq, DWORD dwDuration) {
  if (dwFreq < kLowestBeepHz || dwFreq > kHighestBeepHz || dwDuration == 0) return FALSE;
  return ThePlayer().Play(
      [=] { return SquareWave(dwFreq, std::min(dwDuration, kLongestBeepMs)); });
}
