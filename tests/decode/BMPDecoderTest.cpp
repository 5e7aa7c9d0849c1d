// The BMP decoder on hand-made files: every depth, both run-length codings, colour masks, and
// the malformed cases.

#include <gtest/gtest.h>

#include "DecodeTestUtil.h"
#include "decode/BMPDecoder.h"

namespace {

struct BmpSpec {
    int32_t width = 1;
    int32_t height = 1;
    uint16_t bits = 8;
    uint32_t compression = 0;
    std::vector<PLRGBQuad> colors;
    std::vector<uint32_t> masks;  // behind a 40-byte header
    uint32_t headerSize = 40;
    uint32_t colorsUsed = 0;
    int32_t offBitsDelta = 0;  // added to the true pixel offset
};

std::vector<uint8_t> MakeBmp(const BmpSpec& s, const std::vector<uint8_t>& pixels) {
    uint32_t offBits = 14 + s.headerSize + 4 * static_cast<uint32_t>(s.masks.size()) +
                       4 * static_cast<uint32_t>(s.colors.size());
    Bytes b;
    b.str("BM").le32(offBits + static_cast<uint32_t>(pixels.size())).le16(0).le16(0).le32(offBits + s.offBitsDelta);
    b.le32(s.headerSize).le32(static_cast<uint32_t>(s.width)).le32(static_cast<uint32_t>(s.height)).le16(1).le16(s.bits);
    b.le32(s.compression).le32(static_cast<uint32_t>(pixels.size())).le32(2835).le32(2835).le32(s.colorsUsed).le32(0);
    if (s.headerSize > 40) b.fill(s.headerSize - 40, 0);
    for (uint32_t m : s.masks) b.le32(m);
    for (const PLRGBQuad& c : s.colors) b.u8(c.rgbBlue).u8(c.rgbGreen).u8(c.rgbRed).u8(c.rgbReserved);
    b.raw(pixels);
    return b;
}

std::vector<PLRGBQuad> TestColors(int n) {
    std::vector<PLRGBQuad> c(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        c[static_cast<size_t>(i)] = PLRGBQuad{static_cast<uint8_t>(i * 3), static_cast<uint8_t>(100 + i),
                                              static_cast<uint8_t>(255 - i), 0};
    return c;
}

PLPixel32 ColorOf(int i) {
    return Rgb(static_cast<uint8_t>(255 - i), static_cast<uint8_t>(100 + i), static_cast<uint8_t>(i * 3));
}

TEST(BMPDecoder, EightBitRowsBottomUpWithPadding) {
    BmpSpec s;
    s.width = 3;
    s.height = 2;
    s.colors = TestColors(256);
    // Three-pixel rows take 4 bytes; the file's first row is the bitmap's last.
    auto file = MakeBmp(s, {7, 8, 9, 0xEE, 1, 2, 3, 0xEE});
    CPackedDibBitmap bmp;
    Decode(file, bmp);
    ASSERT_EQ(bmp.GetSize(), (PLSize{3, 2}));
    EXPECT_EQ(bmp.GetBitsPerPixel(), 8);
    EXPECT_FALSE(bmp.HasAlpha());
    EXPECT_EQ(bmp.GetLine(0)[0], 1);
    EXPECT_EQ(bmp.GetLine(0)[2], 3);
    EXPECT_EQ(bmp.GetLine(1)[1], 8);
    EXPECT_EQ(bmp.GetPalette()[9].rgbRed, 246);
    EXPECT_EQ(bmp.GetPalette()[9].rgbReserved, 255);  // entries read from a file are opaque

    CPackedDibBitmap deep;
    Decode(file, deep, 32);
    ASSERT_EQ(deep.GetBitsPerPixel(), 32);
    EXPECT_EQ(Stored(deep, 0, 0), ColorOf(1));
    EXPECT_EQ(Stored(deep, 2, 1), ColorOf(9));
}

TEST(BMPDecoder, OneBitRowsAndItsPalette) {
    BmpSpec s;
    s.width = 10;
    s.height = 1;
    s.bits = 1;
    s.colors = {PLRGBQuad{0, 0, 0, 0}, PLRGBQuad{255, 255, 255, 0}};
    auto file = MakeBmp(s, {0xA5, 0xC0, 0, 0});
    CPackedDibBitmap bmp;
    Decode(file, bmp);
    ASSERT_EQ(bmp.GetBitsPerPixel(), 8);
    const uint8_t expected[10] = {1, 0, 1, 0, 0, 1, 0, 1, 1, 1};
    for (int x = 0; x < 10; ++x) EXPECT_EQ(bmp.GetLine(0)[x], expected[x]) << x;

    CPackedDibBitmap deep;
    Decode(file, deep, 32);
    EXPECT_EQ(Stored(deep, 0, 0), Rgb(255, 255, 255));  // set bit: white
    EXPECT_EQ(Stored(deep, 1, 0), Rgb(0, 0, 0));        // clear bit: opaque black

    // A colour table other than black and white is honoured at 32 bits too.
    s.colors = {PLRGBQuad{0, 0, 255, 0}, PLRGBQuad{0, 255, 0, 0}};
    CPackedDibBitmap red;
    Decode(MakeBmp(s, {0x80, 0, 0, 0}), red, 32);
    EXPECT_EQ(Stored(red, 0, 0), Rgb(0, 255, 0));
    EXPECT_EQ(Stored(red, 1, 0), Rgb(255, 0, 0));
}

TEST(BMPDecoder, FourBitHighNibbleFirst) {
    BmpSpec s;
    s.width = 3;
    s.height = 1;
    s.bits = 4;
    s.colors = TestColors(16);
    auto file = MakeBmp(s, {0x1F, 0x70, 0, 0});
    CPackedDibBitmap bmp;
    Decode(file, bmp);
    EXPECT_EQ(bmp.GetLine(0)[0], 1);
    EXPECT_EQ(bmp.GetLine(0)[1], 15);
    EXPECT_EQ(bmp.GetLine(0)[2], 7);
    CPackedDibBitmap deep;
    Decode(file, deep, 32);
    EXPECT_EQ(Stored(deep, 1, 0), ColorOf(15));
}

TEST(BMPDecoder, ShortColourTableFromColoursUsed) {
    BmpSpec s;
    s.width = 2;
    s.height = 1;
    s.colors = TestColors(3);
    s.colorsUsed = 3;
    CPackedDibBitmap bmp;
    Decode(MakeBmp(s, {2, 200, 0, 0}), bmp, 32);
    EXPECT_EQ(Stored(bmp, 0, 0), ColorOf(2));
    EXPECT_EQ(Stored(bmp, 1, 0), Rgb(0, 0, 0));  // an index beyond the table reads black
}

TEST(BMPDecoder, TrueColourDepths) {
    BmpSpec s;
    s.width = 3;
    s.height = 1;
    s.bits = 24;
    CPackedDibBitmap b24;
    Decode(MakeBmp(s, {1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 0, 0}), b24);
    ASSERT_EQ(b24.GetBitsPerPixel(), 32);
    EXPECT_FALSE(b24.HasAlpha());
    EXPECT_EQ(Stored(b24, 0, 0), Rgb(3, 2, 1));
    EXPECT_EQ(Stored(b24, 2, 0), Rgb(9, 8, 7));

    s.bits = 32;
    CPackedDibBitmap b32;
    Decode(MakeBmp(s, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}), b32);
    EXPECT_EQ(Stored(b32, 0, 0), PLMakePixel(3, 2, 1, 4));  // copied as they are
    EXPECT_EQ(Stored(b32, 2, 0), PLMakePixel(11, 10, 9, 12));

    // 16 bits without compression: 5-5-5.
    s.bits = 16;
    s.width = 2;
    CPackedDibBitmap b555;
    Decode(MakeBmp(s, {0xFF, 0x7F, 0x1F, 0x7C}), b555);  // 0x7FFF white, 0x7C1F magenta
    EXPECT_EQ(Stored(b555, 0, 0), Rgb(0xF8, 0xF8, 0xF8));
    EXPECT_EQ(Stored(b555, 1, 0), Rgb(0xF8, 0, 0xF8));
}

TEST(BMPDecoder, SixteenBitMasks) {
    BmpSpec s;
    s.width = 2;
    s.height = 1;
    s.bits = 16;
    s.compression = PL_BI_BITFIELDS;
    s.masks = {0xF800, 0x07E0, 0x001F};
    // 5-6-5: 0x07E0 pure green, 0xF81F magenta.
    CPackedDibBitmap b565;
    Decode(MakeBmp(s, {0xE0, 0x07, 0x1F, 0xF8}), b565);
    EXPECT_EQ(Stored(b565, 0, 0), Rgb(0, 0xFC, 0));
    EXPECT_EQ(Stored(b565, 1, 0), Rgb(0xF8, 0, 0xF8));

    // Green mask 0x3E0: 5-5-5.
    s.masks = {0x7C00, 0x03E0, 0x001F};
    CPackedDibBitmap b555;
    Decode(MakeBmp(s, {0xE0, 0x03, 0x00, 0x7C}), b555);
    EXPECT_EQ(Stored(b555, 0, 0), Rgb(0, 0xF8, 0));
    EXPECT_EQ(Stored(b555, 1, 0), Rgb(0xF8, 0, 0));

    // Masks inside a larger (version 4/5) header.
    BmpSpec v5 = s;
    v5.masks.clear();
    v5.headerSize = 124;
    auto file = MakeBmp(v5, {0xE0, 0x07, 0x1F, 0xF8});
    const uint8_t masks[12] = {0x00, 0xF8, 0, 0, 0xE0, 0x07, 0, 0, 0x1F, 0, 0, 0};
    std::memcpy(file.data() + 14 + 40, masks, sizeof masks);
    CPackedDibBitmap bv5;
    Decode(file, bv5);
    EXPECT_EQ(Stored(bv5, 0, 0), Rgb(0, 0xFC, 0));

    // Other masks are followed too (4-4-4 here).
    s.masks = {0x0F00, 0x00F0, 0x000F};
    CPackedDibBitmap b444;
    Decode(MakeBmp(s, {0x0F, 0x0F, 0xF0, 0x00}), b444);
    EXPECT_EQ(Stored(b444, 0, 0), Rgb(0xF0, 0, 0xF0));
    EXPECT_EQ(Stored(b444, 1, 0), Rgb(0, 0xF0, 0));
}

TEST(BMPDecoder, BitfieldsWithoutMasksUseTheStandardOnes) {
    // Compression BI_BITFIELDS, but the pixel offset points right behind the 40-byte header.
    BmpSpec s;
    s.width = 2;
    s.height = 1;
    s.bits = 16;
    s.compression = PL_BI_BITFIELDS;
    CPackedDibBitmap bmp;
    Decode(MakeBmp(s, {0xE0, 0x07, 0x1F, 0xF8}), bmp);
    EXPECT_EQ(Stored(bmp, 0, 0), Rgb(0, 0xFC, 0));  // 5-6-5
    EXPECT_EQ(Stored(bmp, 1, 0), Rgb(0xF8, 0, 0xF8));
}

TEST(BMPDecoder, ColourTableShorterThanItsDepth) {
    // Colours used 0 (all 256) but only 2 entries written: the pixel offset tells.
    BmpSpec s;
    s.width = 2;
    s.height = 1;
    s.colors = TestColors(2);
    CPackedDibBitmap bmp;
    Decode(MakeBmp(s, {1, 0, 0, 0}), bmp, 32);
    EXPECT_EQ(Stored(bmp, 0, 0), ColorOf(1));
    EXPECT_EQ(Stored(bmp, 1, 0), ColorOf(0));
}

TEST(BMPDecoder, ThirtyTwoBitMasksOfAnotherOrder) {
    BmpSpec s;
    s.width = 1;
    s.height = 1;
    s.bits = 32;
    s.compression = PL_BI_BITFIELDS;
    s.masks = {0x000000FF, 0x0000FF00, 0x00FF0000};  // red in the first byte
    CPackedDibBitmap bmp;
    Decode(MakeBmp(s, {10, 20, 30, 0}), bmp);
    EXPECT_EQ(Stored(bmp, 0, 0), Rgb(10, 20, 30));
}

TEST(BMPDecoder, TopDownRowsForNegativeHeight) {
    BmpSpec s;
    s.width = 1;
    s.height = -2;
    s.colors = TestColors(256);
    CPackedDibBitmap bmp;
    Decode(MakeBmp(s, {5, 0, 0, 0, 6, 0, 0, 0}), bmp);
    ASSERT_EQ(bmp.GetHeight(), 2);
    EXPECT_EQ(bmp.GetLine(0)[0], 5);
    EXPECT_EQ(bmp.GetLine(1)[0], 6);
}

TEST(BMPDecoder, PixelOffsetIsFollowed) {
    BmpSpec s;
    s.width = 1;
    s.height = 1;
    s.colors = TestColors(256);
    s.offBitsDelta = 4;
    CPackedDibBitmap bmp;
    Decode(MakeBmp(s, {0xAA, 0xAA, 0xAA, 0xAA, 42, 0, 0, 0}), bmp);
    EXPECT_EQ(bmp.GetLine(0)[0], 42);
}

TEST(BMPDecoder, RLE8RunsAbsoluteRunsAndEndOfBitmap) {
    BmpSpec s;
    s.width = 5;
    s.height = 3;
    s.compression = PL_BI_RLE8;
    s.colors = TestColors(256);
    // Bottom row: run of 3 x 7, absolute run 1 2 3 (padded), clipped at the width.
    // Middle row: run of 2 x 9, end of row. Top row: 1 pixel then end of bitmap.
    std::vector<uint8_t> rle = {3, 7, 0, 3, 1, 2, 3, 0, 0, 0, 2, 9, 0, 0, 1, 4, 0, 1, /* never read: */ 2, 5};
    CPackedDibBitmap bmp;
    Decode(MakeBmp(s, rle), bmp);
    const uint8_t bottom[5] = {7, 7, 7, 1, 2};
    for (int x = 0; x < 5; ++x) EXPECT_EQ(bmp.GetLine(2)[x], bottom[x]) << x;
    EXPECT_EQ(bmp.GetLine(1)[0], 9);
    EXPECT_EQ(bmp.GetLine(1)[1], 9);
    EXPECT_EQ(bmp.GetLine(1)[2], 0);
    // The row that ends with the end-of-bitmap escape is still stored.
    EXPECT_EQ(bmp.GetLine(0)[0], 4);
    EXPECT_EQ(bmp.GetLine(0)[1], 0);

    CPackedDibBitmap deep;
    Decode(MakeBmp(s, rle), deep, 32);
    EXPECT_EQ(Stored(deep, 0, 0), ColorOf(4));
    EXPECT_EQ(Stored(deep, 4, 2), ColorOf(2));
}

TEST(BMPDecoder, RLE8EndOfBitmapStopsDecoding) {
    BmpSpec s;
    s.width = 2;
    s.height = 4;
    s.compression = PL_BI_RLE8;
    s.colors = TestColors(256);
    // The first (bottom) row ends with 0,1; the rest of the data is never read, the other
    // rows stay index 0.
    CPackedDibBitmap bmp;
    Decode(MakeBmp(s, {2, 5, 0, 1, 0xFF}), bmp);
    EXPECT_EQ(bmp.GetLine(3)[0], 5);
    EXPECT_EQ(bmp.GetLine(3)[1], 5);
    for (int y = 0; y < 3; ++y) EXPECT_EQ(bmp.GetLine(y)[0], 0);
}

TEST(BMPDecoder, RLE4Nibbles) {
    BmpSpec s;
    s.width = 7;
    s.height = 1;
    s.bits = 4;
    s.compression = PL_BI_RLE4;
    s.colors = TestColors(16);
    // Run of 3 alternating 1 and 2; absolute run of 3 nibbles 4 5 6 (2 bytes, no pad since
    // ceil(3/2) = 2 is even); absolute run of 3 more is clipped at the width... then 0,1.
    std::vector<uint8_t> rle = {3, 0x12, 0, 3, 0x45, 0x60, 1, 0xF0, 0, 1};
    CPackedDibBitmap bmp;
    Decode(MakeBmp(s, rle), bmp);
    const uint8_t expected[7] = {1, 2, 1, 4, 5, 6, 15};
    for (int x = 0; x < 7; ++x) EXPECT_EQ(bmp.GetLine(0)[x], expected[x]) << x;

    // An absolute run of 5 nibbles takes 3 bytes plus one pad byte.
    s.width = 5;
    CPackedDibBitmap odd;
    Decode(MakeBmp(s, {0, 5, 0x12, 0x34, 0x50, 0xEE, 0, 1}), odd);
    const uint8_t expectedOdd[5] = {1, 2, 3, 4, 5};
    for (int x = 0; x < 5; ++x) EXPECT_EQ(odd.GetLine(0)[x], expectedOdd[x]) << x;
}

TEST(BMPDecoder, RLEDeltaEscapeIsUnsupported) {
    BmpSpec s;
    s.width = 4;
    s.height = 2;
    s.compression = PL_BI_RLE8;
    s.colors = TestColors(256);
    EXPECT_DECODE_ERROR(MakeBmp(s, {1, 1, 0, 2, 1, 1, 0, 1}), PLErr::Unsupported,
                        "Decoder error: Encountered delta escape.\n");
}

TEST(BMPDecoder, RLEDataEndingEarly) {
    BmpSpec s;
    s.width = 4;
    s.height = 2;
    s.compression = PL_BI_RLE8;
    s.colors = TestColors(256);
    EXPECT_DECODE_ERROR(MakeBmp(s, {4, 1, 0, 0, 4}), PLErr::EndOfFile, "End of file reached while decoding.\n");
    // An absolute run whose bytes are missing.
    EXPECT_DECODE_ERROR(MakeBmp(s, {0, 200, 1, 2}), PLErr::EndOfFile, "End of file reached while decoding.\n");
}

TEST(BMPDecoder, MalformedHeaders) {
    BmpSpec s;
    s.colors = TestColors(256);
    auto good = MakeBmp(s, {1, 0, 0, 0});

    // A 12-byte OS/2 header.
    auto os2 = Bytes().str("BM").le32(26 + 3 * 256 + 4).le32(0).le32(26 + 3 * 256).le32(12).le16(1).le16(1).le16(1)
                   .le16(8).fill(3 * 256, 0).fill(4, 1).data();
    EXPECT_DECODE_ERROR(os2, PLErr::UnknownVariant, "Decoder error: Bitmap decoder: BITMAPINFOHEADER has wrong size.\n");

    for (uint16_t bits : {0, 2, 3, 5, 12, 33, 64}) {
        auto bad = good;
        bad[28] = static_cast<uint8_t>(bits);
        EXPECT_DECODE_ERROR(bad, PLErr::UnknownVariant, "Decoder error: Decoding bmp: Illegal bpp value.\n");
    }

    // The BMP decoder called directly on something else.
    auto notBmp = good;
    notBmp[0] = 'X';
    DecodeFailure f = DecodeExpectingFailure<CBMPDecoder>(notBmp);
    EXPECT_EQ(f.code, PLErr::WrongSignature);
    EXPECT_EQ(f.text, "Decoder error: Bitmap decoder: This isn't a bitmap.\n");

    // Zero and absurd sizes.
    auto zero = good;
    zero[18] = 0;
    EXPECT_EQ(DecodeExpectingFailure(zero).code, PLErr::UnknownVariant);
    auto huge = good;
    huge[18] = 0xFF, huge[19] = 0xFF, huge[20] = 0xFF, huge[21] = 0x7F;
    EXPECT_EQ(DecodeExpectingFailure(huge).code, PLErr::EndOfFile);  // refused before allocating
}

TEST(BMPDecoder, TruncatedFiles) {
    BmpSpec s;
    s.width = 3;
    s.height = 3;
    s.bits = 24;
    std::vector<uint8_t> rows(36, 0x40);
    auto file = MakeBmp(s, rows);
    // The last row's padding may be missing; anything shorter fails with code 11.
    auto noPad = file;
    noPad.resize(file.size() - 3);
    CPackedDibBitmap bmp;
    Decode(noPad, bmp);
    EXPECT_EQ(Stored(bmp, 2, 0), Rgb(0x40, 0x40, 0x40));
    for (size_t cut : {file.size() - 4, size_t(60), size_t(54), size_t(40), size_t(14), size_t(3)}) {
        auto shorter = file;
        shorter.resize(cut);
        EXPECT_EQ(DecodeExpectingFailure(shorter).code, PLErr::EndOfFile) << cut;
    }
}

TEST(BMPDecoder, HugePaletteCountIsBounded) {
    BmpSpec s;
    s.width = 1;
    s.height = 1;
    s.colors = TestColors(256);
    s.colorsUsed = 0xFFFFFFF0u;
    CPackedDibBitmap bmp;
    Decode(MakeBmp(s, {3, 0, 0, 0}), bmp);
    EXPECT_EQ(bmp.GetLine(0)[0], 3);
}

}  // namespace
