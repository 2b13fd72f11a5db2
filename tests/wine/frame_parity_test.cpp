// quendleframes draws the same world states on Linux and, built for Windows, under
// Wine: every pair of frames must be the same but for the glyphs of the texts, whose
// layout must agree (see frame_compare.h). A frame that differs is told with where and
// how much, and its difference picture is left in the test's working folder.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <iostream>

#include "tests/support/child_process.h"
#include "tests/wine/frame_compare.h"
#include "tests/wine/wine_desktop.h"

namespace {

constexpr std::chrono::seconds kDeadline{120};

// A fresh folder holding links to the game data, as the Linux program's working folder.
std::filesystem::path LinuxGameFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "frames-linux-XXXXXX").string();
  if (!mkdtemp(pattern.data())) return {};
  for (const auto& entry : std::filesystem::directory_iterator(GAME_DIR)) {
    std::filesystem::create_directory_symlink(entry.path(), std::filesystem::path(pattern) / entry.path().filename());
  }
  return pattern;
}

std::optional<FramePair> ReadPair(const std::filesystem::path& linuxFolder, const std::filesystem::path& wineFolder,
                                  const std::string& name) {
  std::optional<Picture> pictures[4] = {
      ReadPicture(linuxFolder / (name + ".bmp")), ReadPicture(linuxFolder / (name + "-blank.bmp")),
      ReadPicture(wineFolder / (name + ".bmp")), ReadPicture(wineFolder / (name + "-blank.bmp"))};
  for (const std::optional<Picture>& p : pictures) {
    if (!p || p->width != pictures[0]->width || p->height != pictures[0]->height) return std::nullopt;
  }
  return FramePair{*pictures[0], *pictures[1], *pictures[2], *pictures[3]};
}

// The difference pictures of an earlier run, which would tell of frames that may agree now.
void RemoveOldPictures() {
  for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::current_path())) {
    if (entry.path().string().ends_with("-difference.bmp")) std::filesystem::remove(entry.path());
  }
}

TEST(FrameParity, LinuxAndWineDrawTheSameFramesButForTheGlyphs) {
  RemoveOldPictures();
  const std::filesystem::path linuxFolder = LinuxGameFolder();
  ASSERT_FALSE(linuxFolder.empty());
  ChildProcess linuxRun(LINUX_FRAMES, linuxFolder.string(), {"DISPLAY"});
  ASSERT_EQ(linuxRun.Wait(kDeadline), 0) << "the Linux program";

  WineDesktop desktop;
  ASSERT_TRUE(desktop.Ready());
  std::unique_ptr<ChildProcess> wineRun = desktop.Start(WINDOWS_FRAMES);
  ASSERT_EQ(wineRun->Wait(kDeadline), 0) << "the Windows program";
  const std::filesystem::path wineFolder = desktop.FolderOf(WINDOWS_FRAMES);

  std::optional<std::vector<FrameEntry>> frames = ReadFrameList(linuxFolder / "frames.txt");
  ASSERT_TRUE(frames && !frames->empty());
  std::optional<std::vector<FrameEntry>> wineFrames = ReadFrameList(wineFolder / "frames.txt");
  ASSERT_TRUE(wineFrames);
  ASSERT_EQ(wineFrames->size(), frames->size()) << "both list the same frames";

  int failed = 0;
  for (size_t i = 0; i < frames->size(); i++) {
    const FrameEntry& entry = (*frames)[i];
    ASSERT_EQ((*wineFrames)[i].name, entry.name);
    std::optional<FramePair> pair = ReadPair(linuxFolder, wineFolder, entry.name);
    ASSERT_TRUE(pair) << entry.name << ": a picture is missing or damaged";
    std::vector<std::string> findings = CompareFrames(entry, *pair);
    for (const std::string& finding : findings) ADD_FAILURE() << entry.name << ": " << finding;
    if (findings.empty()) continue;
    failed++;
    const std::filesystem::path picture = std::filesystem::current_path() / (entry.name + "-difference.bmp");
    EXPECT_TRUE(WritePicture(DifferencePicture(*pair), picture));
    std::cout << entry.name << ": difference picture " << picture.string() << "\n";
  }
  std::cout << frames->size() - size_t(failed) << " of " << frames->size() << " frames agree\n";
  std::filesystem::remove_all(linuxFolder);
}

}  // namespace
