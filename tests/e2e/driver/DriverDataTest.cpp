// The driver's parts that need no desktop: packed DIB decoding, BMP writing, files, program
// copies and the registry helpers.
#include <gtest/gtest.h>

#include <cstring>

#include "E2EDriver.h"

namespace e2e = lumatre::e2e;

namespace {

// A packed DIB built by hand: header, optional masks, palette, rows.
struct DibBuilder {
  int width, height;
  int bpp;
  bool topDown = false;
  uint32_t compression = BI_RGB;
  std::vector<uint32_t> masks;    // written after a 40-byte header for BI_BITFIELDS
  std::vector<uint32_t> palette;  // 0x00RRGGBB entries
  uint32_t clrUsed = 0;
  std::vector<uint8_t> bits;

  DibBuilder(int w, int h, int b) : width(w), height(h), bpp(b) {
    bits.assign(Stride() * h, 0);
  }
  size_t Stride() const { return ((static_cast<size_t>(width) * bpp + 31) / 32) * 4; }
  uint8_t* Row(int y) { return bits.data() + Stride() * (topDown ? y : height - 1 - y); }
  std::vector<uint8_t> Build() const {
    BITMAPINFOHEADER ih = {};
    ih.biSize = sizeof ih;
    ih.biWidth = width;
    ih.biHeight = topDown ? -height : height;
    ih.biPlanes = 1;
    ih.biBitCount = static_cast<WORD>(bpp);
    ih.biCompression = compression;
    ih.biClrUsed = clrUsed;
    std::vector<uint8_t> out(sizeof ih);
    std::memcpy(out.data(), &ih, sizeof ih);
    auto put32 = [&](uint32_t v) {
      for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
    };
    for (uint32_t m : masks) put32(m);
    for (uint32_t c : palette) put32(c);  // blue, green, red, reserved in memory
    out.insert(out.end(), bits.begin(), bits.end());
    return out;
  }
};

std::optional<e2e::Image> Decode(const std::vector<uint8_t>& d) {
  return e2e::DecodePackedDib(d.data(), d.size());
}

}  // namespace

TEST(DecodePackedDib, OneBitUsesPaletteAndPacksFromTheHighBit) {
  DibBuilder b(10, 2, 1);
  b.palette = {0x112233, 0xAABBCC};
  b.Row(0)[0] = 0x80;  // x = 0 set
  b.Row(1)[1] = 0x40;  // x = 9 set
  auto img = Decode(b.Build());
  ASSERT_TRUE(img);
  EXPECT_EQ(img->width, 10);
  EXPECT_EQ(img->height, 2);
  EXPECT_EQ(img->Rgb(0, 0), 0xAABBCCu);
  EXPECT_EQ(img->Rgb(1, 0), 0x112233u);
  EXPECT_EQ(img->Rgb(9, 1), 0xAABBCCu);
  EXPECT_EQ(img->Rgb(8, 1), 0x112233u);
  EXPECT_EQ(img->At(0, 0) >> 24, 0xFFu);
}

TEST(DecodePackedDib, FourBitHighNibbleFirstWithShortPalette) {
  DibBuilder b(3, 1, 4);
  b.palette = {0x000000, 0x0000FF, 0x00FF00};
  b.clrUsed = 3;
  b.Row(0)[0] = 0x12;
  b.Row(0)[1] = 0xF0;  // index 15 is past the 3-entry table
  auto img = Decode(b.Build());
  ASSERT_TRUE(img);
  EXPECT_EQ(img->Rgb(0, 0), 0x0000FFu);
  EXPECT_EQ(img->Rgb(1, 0), 0x00FF00u);
  EXPECT_EQ(img->Rgb(2, 0), 0x000000u);
}

TEST(DecodePackedDib, EightBitTopDown) {
  DibBuilder b(2, 2, 8);
  b.topDown = true;
  b.palette.assign(256, 0);
  b.palette[7] = 0x123456;
  b.palette[9] = 0xFEDCBA;
  b.Row(0)[0] = 7;
  b.Row(1)[1] = 9;
  auto img = Decode(b.Build());
  ASSERT_TRUE(img);
  EXPECT_EQ(img->Rgb(0, 0), 0x123456u);
  EXPECT_EQ(img->Rgb(1, 1), 0xFEDCBAu);
}

