// The PCX decoder on hand-made files: the plane layouts, the run-length coding, the palettes
// and the malformed cases.

#include <gtest/gtest.h>

#include "DecodeTestUtil.h"
#include "decode/PCXDecoder.h"

namespace {

struct PcxSpec {
    uint8_t manufacturer = 10;
    uint8_t encoding = 1;
    uint8_t bits = 8;
    uint16_t xmin = 0, ymin = 0, xmax = 0, ymax = 0;
    uint8_t planes = 1;
    uint16_t bytesPerLine = 2;
    std::vector<uint8_t> headerPalette;  // up to 48 bytes
};

std::vector<uint8_t> MakePcx(const PcxSpec& s, const std::vector<uint8_t>& data) {
    Bytes b;
    b.u8(s.manufacturer).u8(5).u8(s.encoding).u8(s.bits).le16(s.xmin).le16(s.ymin).le16(s.xmax).le16(s.ymax);
    b.le16(72).le16(72);
    std::vector<uint8_t> pal = s.headerPalette;
    pal.resize(48, 0);
    b.raw(pal).u8(0).u8(s.planes).le16(s.bytesPerLine).le16(1).le16(0).le16(0).fill(54, 0);
    b.raw(data);
    return b;
}

std::vector<uint8_t> Vga(int marker = 12) {
    std::vector<uint8_t> v = {static_cast<uint8_t>(marker)};
    for (int i = 0; i < 256; ++i) {
        v.push_back(static_cast<uint8_t>(i));
        v.push_back(static_cast<uint8_t>(255 - i));
        v.push_back(static_cast<uint8_t>(i / 2));
    }
    return v;
}

TEST(PCXDecoder, EightBitsWithVgaPalette) {
    PcxSpec s;
    s.xmax = 2;
    s.ymax = 1;
    s.bytesPerLine = 4;  // 3 pixels and one filler byte per row
    // Row 0: a run of 3 x 10 (0xC3 10) and the filler; row 1: 1, 2, 0xC1 0xC8 (a literal 200
    // needs a run of 1), filler.
    std::vector<uint8_t> data = {0xC3, 10, 0, 1, 2, 0xC1, 200, 0};
    auto pal = Vga();
    data.insert(data.end(), pal.begin(), pal.end());
    CPackedDibBitmap bmp;
    Decode(MakePcx(s, data), bmp);
    ASSERT_EQ(bmp.GetBitsPerPixel(), 32);  // always 32 bits
    ASSERT_EQ(bmp.GetSize(), (PLSize{3, 2}));
    EXPECT_EQ(Stored(bmp, 0, 0), Rgb(10, 245, 5));
    EXPECT_EQ(Stored(bmp, 2, 0), Rgb(10, 245, 5));
    EXPECT_EQ(Stored(bmp, 0, 1), Rgb(1, 254, 0));
    EXPECT_EQ(Stored(bmp, 2, 1), Rgb(200, 55, 100));
}

TEST(PCXDecoder, PaletteMarkerAndItsPlace) {
    PcxSpec s;
    s.bytesPerLine = 1;
    std::vector<uint8_t> data = {7};
    auto bad = data;
    auto pal = Vga(11);
    bad.insert(bad.end(), pal.begin(), pal.end());
    EXPECT_DECODE_ERROR(MakePcx(s, bad), PLErr::CorruptData, "Decoder error: bad color map signature.\n");

    // A gap between the data and the palette: the last 769 bytes still hold it.
    auto gap = data;
    gap.push_back(0);
    gap.push_back(0);
    pal = Vga();
    gap.insert(gap.end(), pal.begin(), pal.end());
    CPackedDibBitmap bmp;
    Decode(MakePcx(s, gap), bmp);
    EXPECT_EQ(Stored(bmp, 0, 0), Rgb(7, 248, 3));

    // No palette at all.
    EXPECT_DECODE_ERROR(MakePcx(s, data), PLErr::EndOfFile, "End of file reached while decoding.\n");
}

TEST(PCXDecoder, TrueColourPlanes) {
    PcxSpec s;
    s.xmax = 1;
    s.planes = 3;
    s.bytesPerLine = 2;
    CPackedDibBitmap bmp;
    Decode(MakePcx(s, {10, 11, 20, 21, 30, 31}), bmp);
    EXPECT_EQ(Stored(bmp, 0, 0), Rgb(10, 20, 30));
    EXPECT_EQ(Stored(bmp, 1, 0), Rgb(11, 21, 31));
}

TEST(PCXDecoder, OneBitPlanes) {
    PcxSpec s;
    s.bits = 1;
    s.xmax = 9;
    s.bytesPerLine = 2;
    // One plane: black and white.
    CPackedDibBitmap mono;
    Decode(MakePcx(s, {0x80, 0x40}), mono);
    EXPECT_EQ(Stored(mono, 0, 0), Rgb(255, 255, 255));
    EXPECT_EQ(Stored(mono, 1, 0), Rgb(0, 0, 0));
    EXPECT_EQ(Stored(mono, 9, 0), Rgb(255, 255, 255));

    // Four planes: plane i is bit i of an index into the header's 16 colours.
    s.planes = 4;
    s.headerPalette.resize(48);
    for (int i = 0; i < 16; ++i) {
        s.headerPalette[3 * i] = static_cast<uint8_t>(i * 16);
        s.headerPalette[3 * i + 1] = static_cast<uint8_t>(i);
        s.headerPalette[3 * i + 2] = 7;
    }
    // Pixel 0: planes 0 and 2 set -> index 5; pixel 1: plane 3 -> index 8.
    CPackedDibBitmap ega;
    Decode(MakePcx(s, {0x80, 0, 0, 0, 0x80, 0, 0x40, 0}), ega);
    EXPECT_EQ(Stored(ega, 0, 0), Rgb(80, 5, 7));
    EXPECT_EQ(Stored(ega, 1, 0), Rgb(128, 8, 7));
    EXPECT_EQ(Stored(ega, 2, 0), Rgb(0, 0, 7));
}

TEST(PCXDecoder, PackedTwoAndFourBits) {
    PcxSpec s;
    s.bits = 4;
    s.xmax = 2;
    s.bytesPerLine = 2;
    s.headerPalette.resize(48);
    for (int i = 0; i < 48; ++i) s.headerPalette[static_cast<size_t>(i)] = static_cast<uint8_t>(i);
    CPackedDibBitmap b4;
    Decode(MakePcx(s, {0x1F, 0x20}), b4);
    EXPECT_EQ(Stored(b4, 0, 0), Rgb(3, 4, 5));
    EXPECT_EQ(Stored(b4, 1, 0), Rgb(45, 46, 47));
    EXPECT_EQ(Stored(b4, 2, 0), Rgb(6, 7, 8));

    s.bits = 2;
    s.xmax = 4;
    CPackedDibBitmap b2;
    Decode(MakePcx(s, {0x1B, 0x40}), b2);  // 0 1 2 3 | 1
    EXPECT_EQ(Stored(b2, 3, 0), Rgb(9, 10, 11));
    EXPECT_EQ(Stored(b2, 4, 0), Rgb(3, 4, 5));
}

TEST(PCXDecoder, Malformed) {
    PcxSpec s;
    s.bytesPerLine = 1;
    auto palette = Vga();

    PcxSpec wrong = s;
    wrong.manufacturer = 11;
    DecodeFailure f = DecodeExpectingFailure<CPCXDecoder>(MakePcx(wrong, {1}));
    EXPECT_EQ(f.code, PLErr::WrongSignature);
    EXPECT_EQ(f.text, "Decoder error: Error decoding pcx: Not a PCX file.\n");

    PcxSpec encoding = s;
    encoding.encoding = 0;
    f = DecodeExpectingFailure<CPCXDecoder>(MakePcx(encoding, {1}));
    EXPECT_EQ(f.code, PLErr::WrongSignature);
    EXPECT_EQ(f.text, "Decoder error: File has unknown encoding scheme.\n");

    PcxSpec planes = s;
    planes.bits = 1;
    planes.planes = 5;
    EXPECT_DECODE_ERROR(MakePcx(planes, {1}), PLErr::UnknownVariant,
                        "Decoder error: Can't handle image with more than 4 planes.\n");
    for (auto [bits, n] : {std::pair{8, 2}, std::pair{4, 4}, std::pair{3, 1}, std::pair{16, 1}, std::pair{8, 0}}) {
        PcxSpec odd = s;
        odd.bits = static_cast<uint8_t>(bits);
        odd.planes = static_cast<uint8_t>(n);
        EXPECT_DECODE_ERROR(MakePcx(odd, {1}), PLErr::UnknownVariant,
                            "Decoder error: Can't handle bits per pixel image with planes.\n");
    }

    // A run that reaches beyond the last pixel of the image.
    PcxSpec runs = s;
    runs.xmax = 1;
    runs.bytesPerLine = 2;
    EXPECT_DECODE_ERROR(MakePcx(runs, {0xC3, 1}), PLErr::CorruptData,
                        "Decoder error: repeat count spans end of image.\n");

    // Rows shorter than the width needs.
    PcxSpec narrow = s;
    narrow.xmax = 9;
    narrow.bytesPerLine = 2;
    EXPECT_EQ(DecodeExpectingFailure(MakePcx(narrow, {1})).code, PLErr::CorruptData);

    // xmax below xmin, and a size the data cannot hold.
    PcxSpec inverted = s;
    inverted.xmin = 5;
    EXPECT_EQ(DecodeExpectingFailure(MakePcx(inverted, {1})).code, PLErr::UnknownVariant);
    PcxSpec huge = s;
    huge.xmax = 65534;
    huge.ymax = 65534;
    huge.bytesPerLine = 65535;
    EXPECT_EQ(DecodeExpectingFailure(MakePcx(huge, {0xFF, 0})).code, PLErr::EndOfFile);

    // Data ending inside the pixels.
    PcxSpec cut = s;
    cut.ymax = 3;
    EXPECT_EQ(DecodeExpectingFailure(MakePcx(cut, {1, 2})).code, PLErr::EndOfFile);
}

}  // namespace
