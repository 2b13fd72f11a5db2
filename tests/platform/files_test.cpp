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

}  // namespace