TEST(DecodePackedDib, SixteenBitDefaultsTo555AndHonoursBitFields565) {
  DibBuilder a(1, 1, 16);
  a.Row(0)[0] = 0x1F;  // blue 31
  a.Row(0)[1] = 0x7C;  // red 31
  auto i555 = Decode(a.Build());
  ASSERT_TRUE(i555);
  EXPECT_EQ(i555->Rgb(0, 0), 0xFF00FFu);

  DibBuilder b(1, 1, 16);
  b.compression = BI_BITFIELDS;
  b.masks = {0xF800, 0x07E0, 0x001F};
  b.Row(0)[0] = 0xE0;  // green 0x3F: bits 5..10
  b.Row(0)[1] = 0x07;
  auto i565 = Decode(b.Build());
  ASSERT_TRUE(i565);
  EXPECT_EQ(i565->Rgb(0, 0), 0x00FF00u);
}

TEST(DecodePackedDib, TwentyFourAndThirtyTwoBit) {
  DibBuilder b(2, 1, 24);
  uint8_t px[] = {0x01, 0x02, 0x03, 0xAA, 0xBB, 0xCC};
  std::memcpy(b.Row(0), px, sizeof px);
  auto img = Decode(b.Build());
  ASSERT_TRUE(img);
  EXPECT_EQ(img->Rgb(0, 0), 0x030201u);
  EXPECT_EQ(img->Rgb(1, 0), 0xCCBBAAu);

  DibBuilder c(1, 1, 32);
  uint8_t p32[] = {0x10, 0x20, 0x30, 0x00};  // alpha 0 still reads as opaque
  std::memcpy(c.Row(0), p32, sizeof p32);
  auto img32 = Decode(c.Build());
  ASSERT_TRUE(img32);
  EXPECT_EQ(img32->At(0, 0), 0xFF302010u);

  DibBuilder d(1, 1, 32);
  d.compression = BI_BITFIELDS;
  d.masks = {0x000000FF, 0x0000FF00, 0x00FF0000};  // red in the low byte
  std::memcpy(d.Row(0), p32, sizeof p32);
  auto swapped = Decode(d.Build());
  ASSERT_TRUE(swapped);
  EXPECT_EQ(swapped->Rgb(0, 0), 0x102030u);
}

TEST(DecodePackedDib, RefusesMalformedInput) {
  DibBuilder good(4, 4, 24);
  auto data = good.Build();
  ASSERT_TRUE(Decode(data));

  auto truncated = data;
  truncated.pop_back();
  EXPECT_FALSE(Decode(truncated)) << "one byte short of the last row";

  EXPECT_FALSE(e2e::DecodePackedDib(data.data(), 11));
  EXPECT_FALSE(e2e::DecodePackedDib(nullptr, 100));

  auto patch32 = [](std::vector<uint8_t> d, size_t off, uint32_t v) {
    std::memcpy(d.data() + off, &v, 4);
    return d;
  };
  EXPECT_FALSE(Decode(patch32(data, 4, 0))) << "zero width";
  EXPECT_FALSE(Decode(patch32(data, 4, 0x7FFFFFFF))) << "huge width";
  EXPECT_FALSE(Decode(patch32(data, 8, 0x80000000u))) << "most negative height";
  EXPECT_FALSE(Decode(patch32(data, 16, BI_RLE8))) << "compressed";
  EXPECT_FALSE(Decode(patch32(data, 0, 1000))) << "header larger than the block";

  DibBuilder pal(2, 2, 8);
  pal.palette.assign(10, 0);
  pal.clrUsed = 300;  // more entries than 8 bits can index
  EXPECT_FALSE(Decode(pal.Build()));

  DibBuilder holes(1, 1, 16);
  holes.compression = BI_BITFIELDS;
  holes.masks = {0xF00F, 0x07E0, 0x001F};  // not one run of bits
  EXPECT_FALSE(Decode(holes.Build()));
}

