// Sound: wave files and tones, under the Windows names and with the Windows meaning.
//
// What the game may rely on:
// - One sound plays at a time. Every PlaySoundA call ends the sound that was
//   playing, even when its own file cannot play; so does every Beep that plays.
// - No call waits for a sound to finish; every sound plays without waiting, as
//   SND_ASYNC asks.
// - Without an audio device, or with a file that is missing or not a wave file,
//   nothing plays and the call returns FALSE; nothing blocks or stops the program.
// - Every call is safe from any thread.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/wintypes.h"

// The flags of PlaySoundA, which the game always passes together: pszSound is
// always taken as a file name, and no call waits.
#define SND_ASYNC 0x0001
#define SND_FILENAME 0x00020000

// Plays the PCM wave file pszSound (a Windows-style path, see files.h) once,
// converted to the device's format. A NULL pszSound stops the current sound and
// returns TRUE. Otherwise returns TRUE when the sound started playing.
BOOL PlaySoundA(LPCSTR pszSound, HMODULE hmod, DWORD fdwSound);

// Plays a square-wave tone of dwFreq Hz (37 to 32767) for dwDuration milliseconds,
// cut to ten seconds, and returns TRUE when it started. Any other frequency or a
// zero duration plays nothing, leaves the current sound alone and returns FALSE.
BOOL Beep(DWORD dwFreq, DWORD dwDuration);

// ---- For tests only: what the layer hands to the audio device. ----
namespace sound_internal {

// The device plays interleaved signed 16-bit samples at this rate and channel count.
constexpr int kDeviceRate = 44100;
constexpr int kDeviceChannels = 2;

// The sound of the wave file at `path` (a path on this machine) as interleaved
// signed 16-bit samples at `rate` Hz with `channels` channels; empty when the file
// is missing, is not a wave file or holds no sound.
std::vector<int16_t> LoadWavSamples(const char* path, int rate, int channels);

// The samples of the sound most recently started and not stopped or replaced
// since, exactly as handed to the device (it may have played to its end already);
// empty when there is none or no device.
std::vector<int16_t> CurrentSamples();

}  // namespace sound_internal
