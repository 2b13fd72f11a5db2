#include "tests/wine/wine_desktop.h"

#include <stdlib.h>

namespace {

constexpr std::chrono::seconds kDeadline{30};

std::filesystem::path NewFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "wine-desktop-XXXXXX").string();
  if (!mkdtemp(pattern.data())) return {};
  return pattern;
}

// Links what `from` holds into `to`, but for Linux programs and settings.
void LinkGameData(const std::filesystem::path& from, const std::filesystem::path& to) {
  for (const auto& entry : std::filesystem::directory_iterator(from)) {
    const std::string name = entry.path().filename().string();
    if (name == "quendle" || name == "quendlehost" || name == "brambleduck.ini") continue;
    std::filesystem::create_directory_symlink(entry.path(), to / name);
  }
}

}  // namespace

WineDesktop::WineDesktop() : folder_(NewFolder()) {
  if (folder_.empty()) return;
  // Xvfb picks a free display number and writes it on the descriptor given.
  xvfb_ = std::make_unique<ChildProcess>("/usr/bin/Xvfb", folder_.string(), std::vector<std::string>{},
                                         ChildProcess::Errors::kToTest,
                                         std::vector<std::string>{"-displayfd", "1", "-nolisten", "tcp", "-screen", "0",
                                                                  "1024x768x24"});
  std::optional<std::string> display = xvfb_->ReadLine(kDeadline);
  if (!display) return;
  setenv("DISPLAY", (":" + *display).c_str(), 1);
  setenv("WINEPREFIX", WINE_PREFIX, 1);
  // Nothing here needs Wine's add-ons, its menu entries or a sound device.
  setenv("WINEDLLOVERRIDES", "mscoree,mshtml,winemenubuilder.exe,winealsa.drv,winepulse.drv=", 1);
  setenv("WINEDEBUG", "-all", 1);
  ready_ = true;
}

WineDesktop::~WineDesktop() {
  if (ready_) Run("/usr/bin/wineserver", {"-k"});
  xvfb_.reset();
  if (!folder_.empty()) std::filesystem::remove_all(folder_);
}

std::filesystem::path WineDesktop::GameFolder(const std::string& name) {
  const std::filesystem::path folder = folder_ / name;
  std::filesystem::remove_all(folder);
  std::filesystem::create_directory(folder);
  LinkGameData(GAME_DIR, folder);
  return folder;
}

std::unique_ptr<ChildProcess> WineDesktop::Start(const std::filesystem::path& program) {
  const std::filesystem::path name = program.filename();
  const std::filesystem::path folder = GameFolder(name.string());
  // A bare name is one of the game's programs; a path names the file itself.
  const std::filesystem::path from = program.is_absolute() ? program : WINDOWS_GAME_DIR / program;
  std::filesystem::copy_file(from, folder / name);
  return std::make_unique<ChildProcess>("/usr/bin/wine", folder.string(), std::vector<std::string>{},
                                        ChildProcess::Errors::kToTest, std::vector<std::string>{name.string()});
}

std::filesystem::path WineDesktop::FolderOf(const std::filesystem::path& program) const {
  return folder_ / program.filename();
}

std::unique_ptr<ChildProcess> WineDesktop::StartOurs(const std::string& program) {
  const std::filesystem::path folder = GameFolder(program);
  return std::make_unique<ChildProcess>((std::filesystem::path(GAME_DIR) / program).string(), folder.string(),
                                        std::vector<std::string>{});
}

std::optional<std::string> WineDesktop::Window(const std::string& title) {
  std::optional<std::string> found =
      Run("/usr/bin/timeout", {std::to_string(kDeadline.count()), "/usr/bin/xdotool", "search", "--sync",
                               "--onlyvisible", "--name", "^" + title + "$"});
  if (!found || found->empty()) return std::nullopt;
  return found->substr(0, found->find('\n'));
}

bool WineDesktop::Xdotool(const std::vector<std::string>& arguments) {
  return Run("/usr/bin/xdotool", arguments).has_value();
}

bool WineDesktop::Click(const std::string& window, int x, int y) {
  return Xdotool({"mousemove", "--window", window, std::to_string(x), std::to_string(y), "click", "1"});
}

std::optional<std::string> WineDesktop::Run(const std::string& program, const std::vector<std::string>& arguments) {
  ChildProcess child(program, folder_.string(), {}, ChildProcess::Errors::kToTest, arguments);
  std::string output;
  while (std::optional<std::string> line = child.ReadLine(kDeadline)) output += *line + '\n';
  if (child.Wait(kDeadline) != 0) return std::nullopt;
  return output;
}