TEST(Pictures, SaveBmpWritesA32BitBottomUpFileThatDecodesBack) {
  e2e::Image img(5, 3);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x) img.At(x, y) = 0xFF000000u | e2e::PatternPixel(2, x, y);
  e2e::AppCopy dir({}, false);
  ASSERT_TRUE(dir.Ok()) << dir.Error();
  std::string path = e2e::JoinPath(dir.Folder(), "out.bmp");
  ASSERT_TRUE(e2e::SaveBmp(img, path));
  auto bytes = e2e::ReadFileBytes(path);
  ASSERT_TRUE(bytes);
  ASSERT_EQ(bytes->size(), 54u + 5 * 3 * 4);
  EXPECT_EQ((*bytes)[0], 'B');
  EXPECT_EQ((*bytes)[1], 'M');
  auto back = e2e::DecodePackedDib(bytes->data() + 14, bytes->size() - 14);
  ASSERT_TRUE(back);
  EXPECT_EQ(e2e::CountDifferentPixels(img, *back, RECT{0, 0, 5, 3}), 0);
  EXPECT_FALSE(e2e::SaveBmp(e2e::Image(), path));
  EXPECT_FALSE(e2e::SaveBmp(img, e2e::JoinPath(dir.Folder(), "missing\\out.bmp")));
}

TEST(Pictures, PixelComparisonCountsOnlyTheRectangleAndTheTolerance) {
  e2e::Image a(4, 4, 0xFF101010u), b(4, 4, 0xFF101010u);
  b.At(1, 1) = 0xFF131010u;  // red off by 3
  b.At(3, 3) = 0xFF000000u;
  EXPECT_EQ(e2e::CountDifferentPixels(a, b, RECT{0, 0, 4, 4}), 2);
  EXPECT_EQ(e2e::CountDifferentPixels(a, b, RECT{0, 0, 4, 4}, 3), 1);
  EXPECT_EQ(e2e::CountDifferentPixels(a, b, RECT{0, 0, 3, 3}), 1);
  EXPECT_EQ(e2e::CountDifferentPixels(a, b, RECT{2, 2, 6, 6}), 1 + 12) << "outside counts";
  auto crop = b.Crop(RECT{1, 1, 10, 2});
  EXPECT_EQ(crop.width, 3);
  EXPECT_EQ(crop.height, 1);
  EXPECT_EQ(crop.At(0, 0), 0xFF131010u);
  EXPECT_EQ(e2e::CountPixelsNotMatching(a, RECT{0, 0, 4, 4}, [](int, int) { return 0x101010u; }),
            0);
}

TEST(Pictures, PatternNeighboursAndVariantsDiffer) {
  for (int y = 0; y < 300; ++y) {
    for (int x = 0; x < 400; ++x) {
      uint32_t p = e2e::PatternPixel(0, x, y);
      ASSERT_NE(p, e2e::PatternPixel(0, x + 1, y)) << x << "," << y;
      ASSERT_NE(p, e2e::PatternPixel(0, x, y + 1)) << x << "," << y;
      ASSERT_NE(p, e2e::PatternPixel(1, x, y)) << x << "," << y;
      ASSERT_EQ(p >> 24, 0u);
    }
  }
}

