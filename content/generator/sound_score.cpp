#include "content/generator/sound_score.h"

#include <algorithm>
#include <charconv>
#include <sstream>

namespace {

constexpr double kFastestTempo = 1000;
constexpr int kMostStepsABeat = 16;
constexpr int kMostStepsABar = 64;
constexpr int kLongestSongSeconds = 600;  // bounds the memory that rendering takes

struct Part {
  std::string name;
  int steps;
  std::vector<Note> notes;  // starting from the part's first step
};

// The whole word as a number.
template <typename Number>
bool ParseNumber(const std::string& word, Number& value) {
  const char* end = word.data() + word.size();
  auto [stop, problem] = std::from_chars(word.data(), end, value);
  return problem == std::errc() && stop == end;
}

// C4 is middle C, MIDI note 60.
std::optional<int> ParseKey(const std::string& word) {
  static constexpr int kSemitones[] = {9, 11, 0, 2, 4, 5, 7};  // A to G
  if (word.size() < 2 || word.size() > 3 || word[0] < 'A' || word[0] > 'G') return {};
  int key = kSemitones[word[0] - 'A'];
  if (word.size() == 3) {
    if (word[1] != '#' && word[1] != 'b') return {};
    key += word[1] == '#' ? 1 : -1;
  }
  const char octave = word.back();
  if (octave < '0' || octave > '8') return {};
  return 12 * (octave - '0' + 1) + key;
}

std::optional<int> ParseDrum(const std::string& word) {
  if (word == "k") return kKick;
  if (word == "s") return kSnare;
  if (word == "h") return kHat;
  return {};
}

std::optional<Instrument> ParseInstrument(const std::string& word) {
  static const std::pair<const char*, Instrument> kNames[] = {
      {"square", Instrument::kSquare},   {"pulse25", Instrument::kPulse25},
      {"pulse12", Instrument::kPulse12}, {"triangle", Instrument::kTriangle},
      {"drums", Instrument::kDrums},
  };
  for (const auto& [name, instrument] : kNames) {
    if (word == name) return instrument;
  }
  return {};
}

bool IsKeyword(const std::string& word) {
  for (const char* keyword : {"tempo", "beat", "bar", "voice", "part", "song"}) {
    if (word == keyword) return true;
  }
  return false;
}

// The words of a line, up to a comment. A comment starts with a word that starts with '#':
// within a word, '#' is a sharp.
std::vector<std::string> Words(const std::string& line) {
  std::istringstream text(line);
  std::vector<std::string> words;
  for (std::string word; text >> word && word[0] != '#';) words.push_back(word);
  return words;
}

class ScoreReader {
 public:
  std::optional<Tune> Read(std::istream& score, std::string& error);

 private:
  bool ReadLine(const std::vector<std::string>& words);
  bool ReadSetting(const std::vector<std::string>& words);
  bool ReadVoice(const std::vector<std::string>& words);
  bool StartPart(const std::vector<std::string>& words);
  bool ReadBars(int voice, const std::vector<std::string>& words);
  bool ReadStep(int voice, const std::string& word);
  bool EndPart();
  bool ReadSong(const std::vector<std::string>& words);

  int FindVoice(const std::string& name) const;
  const Part* FindPart(const std::string& name) const;
  bool Fail(const std::string& message) { return FailAt(line_, message); }
  bool FailAt(int line, const std::string& message);

