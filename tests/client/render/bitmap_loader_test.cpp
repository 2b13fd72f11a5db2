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

// A file that ends before its colour table or its pixel rows are complete still gives
// the bitmap, with what is missing read as zero: black pixels, or colour 0.
TEST_F(BitmapLoader, AFileThatEndsEarlyGivesTheBitmapWithTheRestZero) {
  const Bytes whole24 = Bmp24(2, 2, {R, G, B, W});  // rows stored bottom first: B W, then R G
  const Bytes whole8 = BmpBytes(InfoHeader(2, 2, 8, 4), Colours(4), {2, 3, 0, 0, 0, 1, 0, 0});
  const Bytes shortPixelOffset = [&] {
    Bytes file = whole24;
    file[10] = 0xF0, file[11] = 0xFF;  // the pixel offset, past the end of the file
    return file;
  }();
  const struct {
    const char* name;
    Bytes file;
    std::vector<uint32_t> pixels;
    size_t coloursInFile;  // the entries of the table that the file holds
  } cases[] = {
      {"the top row's second pixel missing", Bytes(whole24.begin(), whole24.end() - 5), {R, 0, B, W}, 0},
      {"no pixel rows at all", Bytes(whole24.begin(), whole24.begin() + 54), {0, 0, 0, 0}, 0},
      {"the pixels past the end of the file", shortPixelOffset, {0, 0, 0, 0}, 0},
      {"the colour table cut after two entries", Bytes(whole8.begin(), whole8.begin() + 54 + 8), {R, R, R, R}, 2},
  };
  for (const auto& c : cases) {
    HBITMAP bitmap = Load(c.file);
    ASSERT_NE(bitmap, nullptr) << c.name;
    EXPECT_EQ(PixmapOf(bitmap).pixels, c.pixels) << c.name;
    EXPECT_EQ(size_.width, 2) << c.name;
    EXPECT_EQ(size_.height, 2) << c.name;
    const std::vector<PALETTEENTRY> entries = EntriesOf(palette_);
    const std::vector<RGBQUAD> table = c.coloursInFile ? Colours(4) : std::vector<RGBQUAD>{};
    ASSERT_EQ(entries.size(), table.size()) << c.name;
    for (size_t i = 0; i < entries.size(); i++) {
      const RGBQUAD want = i < c.coloursInFile ? table[i] : RGBQUAD{0, 0, 0, 0};
      EXPECT_EQ(entries[i].peRed, want.rgbRed) << c.name << " entry " << i;
      EXPECT_EQ(entries[i].peGreen, want.rgbGreen) << c.name << " entry " << i;
      EXPECT_EQ(entries[i].peBlue, want.rgbBlue) << c.name << " entry " << i;
    }
    DeleteObject(bitmap);
    DeleteObject(palette_);
  }
}

TEST_F(BitmapLoader, RefusedFilesLeaveTheOutParametersAlone) {
  const Bytes good = Bmp24(2, 2, {R, G, B, W});
  auto with = [&](size_t at, uint8_t value) {
    Bytes file = good;
    file[at] = value;
    return file;
  };
  // Headers alone, with a stated size to hold what they describe.
  auto large = [](int width, int height, int bits) {
    Bytes file = BmpBytes(InfoHeader(width, height, bits), {}, {});
    std::fill(file.begin() + 2, file.begin() + 6, 0xFF);
    return file;
  };
  const struct {
    const char* name;
    Bytes file;
  } cases[] = {
      {"first signature byte", with(0, 'X')},
      {"second signature byte", with(1, 'X')},
      {"shorter than its headers", Bytes(good.begin(), good.begin() + 40)},
      {"stated size less its header too small for the rows", with(2, 14 + 15)},
      {"more colours than a palette holds", with(48, 1)},
      {"more than 4096 x 4096 pixels", large(4097, -4096, 1)},
      {"more than 64 MiB of pixel rows", large(4096, 4096, 33)},
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