TEST(Files, AppCopyMakesAFreshFolderAndRemovesIt) {
  std::string folder;
  {
    e2e::AppCopy copy({e2e::kPatternExe}, false);
    ASSERT_TRUE(copy.Ok()) << copy.Error();
    folder = copy.Folder();
    EXPECT_TRUE(e2e::DirectoryExists(folder));
    EXPECT_TRUE(e2e::FileExists(e2e::JoinPath(folder, e2e::kPatternExe)));
    EXPECT_EQ(copy.OutputFolder(), folder + "\\Output");
    EXPECT_EQ(copy.ExePath(), folder + "\\Lumatre.exe");
    // Sub-folders and read-only files go too.
    ASSERT_TRUE(CreateDirectoryA((folder + "\\Output").c_str(), nullptr));
    std::string ro = folder + "\\Output\\a.txt";
    ASSERT_TRUE(e2e::WriteFileBytes(ro, "x", 1));
    SetFileAttributesA(ro.c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(e2e::ListFiles(folder + "\\Output"), std::vector<std::string>{"a.txt"});
    e2e::AppCopy other({}, false);
    EXPECT_NE(other.Folder(), folder);
  }
  EXPECT_FALSE(e2e::DirectoryExists(folder));
}

TEST(Files, AppCopyReportsAMissingFile) {
  e2e::AppCopy copy({"no-such-file.exe"}, false);
  EXPECT_FALSE(copy.Ok());
  EXPECT_NE(copy.Error().find("no-such-file.exe"), std::string::npos) << copy.Error();
}

TEST(Files, ReadAndListHandleMissingPaths) {
  EXPECT_FALSE(e2e::ReadFileBytes("C:\\no\\such\\file.bin"));
  EXPECT_TRUE(e2e::ListFiles("C:\\no\\such\\folder").empty());
  EXPECT_FALSE(e2e::FileExists(e2e::ExecutableFolder()));
  EXPECT_TRUE(e2e::DirectoryExists(e2e::ExecutableFolder()));
  EXPECT_EQ(e2e::JoinPath("C:\\a\\", "b"), "C:\\a\\b");
  EXPECT_EQ(e2e::JoinPath("C:\\a", "b"), "C:\\a\\b");
}

class Registry : public ::testing::Test {
 protected:
  void SetUp() override {
    m_path = "Software\\LumatreE2ETest\\" + std::to_string(GetCurrentProcessId());
    e2e::DeleteKeyTree(HKEY_CURRENT_USER, m_path);
  }
  void TearDown() override {
    EXPECT_TRUE(e2e::DeleteKeyTree(HKEY_CURRENT_USER, m_path));
    EXPECT_FALSE(e2e::KeyExists(HKEY_CURRENT_USER, m_path));
  }
  std::string m_path;
};

TEST_F(Registry, WritesCreateTheKeyPathAndReadBackByType) {
  std::string sec = m_path + "\\A\\B";
  EXPECT_FALSE(e2e::KeyExists(HKEY_CURRENT_USER, sec));
  EXPECT_EQ(e2e::ValueType(HKEY_CURRENT_USER, sec, "n"), -1);
  ASSERT_TRUE(e2e::WriteDword(HKEY_CURRENT_USER, sec, "n", 0x00681669));
  ASSERT_TRUE(e2e::WriteString(HKEY_CURRENT_USER, sec, "s", "0, 8236"));
  const uint8_t blob[] = {1, 2, 3, 0, 5};
  ASSERT_TRUE(e2e::WriteBinary(HKEY_CURRENT_USER, sec, "b", blob, sizeof blob));
  EXPECT_TRUE(e2e::KeyExists(HKEY_CURRENT_USER, sec));
  EXPECT_EQ(e2e::ValueType(HKEY_CURRENT_USER, sec, "n"), REG_DWORD);
  EXPECT_EQ(e2e::ValueType(HKEY_CURRENT_USER, sec, "s"), REG_SZ);
  EXPECT_EQ(e2e::ValueType(HKEY_CURRENT_USER, sec, "b"), REG_BINARY);
  EXPECT_EQ(e2e::ReadDword(HKEY_CURRENT_USER, sec, "n"), 0x00681669u);
  EXPECT_EQ(e2e::ReadString(HKEY_CURRENT_USER, sec, "s"), "0, 8236");
  auto b = e2e::ReadBinary(HKEY_CURRENT_USER, sec, "b");
  ASSERT_TRUE(b);
  EXPECT_EQ(*b, std::vector<uint8_t>(blob, blob + sizeof blob));
  // Wrong types read as missing.
  EXPECT_FALSE(e2e::ReadDword(HKEY_CURRENT_USER, sec, "s"));
  EXPECT_FALSE(e2e::ReadString(HKEY_CURRENT_USER, sec, "n"));
  EXPECT_FALSE(e2e::ReadDword(HKEY_CURRENT_USER, sec, "missing"));
  // A string written as raw bytes without its terminating zero still reads whole.
  ASSERT_TRUE(e2e::WriteRaw(HKEY_CURRENT_USER, sec, "raw", REG_SZ, "abc", 3));
  EXPECT_EQ(e2e::ReadString(HKEY_CURRENT_USER, sec, "raw"), "abc");
  EXPECT_TRUE(e2e::DeleteValue(HKEY_CURRENT_USER, sec, "n"));
  EXPECT_EQ(e2e::ValueType(HKEY_CURRENT_USER, sec, "n"), -1);
}

TEST_F(Registry, DeleteKeyTreeRemovesNestedKeysAndToleratesMissingOnes) {
  for (int i = 0; i < 5; ++i)
    ASSERT_TRUE(e2e::WriteDword(HKEY_CURRENT_USER, m_path + "\\k" + std::to_string(i) + "\\deep",
                                "v", i));
  EXPECT_TRUE(e2e::DeleteKeyTree(HKEY_CURRENT_USER, m_path));
  EXPECT_FALSE(e2e::KeyExists(HKEY_CURRENT_USER, m_path));
  EXPECT_TRUE(e2e::DeleteKeyTree(HKEY_CURRENT_USER, m_path));
  EXPECT_FALSE(e2e::DeleteKeyTree(HKEY_CURRENT_USER, "")) << "never the whole hive";
}
