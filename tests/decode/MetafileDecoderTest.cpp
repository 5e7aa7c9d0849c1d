// The metafile decoder (Windows): enhanced and placeable Windows metafiles made with GDI,
// decoded from files whose names say what they are.

#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <fstream>

#include "DecodeTestUtil.h"

namespace fs = std::filesystem;

namespace {

std::string WriteFile(const char* name, const std::vector<uint8_t>& content) {
    std::string path = (fs::temp_directory_path() / name).string();
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(content.data()), static_cast<std::streamsize>(content.size()));
    return path;
}

void FillRectColor(HDC dc, int left, int top, int right, int bottom, COLORREF color) {
    HBRUSH brush = ::CreateSolidBrush(color);
    RECT r{left, top, right, bottom};
    ::FillRect(dc, &r, brush);
    ::DeleteObject(brush);
}

// An enhanced metafile with the given frame (0.01 mm; null: none) and drawing.
std::vector<uint8_t> MakeEmf(const RECT* frame, bool draw) {
    HDC screen = ::GetDC(nullptr);
    HDC dc = ::CreateEnhMetaFileA(screen, nullptr, frame, nullptr);
    ::ReleaseDC(nullptr, screen);
    if (draw) {
        // The frame covers 100 x 50 device units of the reference (screen) device.
        FillRectColor(dc, 0, 0, 100, 50, RGB(255, 0, 0));
        FillRectColor(dc, 50, 0, 100, 50, RGB(0, 0, 255));
    }
    HENHMETAFILE emf = ::CloseEnhMetaFile(dc);
    UINT size = ::GetEnhMetaFileBits(emf, 0, nullptr);
    std::vector<uint8_t> bits(size);
    ::GetEnhMetaFileBits(emf, size, bits.data());
    ::DeleteEnhMetaFile(emf);
    return bits;
}

TEST(MetafileDecoder, EnhancedMetafile) {
    HDC screen = ::GetDC(nullptr);
    // A frame of exactly 100 x 50 screen pixels in 0.01 mm.
    int hmm = ::GetDeviceCaps(screen, HORZSIZE), vmm = ::GetDeviceCaps(screen, VERTSIZE);
    int hres = ::GetDeviceCaps(screen, HORZRES), vres = ::GetDeviceCaps(screen, VERTRES);
    ::ReleaseDC(nullptr, screen);
    RECT frame{0, 0, MulDiv(100, hmm * 100, hres), MulDiv(50, vmm * 100, vres)};
    std::string path = WriteFile("lumatre-test.emf", MakeEmf(&frame, true));
    CAutoDecoder decoder;
    CPackedDibBitmap bmp;
    decoder.MakeBmpFromFile(path.c_str(), bmp);
    EXPECT_NEAR(bmp.GetWidth(), 100, 1);
    EXPECT_NEAR(bmp.GetHeight(), 50, 1);
    ASSERT_EQ(bmp.GetBitsPerPixel(), 32);
    EXPECT_FALSE(bmp.HasAlpha());
    EXPECT_EQ(Stored(bmp, 10, 25), Rgb(255, 0, 0));
    EXPECT_EQ(Stored(bmp, 80, 25), Rgb(0, 0, 255));
    fs::remove(path);
}

TEST(MetafileDecoder, EmptyFrameGivesA320By200WhiteBitmap) {
    std::string path = WriteFile("lumatre-empty.emf", MakeEmf(nullptr, false));
    CAutoDecoder decoder;
    CPackedDibBitmap bmp;
    decoder.MakeBmpFromFile(path.c_str(), bmp);
    ASSERT_EQ(bmp.GetSize(), (PLSize{320, 200}));
    EXPECT_EQ(Stored(bmp, 0, 0), Rgb(255, 255, 255));
    EXPECT_EQ(Stored(bmp, 319, 199), Rgb(255, 255, 255));
    fs::remove(path);
}

TEST(MetafileDecoder, PlaceableWindowsMetafile) {
    HDC dc = ::CreateMetaFileA(nullptr);
    ::SetWindowOrgEx(dc, 0, 0, nullptr);
    ::SetWindowExtEx(dc, 200, 100, nullptr);
    FillRectColor(dc, 0, 0, 200, 100, RGB(0, 128, 0));
    FillRectColor(dc, 0, 50, 200, 100, RGB(255, 255, 0));
    HMETAFILE wmf = ::CloseMetaFile(dc);
    UINT size = ::GetMetaFileBitsEx(wmf, 0, nullptr);
    std::vector<uint8_t> bits(size);
    ::GetMetaFileBitsEx(wmf, size, bits.data());
    ::DeleteMetaFile(wmf);

    HDC screen = ::GetDC(nullptr);
    int dpi = ::GetDeviceCaps(screen, LOGPIXELSX);
    ::ReleaseDC(nullptr, screen);
    // Placeable header: 200 x 100 units at <dpi> units per inch: 200 x 100 pixels.
    Bytes file;
    file.le32(0x9AC6CDD7).le16(0).le16(0).le16(0).le16(200).le16(100).le16(static_cast<unsigned>(dpi)).le32(0);
    uint16_t checksum = 0;
    for (size_t i = 0; i < 20; i += 2) checksum ^= static_cast<uint16_t>(file.data()[i] | (file.data()[i + 1] << 8));
    file.le16(checksum).raw(bits);
    std::string path = WriteFile("lumatre-test.wmf", file);
    CAutoDecoder decoder;
    CPackedDibBitmap bmp;
    decoder.MakeBmpFromFile(path.c_str(), bmp, 32);
    ASSERT_EQ(bmp.GetSize(), (PLSize{200, 100}));
    EXPECT_EQ(Stored(bmp, 100, 20), Rgb(0, 128, 0));
    EXPECT_EQ(Stored(bmp, 100, 80), Rgb(255, 255, 0));
    fs::remove(path);
}

TEST(MetafileDecoder, NameDecidesEvenForOtherData) {
    // A bitmap saved as x.emf.bmp goes to the metafile decoder, which cannot read it.
    std::vector<uint8_t> bmpFile = Bytes().str("BM").le32(58).le32(0).le32(54).le32(40).le32(1).le32(1).le16(1)
                                       .le16(24).le32(0).le32(4).le32(0).le32(0).le32(0).le32(0).u8(1).u8(2).u8(3).u8(0);
    std::string path = WriteFile("lumatre-x.emf.bmp", bmpFile);
    CAutoDecoder decoder;
    CPackedDibBitmap bmp;
    try {
        decoder.MakeBmpFromFile(path.c_str(), bmp);
        ADD_FAILURE() << "decoded as a bitmap";
    } catch (const CTextException& e) {
        EXPECT_EQ(e.GetCode(), PLErr::Unsupported);
        EXPECT_STREQ(e.GetText(), "Decoder error: Windows Metafile functions failed to load this image.\n");
    }
    fs::remove(path);
}

}  // namespace
