#include "platform/files.h"

#include <pwd.h>
#include <strings.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
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

// `path` found component by component under `base` ("" for the working folder); an
// absolute path is found from the root.
fs::path ResolveUnder(const fs::path& base, const char* path) {
  std::string text = path ? path : "";
  std::replace(text.begin(), text.end(), '\\', '/');
  fs::path resolved = fs::path(text).is_absolute() ? fs::path(text).root_path() : base;
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
  return resolved;
}

bool HoldsGameData(const fs::path& folder) {
  std::error_code error;
  return fs::is_directory(ResolveUnder(folder, "levels\\maps"), error);
}

bool Writes(const char* mode) { return strpbrk(mode, "wa+") != nullptr; }

// The player's folder, made (for the player alone) if it is not there yet.
void MakePlayerFolder(const std::string& player) {
  std::error_code error;
  if (fs::create_directories(player, error)) fs::permissions(player, fs::perms::owner_all, error);
}

// The install's data folder: where the build put it, seen from the program's own folder.
std::string InstalledDataFolder() {
  std::error_code error;
  const fs::path program = fs::read_symlink("/proc/self/exe", error);
  if (error) return "";
  return (program.parent_path() / QUENDLE_DATA_FROM_PROGRAM).lexically_normal().string();
}

const GameFolders& TheGameFolders() {
  static const GameFolders folders = [] {
    const char* home = getenv("HOME");
    if (!home || !*home) {
      const passwd* account = getpwuid(getuid());
      home = account ? account->pw_dir : nullptr;
    }
    return ChooseGameFolders(InstalledDataFolder(), getenv("XDG_DATA_HOME"), home);
  }();
  return folders;
}

}  // namespace

GameFolders ChooseGameFolders(const std::string& installedData, const char* xdgDataHome, const char* home) {
  if (HoldsGameData("") || installedData.empty() || !HoldsGameData(installedData)) return {};
  // A relative XDG_DATA_HOME is to be ignored, as the base directory rules say.
  fs::path base;
  if (xdgDataHome && fs::path(xdgDataHome).is_absolute()) {
    base = xdgDataHome;
  } else if (home && fs::path(home).is_absolute()) {
    base = fs::path(home) / ".local" / "share";
  }
  return {installedData, base.empty() ? "" : (base / "quendle").string()};
}

std::string ResolvePathIn(const GameFolders& folders, const char* path) {
  if (!folders.player.empty()) {
    std::error_code error;
    fs::path own = ResolveUnder(folders.player, path);
    if (fs::exists(own, error)) return own.string();
  }
  return ResolveUnder(folders.data, path).string();
}

std::string ResolvePath(const char* path) { return ResolvePathIn(TheGameFolders(), path); }

FILE* OpenGameFileIn(const GameFolders& folders, const char* path, const char* mode) {
  if (!Writes(mode)) return fopen(ResolvePathIn(folders, path).c_str(), mode);
  if (!folders.player.empty()) MakePlayerFolder(folders.player);
  return fopen(ResolveUnder(folders.player, path).c_str(), mode);
}

FILE* OpenGameFile(const char* path, const char* mode) { return OpenGameFileIn(TheGameFolders(), path, mode); }
