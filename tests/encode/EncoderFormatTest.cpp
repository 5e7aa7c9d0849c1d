// What each encoder writes: BMP headers, rows and padding; JPEG options; PNG colour types;
// TIFF photometric interpretations and colour maps; GIF colour reduction and limits.

#include <gtest/gtest.h>

#include <set>

#include <png.h>
#include <tiffio.h>

#include "CodecTestUtil.h"
#include "encode/BMPEncoder.h"
#include "encode/GIFEncoder.h"
#include "encode/JPEGEncoder.h"
#include "encode/PNGEncoder.h"
#include "encode/TIFFEncoder.h"
#include "encode/TIFFMemClient.h"

using namespace codectest;

namespace {

uint32_t LE32(const uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24); }
uint16_t LE16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint16_t BE16(const uint8_t* p) { return static_cast<uint16_t>((p[0] << 8) | p[1]); }

// ---- BMP ----

TEST(BMPEncoder, ThirtyTwoBitsThreeWideHasNineDataAndThreePadBytes) {
    CPackedDibBitmap bmp;
    bmp.Create(3, 2, 32, true);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) bmp.SetPixel(x, y, PLMakePixel(static_cast<uint8_t>(10 * x + y), 100, 200, 7));
    CBMPEncoder encoder;
    Bytes f = EncodeToMemory(encoder, bmp);
    ASSERT_EQ(f.size(), 54u + 2 * 12u);
    EXPECT_EQ(f[0], 'B');
    EXPECT_EQ(f[1], 'M');
    EXPECT_EQ(LE32(&f[2]), f.size());
    EXPECT_EQ(LE32(&f[10]), 54u);
    EXPECT_EQ(LE32(&f[14]), 40u);
    EXPECT_EQ(static_cast<int32_t>(LE32(&f[18])), 3);
    EXPECT_EQ(static_cast<int32_t>(LE32(&f[22])), 2);  // positive: bottom-up
    EXPECT_EQ(LE16(&f[26]), 1);
    EXPECT_EQ(LE16(&f[28]), 24);
    for (int i = 30; i < 54; ++i) EXPECT_EQ(f[i], 0) << i;
    // First stored row is the bottom row (y = 1): blue, green, red; alpha dropped; zero pad.
    const uint8_t* row = &f[54];
    for (int x = 0; x < 3; ++x) {
        EXPECT_EQ(row[3 * x], 200);
        EXPECT_EQ(row[3 * x + 1], 100);
        EXPECT_EQ(row[3 * x + 2], 10 * x + 1);
    }
    EXPECT_EQ(row[9] | row[10] | row[11], 0);
    EXPECT_EQ(f[54 + 12 + 2], 0);  // top row, x = 0: red 0
}

TEST(BMPEncoder, IndexedDepthsKeepTheirColourTable) {
    for (uint16_t depth : {1, 4, 8}) {
        CHeapBitmap bmp;  // unpadded rows: the encoder pads them
        FillIndexed(bmp, 9, 3, depth);
        CBMPEncoder encoder;
        Bytes f = EncodeToMemory(encoder, bmp);
        const uint32_t colours = 1u << depth;
        const uint32_t rowLen = (9 * depth + 31) / 32 * 4;
        ASSERT_EQ(f.size(), 54 + 4 * colours + rowLen * 3) << depth;
        EXPECT_EQ(LE32(&f[10]), 54 + 4 * colours);
        EXPECT_EQ(LE16(&f[28]), depth);
        EXPECT_EQ(0, std::memcmp(&f[54], bmp.GetColorTable(), 4 * colours));
        // Bottom row first; bits beyond the width and pad bytes are zero.
        const uint8_t* stored = &f[54 + 4 * colours];
        size_t used = CDibBitmap::CalcPackedRowLength(9, depth);
        for (size_t i = 0; i + 1 < used; ++i) EXPECT_EQ(stored[i], bmp.GetLine(2)[i]);
        for (size_t i = used; i < rowLen; ++i) EXPECT_EQ(stored[i], 0);
    }
}

TEST(BMPEncoder, TallNarrowHeapBitmapOutgrowsItsEstimate) {
    // Unpadded rows of 1 byte become 4-byte rows in the file: the file is larger than the
    // block the sink starts with and still saves whole.
    CHeapBitmap bmp;
    bmp.Create(1, 5000, 8, false);
    for (int y = 0; y < 5000; ++y) bmp.GetLine(y)[0] = static_cast<uint8_t>(y);
    ASSERT_LT(CImageEncoder::EstimateFileSize(bmp), 54u + 1024u + 4u * 5000u);
    CBMPEncoder encoder;
    Bytes f = EncodeToMemory(encoder, bmp);
    EXPECT_EQ(f.size(), 54u + 1024u + 4u * 5000u);
    auto back = DecodeMemory(f);
    EXPECT_EQ(back->GetLine(4999)[0], static_cast<uint8_t>(4999));
}

