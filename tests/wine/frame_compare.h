// Comparing one frame as Linux and Wine draw it. Each platform also drew the frame
// without its texts, so its own text pixels (glyphs, their smoothed edges, opaque
// cells) are the pixels that differ from that blank twin: its text mask. Everything
// outside both masks must be the same pixel for pixel. The texts themselves are
// compared by layout, since the fonts differ:
// - every text pixel lies inside a text rectangle of the frame;
// - chat lines: the rows of the opaque text cells are the same, each cell row starts at
//   the same place and ends within 2 pixels and 4% (the fonts' widths differ by less);
//   the rows of text match within 2 rows;
// - names and "IT!": the text starts and ends within 2 pixels and 4% of its width, and
//   its top and bottom within 2 rows.
// A character shown on one platform and not on the other moves a name's or a short
// cell's end by its width; a wrong line height, a line too many or too few, or a line
// cut elsewhere at the bottom moves whole rows; a word broken onto another row moves
// the ends of both rows.
#pragma once

#include <string>
#include <vector>

#include "tests/wine/frame_list.h"
#include "tests/support/picture.h"

struct FramePair {
  Picture linuxText, linuxBlank, wineText, wineBlank;  // all of one size
};

// What differs beyond the glyphs, one sentence each, with where and how much; empty
// when the frames agree.
std::vector<std::string> CompareFrames(const FrameEntry& entry, const FramePair& frames);

// For a person to look at: the Wine frame darkened, pixels that differ outside the
// texts in red, text pixels of Linux alone in blue, of Wine alone in green, of both in
// yellow.
Picture DifferencePicture(const FramePair& frames);
