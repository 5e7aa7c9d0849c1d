// The TGA decoder on hand-made files: colour-mapped, true-colour and grey, raw and run-length,
// row order and the malformed cases.

#include <gtest/gtest.h>

#include "DecodeTestUtil.h"
#include "decode/TGADecoder.h"

namespace {

struct TgaSpec {
    uint8_t imageType = 2;
    uint8_t mapType = 0;
    uint16_t mapFirst = 0;
    uint16_t mapLength = 0;
    uint8_t mapEntrySize = 0;
    uint16_t width = 1;
    uint16_t height = 1;
    uint8_t depth = 24;
    uint8_t descriptor = 0;
    std::string id;
};

std::vector<uint8_t> MakeTga(const TgaSpec& s, const std::vector<uint8_t>& mapAndPixels) {
    Bytes b;
    b.u8(static_cast<unsigned>(s.id.size())).u8(s.mapType).u8(s.imageType).le16(s.mapFirst).le16(s.mapLength);
    b.u8(s.mapEntrySize).le16(0).le16(0).le16(s.width).le16(s.height).u8(s.depth).u8(s.descriptor);
    b.str(s.id.c_str()).raw(mapAndPixels);
    return b;
}

TEST(TGADecoder, RawTrueColourBottomUp) {
    TgaSpec s;
    s.width = 2;
    s.height = 2;
    s.id = "an id field";
    // Bottom row first: (1,2,3) (4,5,6); then the top row.
    auto file = MakeTga(s, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12});
    CPackedDibBitmap bmp;
    Decode(file, bmp);
    ASSERT_EQ(bmp.GetBitsPerPixel(), 32);
    EXPECT_FALSE(bmp.HasAlpha());
    EXPECT_EQ(Stored(bmp, 0, 1), Rgb(3, 2, 1));
    EXPECT_EQ(Stored(bmp, 1, 1), Rgb(6, 5, 4));
    EXPECT_EQ(Stored(bmp, 0, 0), Rgb(9, 8, 7));

    s.descriptor = 0x20;  // top-down
    CPackedDibBitmap topDown;
    Decode(MakeTga(s, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}), topDown);
    EXPECT_EQ(Stored(topDown, 0, 0), Rgb(3, 2, 1));

    s.descriptor = 0x30;  // top-down, right to left
    CPackedDibBitmap mirrored;
    Decode(MakeTga(s, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}), mirrored);
    EXPECT_EQ(Stored(mirrored, 1, 0), Rgb(3, 2, 1));
}

TEST(TGADecoder, ThirtyTwoAndSixteenBits) {
    TgaSpec s;
    s.depth = 32;
    s.width = 2;
    s.descriptor = 8;
    CPackedDibBitmap b32;
    Decode(MakeTga(s, {1, 2, 3, 0x80, 4, 5, 6, 0}), b32);
    EXPECT_TRUE(b32.HasAlpha());
    EXPECT_EQ(Stored(b32, 0, 0), Rgb(3, 2, 1, 0x80));
    EXPECT_EQ(Stored(b32, 1, 0), Rgb(6, 5, 4, 0));

    // 16 bits with one attribute bit: bit 15 is the alpha.
    s.depth = 16;
    s.descriptor = 1;
    CPackedDibBitmap b16;
    Decode(MakeTga(s, {0x1F, 0x80, 0xE0, 0x03}), b16);  // 0x801F opaque blue, 0x03E0 transparent green
    EXPECT_TRUE(b16.HasAlpha());
    EXPECT_EQ(Stored(b16, 0, 0), Rgb(0, 0, 0xF8, 255));
    EXPECT_EQ(Stored(b16, 1, 0), Rgb(0, 0xF8, 0, 0));

    // Without attribute bits every pixel is opaque; 15 bits likewise.
    s.descriptor = 0;
    CPackedDibBitmap opaque;
    Decode(MakeTga(s, {0x1F, 0x80, 0x00, 0x7C}), opaque);
    EXPECT_EQ(Stored(opaque, 1, 0), Rgb(0xF8, 0, 0, 255));
    s.depth = 15;
    CPackedDibBitmap b15;
    Decode(MakeTga(s, {0x1F, 0x00, 0x00, 0x7C}), b15);
    EXPECT_EQ(Stored(b15, 0, 0), Rgb(0, 0, 0xF8, 255));
}

