#include "tests/wine/frame_list.h"

#include <fstream>
#include <sstream>

namespace {

std::optional<TextRect> ParseText(std::istringstream& line) {
  std::string kind;
  TextRect text{};
  if (!(line >> kind >> text.left >> text.top >> text.right >> text.bottom)) return std::nullopt;
  if (kind != "centre" && kind != "wrap") return std::nullopt;
  text.centred = kind == "centre";
  line.get();  // the space before the text
  std::getline(line, text.text);
  return text;
}

}  // namespace

std::optional<std::vector<FrameEntry>> ReadFrameList(const std::filesystem::path& path) {
  std::ifstream file(path);
  if (!file) return std::nullopt;
  std::vector<FrameEntry> frames;
  std::string text;
  while (std::getline(file, text)) {
    std::istringstream line(text);
    std::string word;
    line >> word;
    if (word == "frame" && line >> word) {
      frames.push_back({word, {}});
    } else if (word == "text" && !frames.empty()) {
      std::optional<TextRect> rect = ParseText(line);
      if (!rect) return std::nullopt;
      frames.back().texts.push_back(*rect);
    } else {
      return std::nullopt;
    }
  }
  return frames;
}
