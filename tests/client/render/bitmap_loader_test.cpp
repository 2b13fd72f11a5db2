#include <gtest/gtest.h>

#include "client/render/bitmap_loader.h"
#include "tests/client/render/picture_files.h"

namespace {

constexpr RGBQUAD kRed = {0, 0, 255, 7}, kGreen = {0, 255, 0, 7}, kBlue = {255, 0, 0, 7}, kWhite = {255, 255, 255, 7};
constexpr uint32_t R = 0xFF0000, G = 0x00FF00, B = 0x0000FF, W = 0xFFFFFF;

// Red, green, blue, white, then grey levels to fill `count` entries.
std::vector<RGBQUAD> Colours(size_t count) {
  std::vector<RGBQUAD> colours = {kRed, kGreen, kBlue, kWhite};
  for (size_t i = colours.size(); i < count; i++) colours.push_back({BYTE(i), BYTE(i), BYTE(i), 0});
  colours.resize(count);
  return colours;
}

std::vector<PALETTEENTRY> EntriesOf(HPALETTE palette) {
  std::lock_guard lock(GdiMutex());
  return static_cast<Palette*>(static_cast<GdiObject*>(static_cast<void*>(palette)))->entries;
}

class BitmapLoader : public testing::Test {
 protected:
  ~BitmapLoader() override { DeleteDC(dc_); }

  // Loads `bytes` written as picture.bmp.
  HBITMAP Load(const Bytes& bytes) {
    WriteFile("images/Picture.bmp", bytes);
    return LoadBitmapFile("images\\picture.bmp", dc_, &palette_, &size_);
  }