TEST(TGADecoder, ColourMappedWithFirstIndex) {
    TgaSpec s;
    s.imageType = 1;
    s.mapType = 1;
    s.mapFirst = 4;
    s.mapLength = 2;
    s.mapEntrySize = 24;
    s.depth = 8;
    s.width = 3;
    // Map entries 4 and 5 (blue, green, red), then the pixels.
    auto file = MakeTga(s, {10, 20, 30, 40, 50, 60, 4, 5, 0});
    CPackedDibBitmap bmp;
    Decode(file, bmp);
    ASSERT_EQ(bmp.GetBitsPerPixel(), 8);
    EXPECT_EQ(bmp.GetLine(0)[0], 4);
    EXPECT_EQ(bmp.GetLine(0)[1], 5);
    EXPECT_EQ(bmp.GetPalette()[4].rgbRed, 30);
    EXPECT_EQ(bmp.GetPalette()[5].rgbBlue, 40);
    CPackedDibBitmap deep;
    Decode(file, deep, 32);
    EXPECT_EQ(Stored(deep, 0, 0), Rgb(30, 20, 10));
    EXPECT_EQ(Stored(deep, 1, 0), Rgb(60, 50, 40));
    EXPECT_EQ(Stored(deep, 2, 0), Rgb(0, 0, 0));

    // A map that reaches past entry 255 keeps the entries that fit.
    s.mapFirst = 255;
    s.mapLength = 3;
    CPackedDibBitmap wide;
    Decode(MakeTga(s, {1, 2, 3, 4, 5, 6, 7, 8, 9, 255, 255, 255}), wide, 32);
    EXPECT_EQ(Stored(wide, 0, 0), Rgb(3, 2, 1));
}

TEST(TGADecoder, GreyImagesGetTheGreyRamp) {
    TgaSpec s;
    s.imageType = 3;
    s.depth = 8;
    s.width = 2;
    CPackedDibBitmap bmp;
    Decode(MakeTga(s, {0, 200}), bmp, 32);
    EXPECT_EQ(Stored(bmp, 0, 0), Rgb(0, 0, 0));
    EXPECT_EQ(Stored(bmp, 1, 0), Rgb(200, 200, 200));
}

TEST(TGADecoder, RunLengthPackets) {
    TgaSpec s;
    s.imageType = 10;
    s.width = 3;
    s.height = 2;
    s.descriptor = 0x20;
    // A run of 4 (spanning into the second row), then 2 raw pixels.
    auto file = MakeTga(s, {0x83, 1, 2, 3, 0x01, 4, 5, 6, 7, 8, 9});
    CPackedDibBitmap bmp;
    Decode(file, bmp);
    for (int x = 0; x < 3; ++x) EXPECT_EQ(Stored(bmp, x, 0), Rgb(3, 2, 1));
    EXPECT_EQ(Stored(bmp, 0, 1), Rgb(3, 2, 1));
    EXPECT_EQ(Stored(bmp, 1, 1), Rgb(6, 5, 4));
    EXPECT_EQ(Stored(bmp, 2, 1), Rgb(9, 8, 7));

    // Grey run-length.
    s.imageType = 11;
    s.depth = 8;
    s.height = 1;
    CPackedDibBitmap grey;
    Decode(MakeTga(s, {0x82, 77}), grey);
    EXPECT_EQ(grey.GetBitsPerPixel(), 8);
    EXPECT_EQ(grey.GetLine(0)[2], 77);
    EXPECT_EQ(grey.GetPalette()[77].rgbGreen, 77);

    // Packets ending early.
    s.height = 2;
    EXPECT_DECODE_ERROR(MakeTga(s, {0x82, 77}), PLErr::EndOfFile, "End of file reached while decoding.\n");
}

TEST(TGADecoder, MalformedFiles) {
    TgaSpec s;
    s.imageType = 2;
    s.width = 100;
    s.height = 100;
    // Raw data missing: refused before the bitmap is made.
    EXPECT_DECODE_ERROR(MakeTga(s, {1, 2, 3}), PLErr::EndOfFile, "End of file reached while decoding.\n");

    // Image type 0 passes recognition but carries no image.
    s.imageType = 0;
    EXPECT_DECODE_ERROR(MakeTga(s, {1, 2, 3}), PLErr::UnknownVariant, "Decoder error: Unknown TGA image type.\n");

    // Zero width.
    s.imageType = 2;
    s.width = 0;
    EXPECT_EQ(DecodeExpectingFailure(MakeTga(s, {1, 2, 3})).code, PLErr::UnknownVariant);

    // 65535 x 65535 from a few bytes of run-length data.
    s.imageType = 10;
    s.width = 65535;
    s.height = 65535;
    EXPECT_EQ(DecodeExpectingFailure(MakeTga(s, {0xFF, 1, 2, 3})).code, PLErr::EndOfFile);

    // A colour map longer than the file.
    s = TgaSpec();
    s.imageType = 1;
    s.mapType = 1;
    s.mapLength = 1000;
    s.mapEntrySize = 32;
    s.depth = 8;
    EXPECT_EQ(DecodeExpectingFailure(MakeTga(s, {1, 2, 3, 4})).code, PLErr::EndOfFile);

    // An unknown pixel depth, through the TGA decoder itself.
    s = TgaSpec();
    s.depth = 12;
    DecodeFailure f = DecodeExpectingFailure<CTGADecoder>(MakeTga(s, {1, 2}));
    EXPECT_EQ(f.code, PLErr::UnknownVariant);
}

}  // namespace
