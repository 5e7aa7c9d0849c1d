// CreateFromDIB: packed DIBs as the clipboard and resources hold them, good and malformed.

#include <gtest/gtest.h>

#include "BitmapTestUtil.h"
#include "DibBitmap.h"
#include "PackedDibBitmap.h"

namespace {

std::vector<PLRGBQuad> Colors(int n) {
    std::vector<PLRGBQuad> c(n);
    for (int i = 0; i < n; ++i)
        c[i] = PLRGBQuad{static_cast<uint8_t>(i), static_cast<uint8_t>(i * 2), static_cast<uint8_t>(255 - i), 0};
    return c;
}

void Import(CPackedDibBitmap& bmp, const std::vector<uint8_t>& dib) { bmp.CreateFromDIB(AsHeader(dib), dib.size()); }

TEST(DibImport, EightBitKeepsItsColoursAndRowOrder) {
    // 3 x 2, rows bottom-up, each padded to 4 bytes.
    std::vector<uint8_t> rows = {7, 8, 9, 0xEE, /* top row: */ 1, 2, 3, 0xEE};
    auto dib = MakeDib(3, 2, 8, PL_BI_RGB, Colors(256), rows);
    CPackedDibBitmap bmp;
    Import(bmp, dib);
    ASSERT_EQ(bmp.GetSize(), (PLSize{3, 2}));
    EXPECT_EQ(bmp.GetBitsPerPixel(), 8);
    EXPECT_FALSE(bmp.HasAlpha());
    EXPECT_EQ(bmp.GetLine(0)[0], 1);
    EXPECT_EQ(bmp.GetLine(0)[2], 3);
    EXPECT_EQ(bmp.GetLine(1)[0], 7);
    EXPECT_EQ(bmp.GetPalette()[5].rgbRed, 250);  // the DIB's colours, not the grey ramp
    EXPECT_EQ(bmp.GetPalette()[5].rgbGreen, 10);
    EXPECT_EQ(bmp.GetPalette()[5].rgbReserved, 0);
    EXPECT_EQ(bmp.GetBitmapInfoHeader()->biHeight, 2);
    EXPECT_EQ(bmp.GetBitmapInfoHeader()->biClrUsed, 0u);
}

TEST(DibImport, TopDownRows) {
    std::vector<uint8_t> rows = {1, 2, 3, 0, /* second row: */ 7, 8, 9, 0};
    auto dib = MakeDib(3, -2, 8, PL_BI_RGB, Colors(256), rows);
    CPackedDibBitmap bmp;
    Import(bmp, dib);
    EXPECT_EQ(bmp.GetHeight(), 2);
    EXPECT_EQ(bmp.GetLine(0)[0], 1);
    EXPECT_EQ(bmp.GetLine(1)[2], 9);
    EXPECT_EQ(bmp.GetBitmapInfoHeader()->biHeight, 2);  // stored bottom-up again
}

TEST(DibImport, ShortColourTableFromUsedColourCount) {
    // 3 x 1 at 4 bits with only 3 colours in the table; the rows follow right behind it.
    std::vector<uint8_t> rows = {0x12, 0x00, 0, 0};
    auto dib = MakeDib(3, 1, 4, PL_BI_RGB, Colors(3), rows, 3);
    CPackedDibBitmap bmp;
    Import(bmp, dib);
    EXPECT_EQ(bmp.GetBitsPerPixel(), 4);
    EXPECT_EQ(bmp.GetPixelIndex(0, 0), 1);
    EXPECT_EQ(bmp.GetPixelIndex(1, 0), 2);
    EXPECT_EQ(bmp.GetPalette()[2].rgbRed, 253);
    EXPECT_EQ(bmp.GetPalette()[3].rgbRed, 0);  // absent entries read black
}

TEST(DibImport, OneBitAnd32Bit) {
    std::vector<uint8_t> rows = {0x80, 0x80, 0, 0};  // 9 x 1
    auto dib = MakeDib(9, 1, 1, PL_BI_RGB, {{0, 0, 0, 0}, {255, 255, 255, 0}}, rows);
    CPackedDibBitmap bmp;
    Import(bmp, dib);
    EXPECT_EQ(bmp.GetLine(0)[0], 0x80);
    EXPECT_EQ(bmp.GetLine(0)[1], 0x80);
    EXPECT_EQ(bmp.GetPixel(8, 0), PLMakePixel(255, 255, 255, 0));

    std::vector<uint8_t> px = {1, 2, 3, 4, 5, 6, 7, 8};
    dib = MakeDib(2, 1, 32, PL_BI_RGB, {}, px);
    Import(bmp, dib);
    EXPECT_EQ(bmp.GetBitsPerPixel(), 32);
    EXPECT_EQ(bmp.GetPalette(), nullptr);
    EXPECT_EQ(bmp.GetPixel(1, 0), 0x08070605u);
}

TEST(DibImport, TrueColourBecomes32Bits) {
    // 24 bits: 2 x 2, rows of 6 bytes padded to 8; last row without its padding.
    std::vector<uint8_t> rows = {10, 20, 30, 40, 50, 60, 0, 0, /* top: */ 1, 2, 3, 4, 5, 6};
    auto dib = MakeDib(2, 2, 24, PL_BI_RGB, {}, rows);
    CPackedDibBitmap bmp;
    Import(bmp, dib);
    ASSERT_EQ(bmp.GetBitsPerPixel(), 32);
    EXPECT_EQ(bmp.GetPixel(0, 0), PLMakePixel(3, 2, 1, 255));
    EXPECT_EQ(bmp.GetPixel(1, 1), PLMakePixel(60, 50, 40, 255));

    // 16 bits 5-5-5.
    uint16_t p555 = (31 << 10) | (0 << 5) | 16;
    std::vector<uint8_t> rows16 = {static_cast<uint8_t>(p555), static_cast<uint8_t>(p555 >> 8), 0, 0};
    dib = MakeDib(1, 1, 16, PL_BI_RGB, {}, rows16);
    Import(bmp, dib);
    EXPECT_EQ(bmp.GetPixel(0, 0), PLMakePixel(255, 0, 132, 255));

    // 16 bits 5-6-5 by bit fields.
    uint16_t p565 = (0 << 11) | (63 << 5) | 31;
    std::vector<uint8_t> rows565 = {static_cast<uint8_t>(p565), static_cast<uint8_t>(p565 >> 8), 0, 0};
    dib = MakeDib(1, 1, 16, PL_BI_BITFIELDS, {}, rows565, 0, {0xF800, 0x07E0, 0x001F});
    Import(bmp, dib);
    EXPECT_EQ(bmp.GetPixel(0, 0), PLMakePixel(0, 255, 255, 255));

    // 32 bits by bit fields in another order (red in the low byte).
    std::vector<uint8_t> rowsBgr = {0x11, 0x22, 0x33, 0x44};
    dib = MakeDib(1, 1, 32, PL_BI_BITFIELDS, {}, rowsBgr, 0, {0x000000FF, 0x0000FF00, 0x00FF0000});
    Import(bmp, dib);
    EXPECT_EQ(bmp.GetPixel(0, 0), PLMakePixel(0x11, 0x22, 0x33, 255));
}

TEST(DibImport, MalformedDibsAreRefusedAndChangeNothing) {
    CPackedDibBitmap bmp;
    bmp.Create(4, 4, 32, false);
    bmp.SetPixel(1, 1, 0x12345678);
    auto good = MakeDib(3, 2, 8, PL_BI_RGB, Colors(256), std::vector<uint8_t>(8, 1));

    struct Case {
        const char* what;
        std::vector<uint8_t> dib;
        size_t size;
    };
    std::vector<Case> cases;
    cases.push_back({"empty", {}, 0});
    cases.push_back({"short header", good, 39});
    cases.push_back({"rows cut", good, good.size() - 5});
    cases.push_back({"colour table cut", good, 40 + 100});
    auto edit = [&](auto change) {
        auto d = good;
        PLBitmapInfoHeader h;
        std::memcpy(&h, d.data(), sizeof h);
        change(h);
        std::memcpy(d.data(), &h, sizeof h);
        return d;
    };
    cases.push_back({"OS/2 header", edit([](PLBitmapInfoHeader& h) { h.biSize = 12; }), good.size()});
    cases.push_back({"header larger than block", edit([](PLBitmapInfoHeader& h) { h.biSize = 5000; }), good.size()});
    cases.push_back({"zero width", edit([](PLBitmapInfoHeader& h) { h.biWidth = 0; }), good.size()});
    cases.push_back({"negative width", edit([](PLBitmapInfoHeader& h) { h.biWidth = -3; }), good.size()});
    cases.push_back({"zero height", edit([](PLBitmapInfoHeader& h) { h.biHeight = 0; }), good.size()});
    cases.push_back({"most negative height", edit([](PLBitmapInfoHeader& h) { h.biHeight = INT32_MIN; }), good.size()});
    cases.push_back({"huge height", edit([](PLBitmapInfoHeader& h) { h.biHeight = 1000000; }), good.size()});
    cases.push_back({"huge size", edit([](PLBitmapInfoHeader& h) {
                         h.biWidth = 0x7FFFFFFF;
                         h.biHeight = 0x7FFFFFFF;
                     }),
                     good.size()});
    cases.push_back({"bpp 0", edit([](PLBitmapInfoHeader& h) { h.biBitCount = 0; }), good.size()});
    cases.push_back({"bpp 7", edit([](PLBitmapInfoHeader& h) { h.biBitCount = 7; }), good.size()});
    cases.push_back({"bpp 64", edit([](PLBitmapInfoHeader& h) { h.biBitCount = 64; }), good.size()});
    cases.push_back({"RLE8", edit([](PLBitmapInfoHeader& h) { h.biCompression = PL_BI_RLE8; }), good.size()});
    cases.push_back({"JPEG", edit([](PLBitmapInfoHeader& h) { h.biCompression = 4; }), good.size()});
    cases.push_back({"too many colours", edit([](PLBitmapInfoHeader& h) { h.biClrUsed = 100000; }), good.size()});
    cases.push_back({"bit fields on 8 bits", edit([](PLBitmapInfoHeader& h) { h.biCompression = PL_BI_BITFIELDS; }),
                     good.size()});
    auto bf = MakeDib(1, 1, 32, PL_BI_BITFIELDS, {}, {});
    cases.push_back({"bit fields without masks", bf, bf.size()});

    for (const Case& c : cases) {
        try {
            bmp.CreateFromDIB(c.dib.empty() ? nullptr : AsHeader(c.dib), c.size);
            ADD_FAILURE() << c.what << " accepted";
        } catch (const CTextException& e) {
            EXPECT_NE(e.GetCode(), 0) << c.what;
            EXPECT_NE(std::string(e.GetText()), "") << c.what;
        }
        EXPECT_EQ(bmp.GetSize(), (PLSize{4, 4})) << c.what;
        EXPECT_EQ(bmp.GetPixel(1, 1), 0x12345678u) << c.what;
    }
}

TEST(DibImport, LongerHeadersAreSkipped) {
    // A 108-byte header (V4) with the bit-field masks inside it.
    std::vector<uint8_t> dib(108 + 4, 0);
    PLBitmapInfoHeader h{};
    h.biSize = 108;
    h.biWidth = 1;
    h.biHeight = 1;
    h.biPlanes = 1;
    h.biBitCount = 32;
    h.biCompression = PL_BI_BITFIELDS;
    std::memcpy(dib.data(), &h, sizeof h);
    uint32_t masks[4] = {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000};
    std::memcpy(dib.data() + 40, masks, sizeof masks);
    uint32_t px = 0x80102030;
    std::memcpy(dib.data() + 108, &px, 4);
    CPackedDibBitmap bmp;
    bmp.CreateFromDIB(AsHeader(dib), dib.size());
    EXPECT_EQ(bmp.GetPixel(0, 0), 0x80102030u);
    EXPECT_EQ(bmp.GetBitmapInfoHeader()->biSize, 40u);
}

TEST(DibImport, RandomBytesNeverReadOutside) {
    // Headers of every kind of nonsense over short blocks: either a clear refusal or a bitmap
    // made only from bytes inside the block (ASan checks the reads).
    uint32_t seed = 12345;
    auto next = [&] {
        seed = seed * 1103515245u + 12345u;
        return seed >> 8;
    };
    CPackedDibBitmap bmp;
    int accepted = 0;
    for (int i = 0; i < 3000; ++i) {
        size_t size = 40 + next() % 1500;
        std::vector<uint8_t> block(size);
        for (auto& b : block) b = static_cast<uint8_t>(next());
        PLBitmapInfoHeader h;
        std::memcpy(&h, block.data(), sizeof h);
        h.biSize = (next() % 4) ? 40 : next() % 300;
        h.biWidth = static_cast<int32_t>(next() % 40) - 5;
        h.biHeight = static_cast<int32_t>(next() % 40) - 20;
        const uint16_t depths[] = {1, 4, 8, 16, 24, 32, 2, 0};
        h.biBitCount = depths[next() % 8];
        h.biCompression = (next() % 3) ? 0 : next() % 5;
        h.biClrUsed = (next() % 3) ? 0 : next() % 300;
        std::memcpy(block.data(), &h, sizeof h);
        try {
            bmp.CreateFromDIB(reinterpret_cast<const PLBitmapInfoHeader*>(block.data()), block.size());
            EXPECT_GT(bmp.GetWidth(), 0);
            ++accepted;
        } catch (const CTextException&) {
        }
    }
    EXPECT_GT(accepted, 100);  // the sweep reaches the row copies, not only the refusals
}

}  // namespace
