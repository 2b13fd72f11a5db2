// The generated sprite sheets, radar and title picture, read back as the game reads them,
// and the characters file reader.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "content/generator/character_look.h"

namespace {

namespace fs = std::filesystem;

constexpr uint32_t kWhite = 0xFFFFFF, kBlack = 0;

struct Picture {
  int width = 0, height = 0;
  std::vector<uint32_t> pixels;  // 0xRRGGBB, top row first
  uint32_t At(int x, int y) const { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
};

uint32_t Le(const std::string& bytes, size_t at, int size) {
  uint32_t value = 0;
  for (int i = size - 1; i >= 0; i--) value = value << 8 | uint8_t(bytes[at + size_t(i)]);
  return value;
}

// Reads a 24-bit bottom-up BMP with the 40-byte info header, checking every field the game
// relies on and that the file is exactly as long as they say.
testing::AssertionResult ReadBmp(const fs::path& path, Picture& picture) {
  std::ifstream file(path, std::ios::binary);
  std::string bytes{std::istreambuf_iterator<char>(file), {}};
  if (bytes.size() < 54 || bytes[0] != 'B' || bytes[1] != 'M') return testing::AssertionFailure() << path << ": no BMP";
  int32_t width = int32_t(Le(bytes, 18, 4)), height = int32_t(Le(bytes, 22, 4));
  if (Le(bytes, 14, 4) != 40 || Le(bytes, 10, 4) != 54 || Le(bytes, 26, 2) != 1 || Le(bytes, 28, 2) != 24 ||
      Le(bytes, 30, 4) != 0 || width <= 0 || height <= 0 || width > 4096 || height > 4096) {
    return testing::AssertionFailure() << path << ": not a plain 24-bit BMP";
  }
  size_t stride = (size_t(width) * 3 + 3) / 4 * 4;
  if (bytes.size() != 54 + stride * size_t(height) || Le(bytes, 2, 4) != bytes.size()) {
    return testing::AssertionFailure() << path << ": wrong size";
  }
  picture = {width, height, {}};
  for (int y = 0; y < height; y++) {
    size_t row = 54 + size_t(height - 1 - y) * stride;
    for (int x = 0; x < width; x++) picture.pixels.push_back(Le(bytes, row + 3 * size_t(x), 3));
  }
  return testing::AssertionSuccess();
}

Picture Load(const fs::path& path) {
  Picture picture;
  EXPECT_TRUE(ReadBmp(path, picture));
  return picture;
}

fs::path Sprite(const std::string& name) { return fs::path(GAME_DIR) / "images" / "sprites" / (name + ".bmp"); }

struct SheetCase {
  const char* name;
  int cellWidth, cellHeight, cells;
};

void PrintTo(const SheetCase& layout, std::ostream* out) { *out << layout.name; }

const SheetCase kCharacters[] = {
    {"TOVI", 32, 48, 16}, {"MIRRA", 32, 48, 16}, {"GAST", 32, 48, 16}, {"QUEL", 32, 48, 16}, {"TOVIPJ", 32, 48, 16},
};
const SheetCase kPsi = {"psi", 34, 34, 2};

// One cell of a sheet: the colour row at y 1, the mask row below it.
struct Cell {
  const Picture& sheet;
  const SheetCase& layout;
  int k;
  int Left() const { return 1 + k * (layout.cellWidth + 1); }
  uint32_t Color(int x, int y) const { return sheet.At(Left() + x, 1 + y); }
  uint32_t Mask(int x, int y) const { return sheet.At(Left() + x, layout.cellHeight + 2 + y); }
  bool operator==(const Cell& other) const {
    for (int y = 0; y < layout.cellHeight; y++) {
      for (int x = 0; x < layout.cellWidth; x++) {
        if (Color(x, y) != other.Color(x, y) || Mask(x, y) != other.Mask(x, y)) return false;
      }
    }
    return true;
  }
};

class SheetTest : public testing::TestWithParam<SheetCase> {};

TEST_P(SheetTest, HasGridLinesAroundEveryCell) {
  const SheetCase& layout = GetParam();
  Picture sheet = Load(Sprite(layout.name));
  ASSERT_EQ(sheet.width, 1 + layout.cells * (layout.cellWidth + 1));
  ASSERT_EQ(sheet.height, 2 * (layout.cellHeight + 1) + 1);
  uint32_t grid = sheet.At(0, 0);
  EXPECT_NE(grid, kWhite);
  EXPECT_NE(grid, kBlack);
  for (int k = 0; k <= layout.cells; k++) {
    for (int y = 0; y < sheet.height; y++) ASSERT_EQ(sheet.At(k * (layout.cellWidth + 1), y), grid) << k << "," << y;
  }
  for (int row = 0; row <= 2; row++) {
    for (int x = 0; x < sheet.width; x++) ASSERT_EQ(sheet.At(x, row * (layout.cellHeight + 1)), grid) << x << "," << row;
  }
}

TEST_P(SheetTest, EveryCellIsMaskedAndOpaqueSomewhere) {
  const SheetCase& layout = GetParam();
  Picture sheet = Load(Sprite(layout.name));
  ASSERT_EQ(sheet.width, 1 + layout.cells * (layout.cellWidth + 1));
  for (int k = 0; k < layout.cells; k++) {
    Cell cell{sheet, layout, k};
    int opaque = 0;
    for (int y = 0; y < layout.cellHeight; y++) {
      for (int x = 0; x < layout.cellWidth; x++) {
        uint32_t mask = cell.Mask(x, y);
        ASSERT_TRUE(mask == kWhite || mask == kBlack) << "cell " << k << " at " << x << "," << y;
        if (mask == kWhite) {
          ASSERT_EQ(cell.Color(x, y), kBlack) << "cell " << k << " at " << x << "," << y;
        }
        opaque += mask == kBlack;
      }
    }
    EXPECT_GT(opaque, layout.cellWidth) << "cell " << k;
  }
}

INSTANTIATE_TEST_SUITE_P(Sprites, SheetTest, testing::Values(kCharacters[0], kCharacters[1], kCharacters[2], kCharacters[3],
                                                              kCharacters[4], kPsi),
                         [](const testing::TestParamInfo<SheetCase>& info) { return std::string(info.param.name); });

// The game tests collisions along a player cell's bottom row: the feet must stand on it.
TEST(CharacterSheetTest, EveryPoseStandsOnTheCellsBottomRow) {
  for (const SheetCase& layout : kCharacters) {
    Picture sheet = Load(Sprite(layout.name));
    ASSERT_EQ(sheet.width, 529) << layout.name;
    for (int k = 0; k < layout.cells; k++) {
      Cell cell{sheet, layout, k};
      bool standing = false;
      for (int x = 0; x < layout.cellWidth; x++) standing |= cell.Mask(x, layout.cellHeight - 1) == kBlack;
      EXPECT_TRUE(standing) << layout.name << " cell " << k;
    }
  }
}

TEST(CharacterSheetTest, TheTwoWalkingPhasesDiffer) {
  for (const SheetCase& layout : kCharacters) {
    Picture sheet = Load(Sprite(layout.name));
    ASSERT_EQ(sheet.width, 529) << layout.name;
    for (int direction : {0, 1, 2, 3, 8, 9, 10, 11}) {
      EXPECT_FALSE((Cell{sheet, layout, direction} == Cell{sheet, layout, direction + 4})) << layout.name << " " << direction;
    }
  }
}

TEST(CharacterSheetTest, TheFiveCharactersLookDifferent) {
  std::vector<Picture> sheets;
  for (const SheetCase& layout : kCharacters) sheets.push_back(Load(Sprite(layout.name)));
  for (size_t a = 0; a < sheets.size(); a++) {
    ASSERT_EQ(sheets[a].width, 529) << kCharacters[a].name;
    for (size_t b = a + 1; b < sheets.size(); b++) {
      EXPECT_FALSE((Cell{sheets[a], kCharacters[a], 0} == Cell{sheets[b], kCharacters[b], 0}))
          << kCharacters[a].name << " and " << kCharacters[b].name << " face down alike";
    }
  }
}

TEST(PictureTest, RadarAndTitleHaveTheirSizes) {
  Picture radar = Load(Sprite("RADAR")), title = Load(fs::path(GAME_DIR) / "brambleduck.bmp");
  EXPECT_EQ(radar.width, 75);
  EXPECT_EQ(radar.height, 60);
  EXPECT_EQ(title.width, 640);
  EXPECT_EQ(title.height, 380);
}

// A whole character that the reader accepts; each case below breaks it in one place.
const std::string kGoodCharacter =
    "# a comment\n"
    "sheet ANNA\n"
    "build broad\n"
    "skin #F0C8A0\n"
    "hair long #8a4b20\n"
    "top coat #112233\n"
    "trim #FFFFFF\n"
    "legs #000000\n"
    "shoes #ABCDEF\n"
    "extra glasses #202020\n";

std::optional<std::vector<CharacterLook>> ReadText(const std::string& text) {
  // One file per test and process: the tests of this file run side by side.
  const char* test = testing::UnitTest::GetInstance()->current_test_info()->name();
  fs::path path = fs::path(testing::TempDir()) / (std::string(test) + "-" + std::to_string(getpid()) + ".txt");
  std::ofstream(path) << text;
  auto looks = ReadCharacters(path);
  fs::remove(path);
  return looks;
}

TEST(CharacterFileTest, ReadsEveryField) {
  auto looks = ReadText(kGoodCharacter + "sheet BEN\nskin #000001\nhair curly #000002\ntop pyjamas #000003\n"
                                         "trim #000004\nlegs #000005\nshoes #000006\n");
  ASSERT_TRUE(looks);
  ASSERT_EQ(looks->size(), 2u);
  const CharacterLook& anna = (*looks)[0];
  EXPECT_EQ(anna.sheet, "ANNA");
  EXPECT_TRUE(anna.broad);
  EXPECT_EQ(anna.skin, 0xF0C8A0u);
  EXPECT_EQ(anna.hair, Hair::kLong);
  EXPECT_EQ(anna.hairColor, 0x8A4B20u);
  EXPECT_EQ(anna.top, Top::kCoat);
  EXPECT_EQ(anna.topColor, 0x112233u);
  EXPECT_EQ(anna.trim, 0xFFFFFFu);
  EXPECT_EQ(anna.legs, 0u);
  EXPECT_EQ(anna.shoes, 0xABCDEFu);
  EXPECT_EQ(anna.extra, Extra::kGlasses);
  EXPECT_EQ(anna.extraColor, 0x202020u);
  const CharacterLook& ben = (*looks)[1];
  EXPECT_FALSE(ben.broad);
  EXPECT_EQ(ben.hair, Hair::kCurly);
  EXPECT_EQ(ben.top, Top::kPyjamas);
  EXPECT_EQ(ben.shoes, 6u);
  EXPECT_EQ(ben.extra, Extra::kNone);
}

TEST(CharacterFileTest, RefusesBrokenFiles) {
  auto replace = [](const std::string& from, const std::string& to) {
    std::string text = kGoodCharacter;
    return text.replace(text.find(from), from.size(), to);
  };
  const std::string broken[] = {
      "",
      "skin #F0C8A0\n" + kGoodCharacter,        // a field before any sheet
      replace("sheet ANNA", "sheet"),           // no name
      replace("skin #F0C8A0\n", ""),            // a field missing
      replace("hair long", "hair wavy"),        // unknown style
      replace("#F0C8A0", "#F0C8A"),             // short colour
      replace("#F0C8A0", "#F0C8AG"),            // not hexadecimal
      replace("#F0C8A0", "F0C8A00"),            // no hash
      replace("legs #000000", "legs #000000 #111111"),  // extra words
      replace("build broad", "build tall"),
      replace("extra glasses #202020", "extra glasses"),
      kGoodCharacter + "skin #000000\n",        // a field twice
      kGoodCharacter + "sheet BEN\nskin #000001\n",  // the last character incomplete
      kGoodCharacter + "height 12\n",           // unknown field
  };
  for (const std::string& text : broken) EXPECT_FALSE(ReadText(text)) << text;
  EXPECT_FALSE(ReadCharacters(fs::path(testing::TempDir()) / "no such file.txt"));
}

}  // namespace