  TempFolder folder_;
  HDC dc_ = CreateCompatibleDC(nullptr);
  HPALETTE palette_ = nullptr;
  BitmapSize size_ = {-1, -1};
};

// Every case is 2 x 2 pixels: red, green on top and blue, white below.
struct FormatCase {
  const char* name;
  BITMAPINFOHEADER header;
  std::vector<RGBQUAD> table;  // as the file stores it
  Bytes rows;
  size_t gap = 0;
  size_t paletteEntries = table.size();
};

TEST_F(BitmapLoader, ReadsEachBitCountWithItsColourTable) {
  const Bytes rows8 = {2, 3, 0, 0, 0, 1, 0, 0};
  const Bytes rows24 = {255, 0, 0, 255, 255, 255, 0, 0, 0, 0, 255, 0, 255, 0, 0, 0};
  const FormatCase cases[] = {
      {"1 bit, table of 2", InfoHeader(2, 2, 1), {kRed, kBlue}, {0b10000000, 0, 0, 0, 0b01000000, 0, 0, 0}},
      {"4 bit, table of 16", InfoHeader(2, 2, 4), Colours(16), {0x23, 0, 0, 0, 0x01, 0, 0, 0}},
      {"8 bit, table of 256", InfoHeader(2, 2, 8), Colours(256), rows8},
      {"8 bit, colour count 16", InfoHeader(2, 2, 8, 16), Colours(16), rows8},
      {"8 bit, gap before the pixels", InfoHeader(2, 2, 8, 4), Colours(4), rows8, 12},
      {"24 bit, no table", InfoHeader(2, 2, 24), {}, rows24},
      {"24 bit, gap before the pixels", InfoHeader(2, 2, 24), {}, rows24, 5},
  };
  for (const FormatCase& c : cases) {
    HBITMAP bitmap = Load(BmpBytes(c.header, c.table, c.rows, c.gap));
    ASSERT_NE(bitmap, nullptr) << c.name;
    const std::vector<uint32_t> expected =
        c.header.biBitCount == 1 ? std::vector<uint32_t>{R, B, B, R} : std::vector<uint32_t>{R, G, B, W};
    Pixmap pixmap = PixmapOf(bitmap);
    EXPECT_EQ(pixmap.width, 2) << c.name;
    EXPECT_EQ(pixmap.pixels, expected) << c.name;
    EXPECT_EQ(size_.width, 2) << c.name;
    EXPECT_EQ(size_.height, 2) << c.name;
    ASSERT_NE(palette_, nullptr) << c.name;
    std::vector<PALETTEENTRY> entries = EntriesOf(palette_);
    ASSERT_EQ(entries.size(), c.table.size()) << c.name;
    for (size_t i = 0; i < entries.size(); i++) {
      const PALETTEENTRY want = {c.table[i].rgbRed, c.table[i].rgbGreen, c.table[i].rgbBlue, PC_NOCOLLAPSE};
      EXPECT_EQ(memcmp(&entries[i], &want, sizeof want), 0) << c.name << " entry " << i;
    }
    DeleteObject(bitmap);
    DeleteObject(palette_);
  }
}

TEST_F(BitmapLoader, ANegativeHeightIsReturnedAsStoredAndDrawnTheRightWayUp) {
  const Bytes topRowFirst = {0, 0, 255, 0, 255, 0, 0, 0, 255, 0, 0, 255, 255, 255, 0, 0};
  HBITMAP bitmap = Load(BmpBytes(InfoHeader(2, -2, 24), {}, topRowFirst));
  ASSERT_NE(bitmap, nullptr);
  EXPECT_EQ(size_.width, 2);
  EXPECT_EQ(size_.height, -2);
  EXPECT_EQ(PixmapOf(bitmap).pixels, (std::vector<uint32_t>{R, G, B, W}));
}

TEST_F(BitmapLoader, ReadsPixelArraysLargerThanOnePiece) {
  // 130 rows of 392 bytes: more than one 46,080-byte piece.
  const int side = 130;
  std::vector<uint32_t> pixels(side * side);
  for (size_t i = 0; i < pixels.size(); i++) pixels[i] = uint32_t(i * 2654435761u) & 0xFFFFFF;
  HBITMAP bitmap = Load(Bmp24(side, side, pixels));
  ASSERT_NE(bitmap, nullptr);
  EXPECT_EQ(PixmapOf(bitmap).pixels, pixels);
}

TEST_F(BitmapLoader, AStatedSizeBeyondTheFileStillGivesThePicture) {
  Bytes file = Bmp24(2, 2, {R, G, B, W});
  file[2] += 100;  // the file size field
  HBITMAP bitmap = Load(file);
  ASSERT_NE(bitmap, nullptr);
  EXPECT_EQ(PixmapOf(bitmap).pixels, (std::vector<uint32_t>{R, G, B, W}));
}

TEST_F(BitmapLoader, RefusedFilesLeaveTheOutParametersAlone) {
  const Bytes good = Bmp24(2, 2, {R, G, B, W});
  auto with = [&](size_t at, uint8_t value) {
    Bytes file = good;
    file[at] = value;
    return file;
  };
  const struct {
    const char* name;
    Bytes file;
  } cases[] = {
      {"first signature byte", with(0, 'X')},
      {"second signature byte", with(1, 'X')},
      {"shorter than its headers", Bytes(good.begin(), good.begin() + 40)},
      {"pixel rows cut short", Bytes(good.begin(), good.end() - 1)},
      {"stated size less its header too small for the rows", with(2, 14 + 15)},
      {"info header of 108 bytes", with(14, 108)},
      {"bit-field masks", with(30, BI_BITFIELDS)},
  };
  const HPALETTE before = reinterpret_cast<HPALETTE>(&palette_);
  for (const auto& c : cases) {
    palette_ = before;
    size_ = {-1, -1};
    EXPECT_EQ(Load(c.file), nullptr) << c.name;
    EXPECT_EQ(palette_, before) << c.name;
    EXPECT_EQ(size_.width, -1) << c.name;
    EXPECT_EQ(size_.height, -1) << c.name;
  }
  EXPECT_EQ(LoadBitmapFile("images\\missing.bmp", dc_, &palette_, &size_), nullptr);
  EXPECT_EQ(palette_, before);
  EXPECT_EQ(size_.width, -1);
}

TEST_F(BitmapLoader, ACompressionThePlatformRefusesStillGivesPaletteAndSize) {
  BITMAPINFOHEADER header = InfoHeader(2, 2, 8);
  header.biCompression = 1;  // run-length encoded, 8 bits
  EXPECT_EQ(Load(BmpBytes(header, Colours(256), {2, 3, 0, 0, 0, 1, 0, 0})), nullptr);
  ASSERT_NE(palette_, nullptr);
  EXPECT_EQ(EntriesOf(palette_).size(), 256u);
  EXPECT_EQ(size_.width, 2);
  EXPECT_EQ(size_.height, 2);
}

}  // namespace
