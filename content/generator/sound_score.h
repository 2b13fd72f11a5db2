// A tune as written in a score file, and the reader of that file.
//
// The file, line by line (a word that starts with '#' starts a comment to the end of the line):
//   tempo 160               beats a minute
//   beat 2                  steps a beat: every step of the score lasts 1/2 beat
//   bar 8                   steps a bar: every bar below must hold exactly this many
//   voice NAME INSTRUMENT VOLUME
//                           INSTRUMENT is square, pulse25, pulse12, triangle or drums;
//                           VOLUME is 0 to 1
//   part NAME               starts a part; the lines below it, up to the next part or the
//                           song, are its voices:
//   NAME | STEP... | STEP... |
//                           bars of one voice, each step a note (C4 is middle C, F#5 and Bb3
//                           have their sharp and flat), '-' holding the note before it one
//                           step longer, or '.' a rest. A drums voice plays k (kick),
//                           s (snare) or h (hi-hat) in its steps, or '.' for nothing. A voice
//                           may take several lines in a part; a voice it leaves out rests.
//   song NAME...            the parts in the order they play, each as often as named
#pragma once

#include <istream>
#include <optional>
#include <string>
#include <vector>

enum class Instrument { kSquare, kPulse25, kPulse12, kTriangle, kDrums };
enum Drum { kKick, kSnare, kHat };

struct Voice {
  std::string name;
  Instrument instrument;
  double volume;
};

// One note of the whole song, in steps from its start.
struct Note {
  int voice;  // index in Tune::voices
  int start;
  int length;  // 1 or more
  int key;     // the MIDI note number (60 is middle C), or a Drum for a drums voice

  bool operator==(const Note&) const = default;
};

// The song with its parts played out in order.
struct Tune {
  double step_seconds;
  int steps;  // the length of the whole song
  std::vector<Voice> voices;
  std::vector<Note> notes;
};

// The tune that `score` describes, or nothing with a message naming the line at fault in
// `error`.
std::optional<Tune> ReadScore(std::istream& score, std::string& error);
