#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/files.h"

namespace {

namespace fs = std::filesystem;

// Runs each test in a fresh folder of its own, as the game runs in its folder.
class Files : public testing::Test {
 protected:
  void SetUp() override {
    previous_ = fs::current_path();
    folder_ = fs::temp_directory_path() / ("files_test_" + std::to_string(getpid()));
    fs::remove_all(folder_);
    fs::create_directories(folder_ / "Images" / "Sprites");
    fs::current_path(folder_);
    Write("Images/Sprites/Tovi.BMP", "tovi");
  }
  void TearDown() override {
    fs::current_path(previous_);
    fs::remove_all(folder_);
  }
  static void Write(const fs::path& path, const std::string& text) { std::ofstream(path) << text; }
  static std::string Read(FILE* file) {
    if (!file) return "(none)";
    char buffer[64] = {};
    size_t n = fread(buffer, 1, sizeof buffer - 1, file);
    fclose(file);
    return std::string(buffer, n);
  }

  fs::path previous_, folder_;
};

TEST_F(Files, WindowsPathsFindFilesInAnyLetterCase) {
  for (const char* path : {"images\\sprites\\TOVI.bmp", "IMAGES\\SPRITES\\tovi.bmp",
                           "Images/Sprites/Tovi.BMP", ".\\images\\sprites\\tovi.bmp"}) {
    EXPECT_EQ(Read(OpenGameFile(path, "rb")), "tovi") << path;
  }
  EXPECT_EQ(ResolvePath("images\\sprites\\TOVI.bmp"), "Images/Sprites/Tovi.BMP");
}

TEST_F(Files, AnExactNameWinsOverOthersOfAnotherCase) {
  Write("Images/Sprites/TOVI.bmp", "upper");
  EXPECT_EQ(Read(OpenGameFile("images\\sprites\\TOVI.bmp", "rb")), "upper");
  EXPECT_EQ(Read(OpenGameFile("images\\sprites\\Tovi.BMP", "rb")), "tovi");
  EXPECT_EQ(ResolvePath("images\\sprites\\tovi.bmp"), "Images/Sprites/TOVI.bmp") << "first in name order";
}

TEST_F(Files, MissingFilesAreNotFoundAndNewFilesKeepTheirName) {
  EXPECT_EQ(OpenGameFile("images\\sprites\\gast.bmp", "rb"), nullptr);
  EXPECT_EQ(OpenGameFile("sounds\\Music.wav", "rb"), nullptr);
  FILE* created = OpenGameFile("IMAGES\\brambleduck.ini", "wb");
  ASSERT_NE(created, nullptr);
  fputs("ini", created);
  fclose(created);
  EXPECT_TRUE(fs::exists("Images/brambleduck.ini"));
  EXPECT_EQ(Read(OpenGameFile("images\\BRAMBLEDUCK.INI", "rb")), "ini");
}

// The installed game, started in a folder of the player's that holds no game data.
class InstalledFiles : public Files {
 protected:
  void SetUp() override {
    Files::SetUp();
    fs::create_directories("install/Levels/Maps");
    fs::create_directories("elsewhere");
    Write("install/Levels/Maps/main.lvl", "level");
    fs::current_path("elsewhere");
    install_ = (folder_ / "install").string();
  }
  GameFolders Installed() { return ChooseGameFolders(install_, (folder_ / "xdg").c_str(), "/home/x"); }

  std::string install_;
};

TEST_F(InstalledFiles, TheWorkingFolderWinsWhenItHoldsTheData) {
  const std::string xdg = (folder_ / "xdg").string();
  struct Case {
    const char* what;
    bool dataHere;
    std::string install;
    const char* xdgDataHome;
    const char* home;
    std::string data, player;
  } cases[] = {
      {"installed", false, install_, xdg.c_str(), "/home/x", install_, xdg + "/quendle"},
      {"no XDG_DATA_HOME", false, install_, nullptr, "/home/x", install_, "/home/x/.local/share/quendle"},
      {"a relative XDG_DATA_HOME", false, install_, "rel", "/home/x", install_, "/home/x/.local/share/quendle"},
      {"no home at all", false, install_, nullptr, nullptr, install_, ""},
      {"data in the working folder", true, install_, xdg.c_str(), "/home/x", "", ""},
      {"no install", false, "", xdg.c_str(), "/home/x", "", ""},
      {"an install without data", false, (folder_ / "Images").string(), xdg.c_str(), "/home/x", "", ""},
  };
  for (const Case& c : cases) {
    if (c.dataHere) fs::create_directories("levels/maps");
    const GameFolders folders = ChooseGameFolders(c.install, c.xdgDataHome, c.home);
    EXPECT_EQ(folders.data, c.data) << c.what;
    EXPECT_EQ(folders.player, c.player) << c.what;
    fs::remove_all("levels");
  }
}

TEST_F(InstalledFiles, DataIsReadFromTheInstallAndWrittenFilesLiveInThePlayersFolder) {
  const GameFolders folders = Installed();
  EXPECT_EQ(Read(OpenGameFileIn(folders, "levels\\maps\\MAIN.lvl", "rb")), "level");
  EXPECT_EQ(OpenGameFileIn(folders, "brambleduck.ini", "rb"), nullptr);

  FILE* saved = OpenGameFileIn(folders, "brambleduck.ini", "wb");
  ASSERT_NE(saved, nullptr);
  fputs("ini", saved);
  fclose(saved);
  const fs::path player = folder_ / "xdg" / "quendle";
  EXPECT_EQ(Read(fopen((player / "brambleduck.ini").c_str(), "rb")), "ini");
  EXPECT_EQ(fs::status(player).permissions() & fs::perms::all, fs::perms::owner_all);
  EXPECT_EQ(Read(OpenGameFileIn(folders, "BRAMBLEDUCK.INI", "rb")), "ini");
  EXPECT_FALSE(fs::exists(folder_ / "install" / "brambleduck.ini"));
  EXPECT_TRUE(fs::is_empty(fs::current_path())) << "nothing is written in the working folder";
}

TEST_F(InstalledFiles, AFileInThePlayersFolderIsReadBeforeTheInstallsOwn) {
  fs::create_directories(folder_ / "xdg" / "quendle" / "levels" / "maps");
  Write(folder_ / "xdg" / "quendle" / "levels" / "maps" / "main.lvl", "own");
  EXPECT_EQ(Read(OpenGameFileIn(Installed(), "levels\\maps\\main.lvl", "rb")), "own");
  EXPECT_EQ(ResolvePathIn(Installed(), "levels\\maps\\arcade.lvl"), install_ + "/Levels/Maps/arcade.lvl");
}

}  // namespace
