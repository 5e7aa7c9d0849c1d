// The PGM decoder: text and binary samples, header syntax, maxima, malformed files.

#include <gtest/gtest.h>

#include "DecodeTestUtil.h"
#include "decode/PGMDecoder.h"

namespace {

std::vector<uint8_t> Text(const char* s) { return Bytes().str(s); }

TEST(PGMDecoder, TextSamplesWithComments) {
    CPackedDibBitmap bmp;
    Decode(Text("P2\n# made by hand\n3 2 # width and height\n15\n0 15 5\r\n10\t1 2"), bmp);
    ASSERT_EQ(bmp.GetBitsPerPixel(), 8);
    ASSERT_EQ(bmp.GetSize(), (PLSize{3, 2}));
    EXPECT_EQ(bmp.GetLine(0)[0], 0);
    EXPECT_EQ(bmp.GetLine(0)[1], 255);
    EXPECT_EQ(bmp.GetLine(0)[2], 85);
    EXPECT_EQ(bmp.GetLine(1)[0], 170);
    EXPECT_EQ(bmp.GetLine(1)[2], 34);
    EXPECT_EQ(bmp.GetPalette()[34].rgbRed, 34);  // grey ramp
}

TEST(PGMDecoder, BinarySamples) {
    auto file = Bytes().str("P5 2 2 255\n").u8(0).u8(1).u8(128).u8(255).data();
    CPackedDibBitmap bmp;
    Decode(file, bmp);
    EXPECT_EQ(bmp.GetLine(0)[1], 1);
    EXPECT_EQ(bmp.GetLine(1)[0], 128);
    CPackedDibBitmap deep;
    Decode(file, deep, 32);
    ASSERT_EQ(deep.GetBitsPerPixel(), 32);
    EXPECT_EQ(Stored(deep, 0, 1), Rgb(128, 128, 128));
    EXPECT_EQ(Stored(deep, 1, 1), Rgb(255, 255, 255));
}

TEST(PGMDecoder, Maxima) {
    // Maxima above 255 scale by their own value; binary samples then take two bytes.
    CPackedDibBitmap text;
    Decode(Text("P2 3 1 1000 0 500 1000"), text);
    EXPECT_EQ(text.GetLine(0)[0], 0);
    EXPECT_EQ(text.GetLine(0)[1], 127);
    EXPECT_EQ(text.GetLine(0)[2], 255);
    CPackedDibBitmap binary;
    Decode(Bytes().str("P5 2 1 1000\n").be16(500).be16(1000), binary);
    EXPECT_EQ(binary.GetLine(0)[0], 127);
    EXPECT_EQ(binary.GetLine(0)[1], 255);

    // A maximum of 0 (or beyond 65535) is taken as 255.
    CPackedDibBitmap zero;
    Decode(Text("P2 2 1 0 10 200"), zero);
    EXPECT_EQ(zero.GetLine(0)[0], 10);
    EXPECT_EQ(zero.GetLine(0)[1], 200);

    // Samples above the maximum are held at white.
    CPackedDibBitmap over;
    Decode(Text("P2 1 1 100 150"), over);
    EXPECT_EQ(over.GetLine(0)[0], 255);
}

TEST(PGMDecoder, Malformed) {
    DecodeFailure f = DecodeExpectingFailure<CPGMDecoder>(Text("P6 1 1 255 1"));
    EXPECT_EQ(f.code, PLErr::UnknownVariant);
    EXPECT_EQ(f.text, "Decoder error: PGM decoder: Is not the correct identifier P5 or P2.\n");

    EXPECT_EQ(DecodeExpectingFailure(Text("P2 x 1 255 1")).code, PLErr::CorruptData);
    EXPECT_EQ(DecodeExpectingFailure(Text("P2 99999999999 1 255 1")).code, PLErr::CorruptData);
    EXPECT_EQ(DecodeExpectingFailure(Text("P2 0 1 255 1")).code, PLErr::UnknownVariant);
    EXPECT_EQ(DecodeExpectingFailure(Text("P2 3")).code, PLErr::EndOfFile);
    EXPECT_EQ(DecodeExpectingFailure(Text("P2 3 1 255 1 2")).code, PLErr::EndOfFile);
    EXPECT_EQ(DecodeExpectingFailure(Text("P2 2 1 255 1 # 2")).code, PLErr::EndOfFile);
    EXPECT_EQ(DecodeExpectingFailure(Text("P5 3 1 255\n\x01\x02")).code, PLErr::EndOfFile);
    // A picture far larger than its data is refused before allocation.
    EXPECT_EQ(DecodeExpectingFailure(Text("P5 65535 65535 255\n\x01")).code, PLErr::EndOfFile);
    EXPECT_EQ(DecodeExpectingFailure(Text("P5 2 1 1000\n\x01\x02")).code, PLErr::EndOfFile);
}

}  // namespace
