#include "content/generator/sound_synth.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kPeak = 0.89;        // about 1 dB below full scale
constexpr double kTailSeconds = 0.4;  // for the last drums to die away

// Every note: a quick rise, a fall from its first blow to its sustain level, and a short fade
// at its end so that repeated notes stay apart.
constexpr double kAttack = 0.004;
constexpr double kDecay = 0.12;
constexpr double kRelease = 0.025;

// Pulse voices waver a little once a note has been held for a while.
constexpr double kVibratoDelay = 0.18;
constexpr double kVibratoHz = 5.5;
constexpr double kVibratoDepth = 0.004;

constexpr double kWhopSeconds = 0.3;
constexpr double kWhopHighHz = 900;
constexpr double kWhopLowHz = 110;
constexpr double kWhopSweepLevel = 0.6;
constexpr double kWhopThumpLevel = 0.9;

struct Tone {
  double duty;     // of a pulse wave; 0 makes a triangle
  double sustain;  // the level a held note settles at, after its first blow at 1
};

Tone ToneOf(Instrument instrument) {
  switch (instrument) {
    case Instrument::kSquare:
      return {0.5, 0.6};
    case Instrument::kPulse25:
      return {0.25, 0.65};
    case Instrument::kPulse12:
      return {0.125, 0.5};
    default:
      return {0, 0.8};
  }
}

// The noise channel of a small console: a 15-bit shift register whose output changes every
// `period` samples; a longer period makes a darker noise. The same from every start.
class Noise {
 public:
  explicit Noise(int period) : period_(period) {}
  double Next() {
    if (++count_ == period_) {
      count_ = 0;
      const uint32_t bit = (state_ ^ (state_ >> 1)) & 1;
      state_ = (state_ >> 1) | (bit << 14);
    }
    return (state_ & 1) ? 1.0 : -1.0;
  }

 private:
  int period_;
  int count_ = 0;
  uint32_t state_ = 1;
};

// Smooths the jump of a wave at phase 0 (PolyBLEP), so that high notes do not alias.
double Blep(double phase, double step) {
  if (phase < step) {
    const double t = phase / step;
    return t + t - t * t - 1;
  }
  if (phase > 1 - step) {
    const double t = (phase - 1) / step;
    return t * t + t + t + 1;
  }
  return 0;
}

// A wave that is high for `duty` of each period; `phase` runs from 0 to 1 and moves by
// `step` a sample.
double Pulse(double phase, double step, double duty) {
  const double up = phase < duty ? 1 : -1;
  return up + Blep(phase, step) - Blep(std::fmod(phase + 1 - duty, 1.0), step);
}

double Triangle(double phase) { return 4 * std::abs(phase - 0.5) - 1; }

// The loudness `t` seconds into a note of `length` seconds.
double Level(double t, double length, double sustain) {
  const double blow =
      t < kAttack ? t / kAttack : sustain + (1 - sustain) * std::exp(-(t - kAttack) / kDecay);
  return blow * std::clamp((length - t) / kRelease, 0.0, 1.0);
}

// A sine that falls quickly from a knock to a low boom. The phase is the integral of the
// falling frequency, so it needs no state.
double Kick(double t) {
  constexpr double kHighHz = 170, kLowHz = 48, kFall = 0.03, kDie = 0.08;
  const double cycles = kLowHz * t + (kHighHz - kLowHz) * kFall * (1 - std::exp(-t / kFall));
  return std::sin(2 * kPi * cycles) * std::exp(-t / kDie);
}

double Snare(double t, Noise& noise) {
  constexpr double kBodyHz = 185;
  const double body = Triangle(std::fmod(kBodyHz * t, 1.0)) * std::exp(-t / 0.03);
  return 0.75 * noise.Next() * std::exp(-t / 0.055) + 0.45 * body;
}

double Hat(double t, Noise& noise) { return 0.35 * noise.Next() * std::exp(-t / 0.014); }

size_t SampleAt(double seconds) { return size_t(std::llround(seconds * kSampleRate)); }

// Adds `count` samples of `sample(t, step)` from `first` on, stopping at the end of `out`.
template <typename Sample>
void Add(std::vector<float>& out, size_t first, size_t count, Sample sample) {
  count = std::min(count, out.size() - std::min(first, out.size()));
  for (size_t i = 0; i < count; ++i) out[first + i] += float(sample(double(i) / kSampleRate));
}

void AddDrum(std::vector<float>& out, size_t first, int drum, double volume) {
  switch (drum) {
    case kKick:
      return Add(out, first, SampleAt(0.3), [&](double t) { return volume * Kick(t); });
    case kSnare:
      return Add(out, first, SampleAt(0.22),
                 [&, noise = Noise(3)](double t) mutable { return volume * Snare(t, noise); });
    default:
      return Add(out, first, SampleAt(0.08),
                 [&, noise = Noise(1)](double t) mutable { return volume * Hat(t, noise); });
  }
}

void AddNote(std::vector<float>& out, size_t first, double length, int key, const Voice& voice) {
  const Tone tone = ToneOf(voice.instrument);
  const double hz = 440 * std::pow(2.0, (key - 69) / 12.0);
  double phase = 0;
  Add(out, first, SampleAt(length), [&](double t) {
    const double vibrato =
        tone.duty > 0 && t > kVibratoDelay
            ? 1 + kVibratoDepth * std::sin(2 * kPi * kVibratoHz * (t - kVibratoDelay))
            : 1;
    const double step = hz * vibrato / kSampleRate;
    const double wave = tone.duty > 0 ? Pulse(phase, step, tone.duty) : Triangle(phase);
    phase = std::fmod(phase + step, 1.0);
    return voice.volume * Level(t, length, tone.sustain) * wave;
  });
}

void ScaleToPeak(std::vector<float>& samples) {
  float loudest = 0;
  for (float sample : samples) loudest = std::max(loudest, std::abs(sample));
  if (loudest == 0) return;
  const float gain = float(kPeak / loudest);
  for (float& sample : samples) sample *= gain;
}

}  // namespace

std::vector<float> RenderTune(const Tune& tune) {
  std::vector<float> out(SampleAt(tune.steps * tune.step_seconds + kTailSeconds));
  for (const Note& note : tune.notes) {
    const Voice& voice = tune.voices[note.voice];
    const size_t first = SampleAt(note.start * tune.step_seconds);
    if (voice.instrument == Instrument::kDrums) {
      AddDrum(out, first, note.key, voice.volume);
    } else {
      AddNote(out, first, note.length * tune.step_seconds, note.key, voice);
    }
  }
  ScaleToPeak(out);
  return out;
}

std::vector<float> RenderWhop() {
  std::vector<float> out(SampleAt(kWhopSeconds));
  double phase = 0;
  Add(out, 0, out.size(), [&](double t) {
    const double hz = kWhopHighHz * std::pow(kWhopLowHz / kWhopHighHz, t / kWhopSeconds);
    const double step = hz / kSampleRate;
    const double sweep = Pulse(phase, step, 0.5) * Level(t, kWhopSeconds, 0);
    phase = std::fmod(phase + step, 1.0);
    const double fade = std::clamp((kWhopSeconds - t) / kRelease, 0.0, 1.0);
    return kWhopSweepLevel * sweep + kWhopThumpLevel * fade * Kick(t);
  });
  ScaleToPeak(out);
  return out;
}