// ---- JPEG ----

TEST(JPEGEncoder, DefaultsAndClampedSetters) {
    CJPEGEncoder e;
    EXPECT_EQ(e.GetQuality(), 95);
    EXPECT_FALSE(e.GetOptimizeCoding());
    EXPECT_EQ(e.GetSmoothingFactor(), 0);
    EXPECT_EQ(e.GetDensityX(), 0);
    e.SetQuality(150);
    EXPECT_EQ(e.GetQuality(), 100);
    e.SetSmoothingFactor(-3);
    EXPECT_EQ(e.GetSmoothingFactor(), 0);
}

TEST(JPEGEncoder, QualityZeroKeepsTheLibraryDefault) {
    CHeapBitmap bmp;
    FillTestPicture(bmp, 40, 30);
    CJPEGEncoder q0, q75, q95;
    q0.SetQuality(0);
    q75.SetQuality(75);
    Bytes a = EncodeToMemory(q0, bmp), b = EncodeToMemory(q75, bmp), c = EncodeToMemory(q95, bmp);
    EXPECT_EQ(a, b);
    EXPECT_NE(a, c);
    EXPECT_LT(a.size(), c.size());
}

TEST(JPEGEncoder, DensityIsWrittenInDotsPerInch) {
    CHeapBitmap bmp;
    FillTestPicture(bmp, 8, 8);
    CJPEGEncoder plain, dense;
    dense.SetDensity(300, 150);
    Bytes p = EncodeToMemory(plain, bmp), d = EncodeToMemory(dense, bmp);
    // SOI, then the JFIF APP0 segment: marker, length, "JFIF\0", version, units, X, Y.
    ASSERT_GT(d.size(), 20u);
    ASSERT_EQ(BE16(&d[2]), 0xFFE0);
    ASSERT_EQ(0, std::memcmp(&d[6], "JFIF", 5));
    EXPECT_EQ(d[13], 1);
    EXPECT_EQ(BE16(&d[14]), 300);
    EXPECT_EQ(BE16(&d[16]), 150);
    EXPECT_EQ(p[13], 0);  // no density: the library's aspect ratio 1:1
    EXPECT_EQ(BE16(&p[14]), 1);
}

TEST(JPEGEncoder, OptimisedCodingIsSmallerAndDecodesToTheSamePixels) {
    CHeapBitmap bmp;
    FillTestPicture(bmp, 64, 48);
    CJPEGEncoder plain, optimised;
    optimised.SetOptimizeCoding(true);
    Bytes p = EncodeToMemory(plain, bmp), o = EncodeToMemory(optimised, bmp);
    EXPECT_LT(o.size(), p.size());
    auto a = DecodeMemory(p), b = DecodeMemory(o);
    Difference d = Compare(*a, *b);
    EXPECT_EQ(d.maxColour, 0);
}

TEST(JPEGEncoder, SmoothingChangesTheResult) {
    CHeapBitmap bmp;
    FillTestPicture(bmp, 32, 32);
    CJPEGEncoder plain, smooth;
    smooth.SetSmoothingFactor(80);
    EXPECT_NE(EncodeToMemory(plain, bmp), EncodeToMemory(smooth, bmp));
}

TEST(JPEGEncoder, LibraryErrorsCarryTheirMessageAndCodeSix) {
    CHeapBitmap bmp;
    bmp.Create(65501, 1, 32, false);  // beyond JPEG's 65500 pixels
    CJPEGEncoder e;
    std::string text;
    EXPECT_EQ(CaughtCode([&] { EncodeToMemory(e, bmp); }, &text), PLErr::Unsupported);
    EXPECT_NE(text.find("65500"), std::string::npos) << text;
    EXPECT_EQ(text.back(), '\n');
    // The same encoder works afterwards.
    CHeapBitmap small;
    FillTestPicture(small, 5, 5);
    EXPECT_GT(EncodeToMemory(e, small).size(), 100u);
}

// ---- PNG ----

struct PngHeader {
    int bitDepth = -1;
    int colorType = -1;
    int paletteSize = 0;
    bool hasSBit = false;
};

PngHeader ReadPngHeader(const Bytes& f) {
    PngHeader h;
    if (f.size() < 33) return h;
    h.bitDepth = f[24];
    h.colorType = f[25];
    for (size_t pos = 8; pos + 8 <= f.size();) {
        uint32_t len = (f[pos] << 24) | (f[pos + 1] << 16) | (f[pos + 2] << 8) | f[pos + 3];
        std::string type(reinterpret_cast<const char*>(&f[pos + 4]), 4);
        if (type == "PLTE") h.paletteSize = static_cast<int>(len / 3);
        if (type == "sBIT") h.hasSBit = true;
        pos += 12 + len;
    }
    return h;
}

