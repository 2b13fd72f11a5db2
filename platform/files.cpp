#include "platform/files.h"

#include <strings.h>

#include <algorithm>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

// The entry of `dir` whose name equals `name` without regard to case, or "".
std::string FindFolded(const fs::path& dir, const std::string& name) {
  std::error_code error;
  std::string best;
  for (const fs::directory_entry& entry : fs::directory_iterator(dir.empty() ? "." : dir, error)) {
    std::string candidate = entry.path().filename().string();
    if (strcasecmp(candidate.c_str(), name.c_str()) == 0 && (best.empty() || candidate < best)) {
      best = candidate;
    }
  }
  return best;
}

}  // namespace

std::string ResolvePath(const char* path) {
  std::string text = path ? path : "";
  std::replace(text.begin(), text.end(), '\\', '/');
  fs::path resolved = fs::path(text).root_path();
  for (const fs::path& part : fs::path(text).relative_path()) {
    if (part.empty()) continue;
    fs::path candidate = resolved / part;
    std::error_code error;
    if (part != "." && part != ".." && !fs::exists(candidate, error)) {
      std::string found = FindFolded(resolved, part.string());
      if (!found.empty()) candidate = resolved / found;
    }
    resolved = std::move(candidate);
  }
  return resolved.string();
}

FILE* OpenGameFile(const char* path, const char* mode) {
  return fopen(ResolvePath(path).c_str(), mode);
}
