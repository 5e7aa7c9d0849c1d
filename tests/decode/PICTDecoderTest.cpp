// The PICT decoder on hand-made pictures: the opcode walk, each kind of bitmap opcode, and the
// malformed and vector-only cases.

#include <gtest/gtest.h>

#include <filesystem>

#include "DecodeTestUtil.h"
#include "FileTestUtil.h"
#include "decode/PICTDecoder.h"

namespace {

// The 512-byte file header, picture size and frame, then the version 2 opening.
Bytes Version2() {
    Bytes b;
    b.fill(512, 0).be16(0).be16(0).be16(0).be16(10).be16(10);
    b.be16(0x0011).be16(0x02FF).be16(0x0C00).fill(24, 0);
    return b;
}

Bytes& Rect(Bytes& b, int top, int left, int bottom, int right) { return b.be16(top).be16(left).be16(bottom).be16(right); }

// Pixel map fields behind row bytes and bounds.
Bytes& PixMapFields(Bytes& b, int packType, int pixelType, int pixelSize, int cmpCount, int cmpSize) {
    return b.be16(0).be16(packType).be32(0).be32(0x480000).be32(0x480000).be16(pixelType).be16(pixelSize)
        .be16(cmpCount).be16(cmpSize).be32(0).be32(0).be32(0);
}

TEST(PICTDecoder, VectorOnlyPictures) {
    Bytes b = Version2();
    b.be16(0x0001).be16(10).fill(8, 0);   // clip region
    b.be16(0x0031).fill(8, 0);            // paintRect
    b.be16(0x00A1).be16(100).be16(3).fill(3, 'x').u8(0);  // long comment (padded to even)
    b.be16(0x0070).be16(12).fill(10, 0);  // polygon
    b.be16(0x002B).u8(1).u8(2).u8(3).str("abc");  // text
    b.be16(0x00FF);
    EXPECT_DECODE_ERROR(b, PLErr::Unsupported, "Decoder error: PICT contained only vector data!\n\n");
}

TEST(PICTDecoder, VersionChecks) {
    Bytes noVersion;
    noVersion.fill(512, 0).fill(10, 0).u8(0).u8(0).u8(0x12).fill(40, 0);
    DecodeFailure f = DecodeExpectingFailure<CPICTDecoder>(noVersion);
    EXPECT_EQ(f.code, PLErr::WrongSignature);
    EXPECT_EQ(f.text, "Decoder error: Error decoding pict: Version number missing.\n");

    Bytes v3;
    v3.fill(512, 0).fill(10, 0).u8(0x11).u8(3).fill(40, 0);
    f = DecodeExpectingFailure<CPICTDecoder>(v3);
    EXPECT_EQ(f.code, PLErr::WrongSignature);
    EXPECT_EQ(f.text, "Decoder error: Illegal version number.\n");

    Bytes v2bad;
    v2bad.fill(512, 0).fill(10, 0).u8(0).u8(0x11).u8(2).u8(0xFE).fill(40, 0);
    EXPECT_EQ(DecodeExpectingFailure<CPICTDecoder>(v2bad).code, PLErr::WrongSignature);
}

TEST(PICTDecoder, VersionOneBitmap) {
    Bytes b;
    b.fill(512, 0).be16(0).be16(0).be16(0).be16(2).be16(10);
    b.u8(0x11).u8(0x01);
    b.u8(0x01).be16(10).fill(8, 0);  // clip
    b.u8(0x90).be16(2);               // BitsRect, 2 row bytes
    Rect(b, 0, 0, 2, 10);
    Rect(b, 0, 0, 2, 10);
    Rect(b, 0, 0, 2, 10);
    b.be16(0);  // mode
    b.u8(0x80).u8(0x40).u8(0x00).u8(0xFF);
    b.fill(600 - b.size(), 0);
    CPackedDibBitmap bmp;
    Decode(b, bmp);
    ASSERT_EQ(bmp.GetSize(), (PLSize{10, 2}));
    ASSERT_EQ(bmp.GetBitsPerPixel(), 8);
    EXPECT_EQ(bmp.GetLine(0)[0], 1);
    EXPECT_EQ(bmp.GetLine(0)[1], 0);
    EXPECT_EQ(bmp.GetLine(0)[9], 1);
    CPackedDibBitmap deep;
    Decode(b, deep, 32);
    EXPECT_EQ(Stored(deep, 0, 0), Rgb(0, 0, 0));        // 1: black
    EXPECT_EQ(Stored(deep, 1, 0), Rgb(255, 255, 255));  // 0: white
    EXPECT_EQ(Stored(deep, 8, 1), Rgb(0, 0, 0));
}

TEST(PICTDecoder, PackedIndexedPixelMapAfterReservedOpcodes) {
    Bytes b = Version2();
    b.be16(0x0024).be16(3).fill(3, 0);  // reserved, word length (then realigned)
    b.u8(0);
    b.be16(0x00A5).be16(2).fill(2, 0);  // reserved, word length
    b.be16(0x00B3);                      // reserved, no data
    b.be16(0x00D0).be32(4).fill(4, 0);  // reserved, long length
    b.be16(0x0150).fill(2, 0);          // reserved, 2 bytes
    b.be16(0x0300).fill(6, 0);          // reserved, (op >> 8) * 2 bytes
    b.be16(0x8000);                      // reserved, no data
    b.be16(0x9000).be32(2).fill(2, 0);  // reserved, long length
    b.be16(0x0098).be16(0x8000 | 8);    // PackBitsRect, pixel map, 8 row bytes
    Rect(b, 0, 0, 2, 8);
    PixMapFields(b, 0, 0, 8, 1, 8);
    // Colour table: 3 entries by value.
    b.be32(0).be16(0).be16(2);
    b.be16(0).be16(0xFFFF).be16(0).be16(0);
    b.be16(1).be16(0).be16(0xFFFF).be16(0);
    b.be16(7).be16(0x1200).be16(0x3400).be16(0x5600);
    Rect(b, 0, 0, 2, 8);
    Rect(b, 0, 0, 2, 8);
    b.be16(0);
    // Row 0: 8 x index 1 (a run); row 1: literal 0 1 7 7 then a run of 4 x 0.
    b.u8(2).u8(0xF9).u8(1);
    b.u8(7).u8(3).u8(0).u8(1).u8(7).u8(7).u8(0xFD).u8(0);
    b.be16(0x00FF);
    CPackedDibBitmap bmp;
    Decode(b, bmp);
    ASSERT_EQ(bmp.GetSize(), (PLSize{8, 2}));
    ASSERT_EQ(bmp.GetBitsPerPixel(), 8);
    for (int x = 0; x < 8; ++x) EXPECT_EQ(bmp.GetLine(0)[x], 1);
    const uint8_t second[8] = {0, 1, 7, 7, 0, 0, 0, 0};
    for (int x = 0; x < 8; ++x) EXPECT_EQ(bmp.GetLine(1)[x], second[x]);
    CPackedDibBitmap deep;
    Decode(b, deep, 32);
    EXPECT_EQ(Stored(deep, 0, 0), Rgb(0, 255, 0));
    EXPECT_EQ(Stored(deep, 0, 1), Rgb(255, 0, 0));
    EXPECT_EQ(Stored(deep, 2, 1), Rgb(0x12, 0x34, 0x56));
}

TEST(PICTDecoder, DirectPixelMaps) {
    // 32 bits, pack type 4: rows of component planes.
    Bytes b = Version2();
    b.be16(0x009A).be32(0xFF).be16(0x8000 | 12);
    Rect(b, 0, 0, 1, 3);
    PixMapFields(b, 4, 16, 32, 3, 8);
    Rect(b, 0, 0, 1, 3);
    Rect(b, 0, 0, 1, 3);
    b.be16(0);
    b.u8(10).u8(8).u8(1).u8(2).u8(3).u8(4).u8(5).u8(6).u8(7).u8(8).u8(9);
    b.be16(0x00FF);
    CPackedDibBitmap bmp;
    Decode(b, bmp);
    ASSERT_EQ(bmp.GetBitsPerPixel(), 32);
    EXPECT_FALSE(bmp.HasAlpha());
    EXPECT_EQ(Stored(bmp, 0, 0), Rgb(1, 4, 7));
    EXPECT_EQ(Stored(bmp, 2, 0), Rgb(3, 6, 9));

    // Four components: alpha first.
    Bytes a = Version2();
    a.be16(0x009A).be32(0xFF).be16(0x8000 | 8);
    Rect(a, 0, 0, 1, 2);
    PixMapFields(a, 4, 16, 32, 4, 8);
    Rect(a, 0, 0, 1, 2);
    Rect(a, 0, 0, 1, 2);
    a.be16(0);
    a.u8(9).u8(7).u8(0x80).u8(0x40).u8(1).u8(2).u8(3).u8(4).u8(5).u8(6);
    CPackedDibBitmap alpha;
    Decode(a, alpha);
    EXPECT_TRUE(alpha.HasAlpha());
    EXPECT_EQ(Stored(alpha, 0, 0), Rgb(1, 3, 5, 0x80));

    // 16 bits, pack type 3: PackBits by words.
    Bytes s = Version2();
    s.be16(0x009A).be32(0xFF).be16(0x8000 | 8);
    Rect(s, 0, 0, 1, 4);
    PixMapFields(s, 3, 16, 16, 3, 5);
    Rect(s, 0, 0, 1, 4);
    Rect(s, 0, 0, 1, 4);
    s.be16(0);
    s.u8(6).u8(0xFE).be16(0x7C00).u8(0).be16(0x03E0);  // 3 x red, 1 x green
    CPackedDibBitmap sixteen;
    Decode(s, sixteen);
    EXPECT_EQ(Stored(sixteen, 0, 0), Rgb(0xF8, 0, 0));
    EXPECT_EQ(Stored(sixteen, 2, 0), Rgb(0xF8, 0, 0));
    EXPECT_EQ(Stored(sixteen, 3, 0), Rgb(0, 0xF8, 0));
}

TEST(PICTDecoder, Malformed) {
    // Unknown pixel pattern type.
    Bytes pat = Version2();
    pat.be16(0x0012).be16(3).fill(8, 0).fill(40, 0);
    EXPECT_DECODE_ERROR(pat, PLErr::UnknownVariant, "Decoder error: Unknown pattern type in pixPat.\n");

    // A dither pattern is skipped.
    Bytes dither = Version2();
    dither.be16(0x0012).be16(2).fill(8, 0).fill(6, 0).be16(0x00FF);
    EXPECT_EQ(DecodeExpectingFailure(dither).code, PLErr::Unsupported);

    // A bitmap larger than its data, a zero-sized one, and opcodes running off the end.
    Bytes huge = Version2();
    huge.be16(0x0098).be16(0x8000 | 0x3FFF);
    Rect(huge, 0, 0, 30000, 16000);
    PixMapFields(huge, 0, 0, 8, 1, 8);
    huge.be32(0).be16(0).be16(0).fill(8, 0).fill(18, 0).fill(40, 0);
    EXPECT_EQ(DecodeExpectingFailure(huge).code, PLErr::EndOfFile);
    Bytes empty = Version2();
    empty.be16(0x0090).be16(2);
    Rect(empty, 5, 5, 5, 9);
    empty.fill(18, 0).fill(40, 0);
    EXPECT_EQ(DecodeExpectingFailure(empty).code, PLErr::UnknownVariant);
    Bytes cut = Version2();
    cut.be16(0x00D0).be32(100000);
    cut.fill(600 - cut.size(), 0);
    EXPECT_EQ(DecodeExpectingFailure(cut).code, PLErr::EndOfFile);

    // Unpacked direct rows too short for their pixels (found by fuzzing).
    Bytes direct = Version2();
    direct.be16(0x009A).be32(0xFF).be16(0x8000 | 4);
    Rect(direct, 0, 0, 2, 3);
    PixMapFields(direct, 4, 16, 32, 3, 8);
    direct.fill(18, 0).fill(40, 0);
    EXPECT_DECODE_ERROR(direct, PLErr::CorruptData, "Decoder error: Error decoding pict: Row bytes too small.\n");

    // QuickTime data without a JPEG inside.
    Bytes qt = Version2();
    qt.be16(0x8200).be32(8).fill(8, 0x55);
    EXPECT_DECODE_ERROR(qt, PLErr::Unsupported, "Decoder error: PICT file contains unrecognized quicktime data.\n\n");
}

TEST(PICTDecoder, QuickTimeJpegGoesToTheJpegDecoder) {
    CAutoDecoder probe;
    const std::vector<uint8_t> jpeg =
        ReadFileBytes(std::filesystem::path(LUMATRE_DECODE_DATA_DIR) / "corpus" / "jpeg" / "small.jpg");
    ASSERT_FALSE(jpeg.empty());
    Bytes qt = Version2();
    qt.be16(0x8200).be32(static_cast<uint32_t>(jpeg.size() + 20)).fill(20, 0x11).raw(jpeg);
    if (!probe.CanDecode(PLImageFormat::JPEG)) {
        EXPECT_EQ(DecodeExpectingFailure(qt).code, PLErr::Unsupported);
        return;
    }
    CPackedDibBitmap bmp;
    Decode(qt, bmp);
    EXPECT_EQ(bmp.GetSize(), (PLSize{5, 3}));
    EXPECT_EQ(bmp.GetBitsPerPixel(), 32);
}

}  // namespace