TEST(PNGEncoder, ColourTypeFollowsDepthAndAlpha) {
    CHeapBitmap rgb, rgba, indexed, blackWhite, whiteBlack;
    FillTestPicture(rgb, 7, 5);
    FillTestPicture(rgba, 7, 5, true);
    FillIndexed(indexed, 7, 5, 8);
    FillBilevel(blackWhite, 7, 5, PLRGBQuad{0, 0, 0, 255}, PLRGBQuad{255, 255, 255, 255});
    FillBilevel(whiteBlack, 7, 5, PLRGBQuad{255, 255, 255, 255}, PLRGBQuad{0, 0, 0, 255});
    CPNGEncoder e;
    PngHeader h = ReadPngHeader(EncodeToMemory(e, rgb));
    EXPECT_EQ(h.colorType, PNG_COLOR_TYPE_RGB);
    EXPECT_EQ(h.bitDepth, 8);
    EXPECT_TRUE(h.hasSBit);
    EXPECT_EQ(ReadPngHeader(EncodeToMemory(e, rgba)).colorType, PNG_COLOR_TYPE_RGB_ALPHA);
    h = ReadPngHeader(EncodeToMemory(e, indexed));
    EXPECT_EQ(h.colorType, PNG_COLOR_TYPE_PALETTE);
    EXPECT_EQ(h.paletteSize, 256);
    h = ReadPngHeader(EncodeToMemory(e, blackWhite));
    EXPECT_EQ(h.colorType, PNG_COLOR_TYPE_GRAY);
    EXPECT_EQ(h.bitDepth, 1);
    // White for 0 (the library's own 1-bit table) cannot be grey without inverting: palette.
    h = ReadPngHeader(EncodeToMemory(e, whiteBlack));
    EXPECT_EQ(h.colorType, PNG_COLOR_TYPE_PALETTE);
    EXPECT_EQ(h.bitDepth, 1);
    EXPECT_EQ(h.paletteSize, 2);
}

// ---- TIFF ----

struct TiffFields {
    uint16_t photometric = 0xFFFF, bits = 0, samples = 0, compression = 0;
    std::vector<uint16_t> red;
};

TiffFields ReadTiffFields(const Bytes& f) {
    TiffFields t;
    TIFF* tif = PLTiffOpenRead(f.data(), f.size());
    if (!tif) return t;
    TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &t.photometric);
    TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &t.bits);
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &t.samples);
    TIFFGetFieldDefaulted(tif, TIFFTAG_COMPRESSION, &t.compression);
    uint16_t *r = nullptr, *g = nullptr, *b = nullptr;
    if (t.photometric == PHOTOMETRIC_PALETTE && TIFFGetField(tif, TIFFTAG_COLORMAP, &r, &g, &b))
        t.red.assign(r, r + (1 << t.bits));
    TIFFClose(tif);
    return t;
}

TEST(TIFFEncoder, DefaultOneBitTableIsWrittenWhiteIsZero) {
    // The library's 1-bit table (from a conversion to 1 bit): white, black.
    CHeapBitmap colour, bilevel;
    FillTestPicture(colour, 16, 9);
    bilevel.CreateCopy(colour, 1);
    ASSERT_EQ(bilevel.GetColorTable()[0].rgbRed, 255);
    CTIFFEncoder e;
    Bytes f = EncodeToMemory(e, bilevel);
    TiffFields t = ReadTiffFields(f);
    EXPECT_EQ(t.photometric, PHOTOMETRIC_MINISWHITE);
    EXPECT_EQ(t.bits, 1);
    EXPECT_EQ(t.samples, 1);
    EXPECT_EQ(t.compression, COMPRESSION_NONE);
    auto back = DecodeMemory(f);
    EXPECT_EQ(back->GetBitsPerPixel(), 1);
    EXPECT_EQ(Compare(*back, bilevel).maxColour, 0);
}

TEST(TIFFEncoder, BlackIsZeroWhenEntryZeroIsDarker) {
    CHeapBitmap bmp;
    FillBilevel(bmp, 11, 4, PLRGBQuad{0, 0, 0, 255}, PLRGBQuad{255, 255, 255, 255});
    CTIFFEncoder e;
    EXPECT_EQ(ReadTiffFields(EncodeToMemory(e, bmp)).photometric, PHOTOMETRIC_MINISBLACK);
}

TEST(TIFFEncoder, TwoColourTableOfOtherColoursKeepsItsColours) {
    CHeapBitmap bmp;
    FillBilevel(bmp, 11, 4, PLRGBQuad{200, 0, 10, 255}, PLRGBQuad{0, 128, 255, 255});
    CTIFFEncoder e;
    Bytes f = EncodeToMemory(e, bmp);
    EXPECT_EQ(ReadTiffFields(f).photometric, PHOTOMETRIC_PALETTE);
    auto back = DecodeMemory(f);
    EXPECT_EQ(Compare(*back, bmp).maxColour, 0);
}

