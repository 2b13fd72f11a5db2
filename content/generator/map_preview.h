// Pictures for whoever edits a map: generate_content --preview SOURCE_FOLDER OUT_FOLDER
#pragma once

#include <filesystem>

// Writes <out>/<name>.bmp for every map: its picture at the size the game shows it, with
// the obstacles outlined by shape (red rectangles, orange bands leaning right, yellow
// bands leaning left), the doors in magenta with their targets, green cells where doors
// arrive, white cells where players start, the safe area in gold, and cyan where a
// player's feet can walk from those places. Prints a line per map; false on a problem.
bool WriteMapPreviews(const std::filesystem::path& sources, const std::filesystem::path& out);
