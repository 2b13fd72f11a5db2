// frames.txt, quendleframes' list of the frames it wrote and the rectangles of their
// texts: "frame NAME" lines, each followed by its "text centre|wrap L T R B TEXT" lines.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

struct TextRect {
  int left, top, right, bottom;
  bool centred;  // a name or "IT!"; else a wrapped chat line
  std::string text;
};

struct FrameEntry {
  std::string name;
  std::vector<TextRect> texts;
};

// Nothing when the file is missing or a line is not of either form.
std::optional<std::vector<FrameEntry>> ReadFrameList(const std::filesystem::path& path);
