// Sound made from numbers in the manner of a small game console: pulse and triangle voices
// with envelopes, and drums of shift-register noise. Mono samples from -1 to 1.
#pragma once

#include <vector>

#include "content/generator/sound_score.h"

constexpr int kSampleRate = 44100;

// The tune played out, with the decay of its last notes, scaled so that its loudest sample
// stays a little below full scale.
std::vector<float> RenderTune(const Tune& tune);

// The sound of "it" passing: a falling whistle over a thump, 0.3 seconds, loudest at once and
// scaled like the tune.
std::vector<float> RenderWhop();