TEST(TIFFEncoder, EightBitColoursRoundTripThroughAStandardColourMap) {
    CPackedDibBitmap bmp;
    FillIndexed(bmp, 13, 6, 8);
    CTIFFEncoder e;
    Bytes f = EncodeToMemory(e, bmp);
    TiffFields t = ReadTiffFields(f);
    ASSERT_EQ(t.photometric, PHOTOMETRIC_PALETTE);
    ASSERT_EQ(t.red.size(), 256u);
    for (int i = 0; i < 256; ++i) EXPECT_EQ(t.red[i], bmp.GetColorTable()[i].rgbRed * 257) << i;
    auto back = DecodeMemory(f);
    ASSERT_EQ(back->GetBitsPerPixel(), 8);
    for (int i = 0; i < 256; ++i) {
        EXPECT_EQ(back->GetColorTable()[i].rgbRed, bmp.GetColorTable()[i].rgbRed);
        EXPECT_EQ(back->GetColorTable()[i].rgbGreen, bmp.GetColorTable()[i].rgbGreen);
        EXPECT_EQ(back->GetColorTable()[i].rgbBlue, bmp.GetColorTable()[i].rgbBlue);
    }
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 13; ++x) EXPECT_EQ(back->GetPixelIndex(x, y), bmp.GetPixelIndex(x, y));
}

TEST(TIFFEncoder, ThirtyTwoBitsAreWrittenAsRgb) {
    CHeapBitmap bmp;
    FillTestPicture(bmp, 10, 10, true);
    CTIFFEncoder e;
    TiffFields t = ReadTiffFields(EncodeToMemory(e, bmp));
    EXPECT_EQ(t.photometric, PHOTOMETRIC_RGB);
    EXPECT_EQ(t.samples, 3);
    EXPECT_EQ(t.bits, 8);
}

// ---- GIF ----

TEST(GIFEncoder, FewColoursAreKeptExactly) {
    CHeapBitmap bmp;
    FillFewColours(bmp, 200, 100, 200);
    std::set<PLPixel32> distinct;
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 200; ++x) distinct.insert(bmp.GetPixel(x, y));
    ASSERT_GT(distinct.size(), 128u);
    ASSERT_LE(distinct.size(), 256u);
    CGIFEncoder e;
    Bytes f = EncodeToMemory(e, bmp);
    ASSERT_GT(f.size(), 13u);
    EXPECT_EQ(0, std::memcmp(f.data(), "GIF87a", 6));
    EXPECT_EQ(f[10] & 0x07, 7);  // a global map of 256 entries
    auto back = DecodeMemory(f, 32);
    EXPECT_EQ(Compare(*back, bmp).maxColour, 0);
}

TEST(GIFEncoder, TwoColoursMakeASmallColourMap) {
    CHeapBitmap bmp;
    FillFewColours(bmp, 9, 9, 2);
    CGIFEncoder e;
    Bytes f = EncodeToMemory(e, bmp);
    EXPECT_EQ(f[10] & 0x07, 0);  // 2 entries
    EXPECT_EQ(Compare(*DecodeMemory(f, 32), bmp).maxColour, 0);
}

TEST(GIFEncoder, ManyColoursGoThroughTheQuantiser) {
    CHeapBitmap bmp;
    FillTestPicture(bmp, 64, 64);
    CGIFEncoder e;
    Bytes f = EncodeToMemory(e, bmp);
    auto back = DecodeMemory(f);
    EXPECT_EQ(back->GetBitsPerPixel(), 8);
    std::set<int> used;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) used.insert(back->GetPixelIndex(x, y));
    EXPECT_GT(used.size(), 64u);
    Difference d = Compare(*back, bmp);
    // giflib's median cut works on 5 bits per channel and averages the boxes it cuts.
    EXPECT_LT(d.meanColour, 14.0);
    EXPECT_LT(d.maxColour, 80);
}

TEST(GIFEncoder, OversizedPicturesAreRefused) {
    CHeapBitmap bmp;
    bmp.Create(65536, 1, 32, false);
    CGIFEncoder e;
    std::string text;
    EXPECT_EQ(CaughtCode([&] { EncodeToMemory(e, bmp); }, &text), PLErr::UnknownVariant);
    EXPECT_NE(text.find("65535"), std::string::npos);
}

TEST(GIFEncoder, OtherDepthsAreConvertedFirst) {
    CHeapBitmap bmp;
    FillIndexed(bmp, 12, 7, 8);
    CGIFEncoder e;
    EXPECT_EQ(Compare(*DecodeMemory(EncodeToMemory(e, bmp), 32), bmp).maxColour, 0);
}

}  // namespace
