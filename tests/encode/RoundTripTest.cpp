// Every writable format with every depth it takes, from both portable bitmap kinds and at odd
// sizes, decoded back: equal colours (JPEG within a stated error, GIF exact up to 256 colours).

#include <gtest/gtest.h>

#include "CodecTestUtil.h"
#include "encode/BMPEncoder.h"
#include "encode/EncoderChoice.h"
#include "encode/GIFEncoder.h"
#include "encode/JPEGEncoder.h"
#include "encode/PNGEncoder.h"
#include "encode/TIFFEncoder.h"

using namespace codectest;

namespace {

struct Case {
    PLImageType type;
    uint16_t depth;
    bool alpha;
};

std::string Name(const Case& c) {
    return std::string(PLImageTypeExtension(c.type) + 1) + "_" + std::to_string(c.depth) + (c.alpha ? "_alpha" : "");
}

template <class Kind>
void MakeSource(Kind& bmp, const Case& c, int32_t w, int32_t h) {
    if (c.depth == 32)
        FillTestPicture(bmp, w, h, c.alpha);
    else if (c.depth == 1)
        FillBilevel(bmp, w, h, PLRGBQuad{255, 255, 255, 255}, PLRGBQuad{0, 0, 0, 255});
    else
        FillIndexed(bmp, w, h, c.depth);
}

const Case kLossless[] = {
    {PLImageBMP, 1, false},  {PLImageBMP, 4, false},  {PLImageBMP, 8, false},  {PLImageBMP, 32, false},
    {PLImagePNG, 1, false},  {PLImagePNG, 4, false},  {PLImagePNG, 8, false},  {PLImagePNG, 32, false},
    {PLImagePNG, 32, true},  {PLImageTIFF, 1, false}, {PLImageTIFF, 4, false}, {PLImageTIFF, 8, false},
    {PLImageTIFF, 32, false},
};

class LosslessRoundTrip : public ::testing::TestWithParam<Case> {};

template <class Kind>
void CheckLossless(const Case& c) {
    for (int32_t w : {1, 3, 8, 9, 33}) {
        for (int32_t h : {1, 5}) {
            Kind src;
            MakeSource(src, c, w, h);
            auto encoder = PLCreateEncoder(c.type);
            Bytes f = EncodeToMemory(*encoder, src);
            auto back = DecodeMemory(f);
            SCOPED_TRACE(Name(c) + " " + std::to_string(w) + "x" + std::to_string(h));
            Difference d = Compare(*back, src, c.alpha);
            EXPECT_EQ(d.maxColour, 0);
            EXPECT_EQ(d.maxAlpha, 0);
            EXPECT_EQ(back->HasAlpha(), c.alpha);
            // A 32-bit wish gives the same colours.
            auto back32 = DecodeMemory(f, 32);
            EXPECT_EQ(back32->GetBitsPerPixel(), 32);
            EXPECT_EQ(Compare(*back32, src, c.alpha).maxColour, 0);
        }
    }
}

TEST_P(LosslessRoundTrip, FromHeapBitmap) { CheckLossless<CHeapBitmap>(GetParam()); }
TEST_P(LosslessRoundTrip, FromPackedDib) { CheckLossless<CPackedDibBitmap>(GetParam()); }

INSTANTIATE_TEST_SUITE_P(Formats, LosslessRoundTrip, ::testing::ValuesIn(kLossless),
                         [](const ::testing::TestParamInfo<Case>& info) { return Name(info.param); });

TEST(RoundTrip, DecodedDepths) {
    // What each format decodes to without a wish.
    const struct {
        Case c;
        uint16_t decoded;
    } cases[] = {
        {{PLImageBMP, 1, false}, 8},  {{PLImageBMP, 8, false}, 8},  {{PLImageBMP, 32, false}, 32},
        {{PLImagePNG, 1, false}, 8},  {{PLImagePNG, 8, false}, 8},  {{PLImagePNG, 32, false}, 32},
        {{PLImageTIFF, 1, false}, 1}, {{PLImageTIFF, 8, false}, 8}, {{PLImageTIFF, 32, false}, 32},
        {{PLImageGIF, 32, false}, 8}, {{PLImageJPEG, 32, false}, 32},
    };
    for (const auto& k : cases) {
        CHeapBitmap src;
        MakeSource(src, k.c, 10, 6);
        auto encoder = PLCreateEncoder(k.c.type);
        auto back = DecodeMemory(EncodeToMemory(*encoder, src));
        EXPECT_EQ(back->GetBitsPerPixel(), k.decoded) << Name(k.c);
    }
}

TEST(RoundTrip, GifKeepsUpTo256ColoursExactly) {
    for (int colours : {1, 2, 3, 17, 255, 256}) {
        CPackedDibBitmap src;
        FillFewColours(src, 48, 30, colours);
        CGIFEncoder e;
        auto back = DecodeMemory(EncodeToMemory(e, src));
        EXPECT_EQ(Compare(*back, src).maxColour, 0) << colours;
    }
}

TEST(RoundTrip, GifOfOddSizes) {
    for (int32_t w : {1, 2, 7, 31})
        for (int32_t h : {1, 3, 9}) {
            CHeapBitmap src;
            FillFewColours(src, w, h, 5);
            CGIFEncoder e;
            EXPECT_EQ(Compare(*DecodeMemory(EncodeToMemory(e, src)), src).maxColour, 0) << w << "x" << h;
        }
}

// JPEG: mean error per channel and largest single error, on a photo-like picture with hard
// edges, at three qualities. Colour is subsampled 2 x 2 and decoded without fancy upsampling,
// which costs a few levels on colour ramps and up to about 65 at a pixel where a white block
// meets colour inside one 2 x 2 cell (odd sizes). The mean bounds are the tight ones: colour
// swaps, shifted rows and broken conversions all raise the mean error above 20.
TEST(RoundTrip, JpegWithinStatedError) {
    const struct {
        int quality;
        double mean;
        int max;
    } cases[] = {{100, 2.5, 70}, {95, 3.0, 75}, {75, 5.0, 100}};
    for (const auto& c : cases) {
        for (auto size : {PLSize{64, 40}, PLSize{101, 67}}) {
            CPackedDibBitmap src;
            FillSmoothPicture(src, size.cx, size.cy);
            CJPEGEncoder e;
            e.SetQuality(c.quality);
            auto back = DecodeMemory(EncodeToMemory(e, src));
            Difference d = Compare(*back, src);
            EXPECT_LE(d.meanColour, c.mean) << "quality " << c.quality << " width " << size.cx;
            EXPECT_LE(d.maxColour, c.max) << "quality " << c.quality << " width " << size.cx;
            EXPECT_FALSE(back->HasAlpha());
        }
    }
}

TEST(RoundTrip, JpegOfTinyPictures) {
    // Pictures smaller than one block: the size survives and the colours stay near.
    for (auto size : {PLSize{1, 1}, PLSize{1, 7}, PLSize{9, 7}, PLSize{17, 1}}) {
        CHeapBitmap src;
        src.Create(size.cx, size.cy, 32, false);
        for (int y = 0; y < size.cy; ++y)
            for (int x = 0; x < size.cx; ++x) src.SetPixel(x, y, PLMakePixel(200, 120, 40));
        CJPEGEncoder e;
        auto back = DecodeMemory(EncodeToMemory(e, src));
        ASSERT_EQ(back->GetWidth(), size.cx);
        ASSERT_EQ(back->GetHeight(), size.cy);
        EXPECT_LE(Compare(*back, src).maxColour, 3) << size.cx << "x" << size.cy;
    }
}

TEST(RoundTrip, JpegOfGreyPictureStaysGreyAndClose) {
    CHeapBitmap src;
    src.Create(30, 20, 8, false);  // the grey ramp
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 30; ++x) src.GetLine(y)[x] = static_cast<uint8_t>(x * 8 + y);
    CJPEGEncoder e;
    auto back = DecodeMemory(EncodeToMemory(e, src));
    EXPECT_EQ(back->GetBitsPerPixel(), 32);  // written as colour
    EXPECT_LE(Compare(*back, src).meanColour, 2.0);
}

TEST(RoundTrip, FilesOnDiskRoundTripThroughTheAutoDecoder) {
    std::string folder = ScratchFolder("roundtrip");
    CHeapBitmap src;
    FillFewColours(src, 21, 13, 40);
    for (const char* name : {"x.bmp", "x.png", "x.tif", "x.gif"}) {
        std::string path = folder + "/" + name;
        PLSaveImageFile(path, src);
        CHeapBitmap back;
        CAutoDecoder decoder;
        decoder.MakeBmpFromFile(path.c_str(), back, 32);
        EXPECT_EQ(Compare(back, src).maxColour, 0) << name;
    }
}

}  // namespace