  int line_ = 0;
  std::string error_;
  double tempo_ = 0;
  int beat_ = 0;
  int bar_ = 0;
  std::vector<Voice> voices_;
  std::vector<Part> parts_;
  bool in_part_ = false;
  int part_line_ = 0;
  std::vector<int> voice_steps_;  // of each voice in the part being read
  std::vector<int> held_;         // the note each voice may hold longer, or -1
  std::optional<Tune> tune_;      // once the song is read
};

std::optional<Tune> ScoreReader::Read(std::istream& score, std::string& error) {
  for (std::string line; std::getline(score, line);) {
    ++line_;
    const std::vector<std::string> words = Words(line);
    if (words.empty()) continue;
    const bool ok = tune_ ? Fail("nothing may follow the song") : ReadLine(words);
    if (!ok) {
      error = error_;
      return {};
    }
  }
  if (!tune_) {
    error = "the score has no song line";
    return {};
  }
  return tune_;
}

bool ScoreReader::ReadLine(const std::vector<std::string>& words) {
  const std::string& first = words[0];
  if (first == "tempo" || first == "beat" || first == "bar") return ReadSetting(words);
  if (first == "voice") return ReadVoice(words);
  if (first == "part") return StartPart(words);
  if (first == "song") return ReadSong(words);
  const int voice = FindVoice(first);
  if (voice < 0) return Fail("'" + first + "' is no voice and no keyword");
  if (!in_part_) return Fail("the bars of " + first + " come before any part");
  return ReadBars(voice, words);
}

bool ScoreReader::ReadSetting(const std::vector<std::string>& words) {
  if (!parts_.empty() || in_part_) return Fail(words[0] + " must come before the parts");
  if (words.size() != 2) return Fail(words[0] + " takes one number");
  bool ok = false;
  if (words[0] == "tempo") {
    ok = ParseNumber(words[1], tempo_) && tempo_ > 0 && tempo_ <= kFastestTempo;
  } else if (words[0] == "beat") {
    ok = ParseNumber(words[1], beat_) && beat_ >= 1 && beat_ <= kMostStepsABeat;
  } else {
    ok = ParseNumber(words[1], bar_) && bar_ >= 1 && bar_ <= kMostStepsABar;
  }
  return ok || Fail("'" + words[1] + "' is no fitting " + words[0]);
}

bool ScoreReader::ReadVoice(const std::vector<std::string>& words) {
  if (!parts_.empty() || in_part_) return Fail("voices must come before the parts");
  if (words.size() != 4) return Fail("a voice takes a name, an instrument and a volume");
  if (IsKeyword(words[1])) return Fail("'" + words[1] + "' is a keyword, not a name");
  if (FindVoice(words[1]) >= 0) return Fail("voice " + words[1] + " is named twice");
  const std::optional<Instrument> instrument = ParseInstrument(words[2]);
  if (!instrument) return Fail("'" + words[2] + "' is no instrument");
  double volume = 0;
  if (!ParseNumber(words[3], volume) || volume < 0 || volume > 1) {
    return Fail("'" + words[3] + "' is no volume from 0 to 1");
  }
  voices_.push_back({words[1], *instrument, volume});
  return true;
}

bool ScoreReader::StartPart(const std::vector<std::string>& words) {
  if (tempo_ == 0 || beat_ == 0 || bar_ == 0) {
    return Fail("tempo, beat and bar must come before the first part");
  }
  if (voices_.empty()) return Fail("voices must come before the first part");
  if (words.size() != 2) return Fail("a part takes one name");
  if (in_part_ && !EndPart()) return false;
  if (FindPart(words[1])) return Fail("part " + words[1] + " is named twice");
  parts_.push_back({words[1], 0, {}});
  in_part_ = true;
  part_line_ = line_;
  voice_steps_.assign(voices_.size(), 0);
  held_.assign(voices_.size(), -1);
  return true;
}

bool ScoreReader::ReadBars(int voice, const std::vector<std::string>& words) {
  const std::string& name = voices_[voice].name;
  if (words.size() < 2 || words[1] != "|" || words.back() != "|") {
    return Fail("the bars of " + name + " must start and end with |");
  }
  int bar_start = voice_steps_[voice];
  for (size_t i = 2; i < words.size(); ++i) {
    if (words[i] != "|") {
      if (!ReadStep(voice, words[i])) return false;
      continue;
    }
    const int steps = voice_steps_[voice] - bar_start;
    if (steps != bar_) {
      return Fail("bar " + std::to_string(bar_start / bar_ + 1) + " of " + name + " has " +
                  std::to_string(steps) + " steps, not " + std::to_string(bar_));
    }
    bar_start = voice_steps_[voice];
  }
  return true;
}

bool ScoreReader::ReadStep(int voice, const std::string& word) {
  std::vector<Note>& notes = parts_.back().notes;
  int& held = held_[voice];
  const int step = voice_steps_[voice]++;
  if (word == ".") {
    held = -1;
  } else if (word == "-") {
    if (held < 0) return Fail("'-' holds no note");
    ++notes[held].length;
  } else if (voices_[voice].instrument == Instrument::kDrums) {
    const std::optional<int> drum = ParseDrum(word);
    if (!drum) return Fail("'" + word + "' is no drum");
    notes.push_back({voice, step, 1, *drum});
    held = -1;  // a drum is a single blow
  } else {
    const std::optional<int> key = ParseKey(word);
    if (!key) return Fail("'" + word + "' is no note");
    held = int(notes.size());
    notes.push_back({voice, step, 1, *key});
  }
  return true;
}

bool ScoreReader::EndPart() {
  in_part_ = false;
  Part& part = parts_.back();
  part.steps = *std::max_element(voice_steps_.begin(), voice_steps_.end());
  if (part.steps == 0) return FailAt(part_line_, "part " + part.name + " has no bars");
  for (size_t v = 0; v < voices_.size(); ++v) {
    if (voice_steps_[v] != 0 && voice_steps_[v] != part.steps) {
      return FailAt(part_line_,
                    "in part " + part.name + ", " + voices_[v].name + " is shorter than the rest");
    }
  }
  return true;
}

bool ScoreReader::ReadSong(const std::vector<std::string>& words) {
  if (in_part_ && !EndPart()) return false;
  if (words.size() < 2) return Fail("the song names no part");
  Tune tune{60 / tempo_ / beat_, 0, voices_, {}};
  for (size_t i = 1; i < words.size(); ++i) {
    const Part* part = FindPart(words[i]);
    if (!part) return Fail("the song names no part " + words[i]);
    for (Note note : part->notes) {
      note.start += tune.steps;
      tune.notes.push_back(note);
    }
    tune.steps += part->steps;
    if (tune.steps * tune.step_seconds > kLongestSongSeconds) {
      return Fail("the song lasts longer than " + std::to_string(kLongestSongSeconds) + " seconds");
    }
  }
  tune_ = std::move(tune);
  return true;
}

int ScoreReader::FindVoice(const std::string& name) const {
  for (size_t v = 0; v < voices_.size(); ++v) {
    if (voices_[v].name == name) return int(v);
  }
  return -1;
}

const Part* ScoreReader::FindPart(const std::string& name) const {
  for (const Part& part : parts_) {
    if (part.name == name) return &part;
  }
  return nullptr;
}

bool ScoreReader::FailAt(int line, const std::string& message) {
  error_ = "line " + std::to_string(line) + ": " + message;
  return false;
}

}  // namespace

std::optional<Tune> ReadScore(std::istream& score, std::string& error) {
  return ScoreReader().Read(score, error);
}
