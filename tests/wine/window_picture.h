// How two pictures of the same window compare in their structure: every pixel the
// same, but for the glyphs of text, which must stand in the same text cells.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "tests/support/picture.h"

// A rectangle of window pixels, right and bottom exclusive.
struct Area {
  int left, top, right, bottom;
};

// Where a control's text may stand, named for the report.
struct TextCell {
  std::string name;
  Area area;
};

// Compares our picture with the reference: outside the ignored areas and the glyphs,
// every pixel must be the same; in each text cell, the glyphs of both must start at the
// same place and span the same rows (within a pixel or two for the fonts' shapes). Every
// difference found, one line each; none when the structure is the same. `shown` becomes
// the reference, faded, with every differing pixel red and every glyph pixel blue.
std::vector<std::string> StructureDifferences(const Picture& ours, const Picture& reference,
                                              const std::vector<TextCell>& cells, const std::vector<Area>& ignored,
                                              Picture& shown);
