// The library-backed decoders against ImageMagick's own decodes of files it made (every PNG
// colour type and depth, TIFF variants, GIF, baseline, progressive, grey and CMYK JPEG), and
// their edge cases: cut-short and damaged data, 16-bit grey PNG, TIFF rows failing late, the
// TIFF preview of an EPS file, progress.

#include <gtest/gtest.h>

#include <tiffio.h>

#include "CodecTestUtil.h"
#include "decode/GIFDecoder.h"
#include "decode/JPEGDecoder.h"
#include "decode/PNGDecoder.h"
#include "decode/TIFFDecoder.h"
#include "encode/ByteSink.h"
#include "encode/JPEGEncoder.h"
#include "encode/TIFFEncoder.h"
#include "encode/TIFFMemClient.h"

using namespace codectest;

namespace {

struct Fixture {
    const char* name;
    uint16_t depth;  // decoded without a wish
    int tolerance;   // largest colour difference allowed against ImageMagick
    bool alpha;
    double mean = 0;  // mean colour difference allowed
};

// Tolerances: 0 where both decoders must agree exactly; 1 for 16-bit samples (ImageMagick rounds
// to 8 bits, libpng and libtiff cut); JPEG data is decoded with the floating-point DCT and
// without fancy upsampling, ImageMagick uses the integer DCT with it: subsampled colour then
// differs by up to a few dozen levels at sharp colour edges (with fancy upsampling within 3, see
// FancyUpsamplingCanBeChosen). The animation's frames bring colour maps of their own, so it
// decodes to 32 bits.
const Fixture kFixtures[] = {
    {"png_g1.png", 8, 0, false},         {"png_g2.png", 8, 0, false},
    {"png_g4.png", 8, 0, false},         {"png_g8.png", 8, 0, false},
    {"png_g16.png", 8, 1, false},        {"png_ga8.png", 32, 0, true},
    {"png_ga16.png", 32, 1, true},       {"png_rgb8.png", 32, 0, false},
    {"png_rgb16.png", 32, 1, false},     {"png_rgba8.png", 32, 0, true},
    {"png_rgba16.png", 32, 1, true},     {"png_p1.png", 8, 0, false},
    {"png_p2.png", 8, 0, false},         {"png_p4.png", 8, 0, false},
    {"png_p8.png", 8, 0, false},         {"png_rgb8_interlaced.png", 32, 0, false},
    {"png_p8_interlaced.png", 8, 0, false},
    {"tif_rgb.tif", 32, 0, false},       {"tif_rgb_zip.tif", 32, 0, false},
    {"tif_rgb_packbits.tif", 32, 0, false}, {"tif_rgb_jpeg.tif", 32, 6, false},
    {"tif_rgb16.tif", 32, 1, false},     {"tif_rgba.tif", 32, 1, true},
    {"tif_rgb_tiled.tif", 32, 0, false}, {"tif_rgb_planar.tif", 32, 0, false},
    {"tif_g8.tif", 8, 0, false},         {"tif_g4.tif", 8, 0, false},
    {"tif_g2.tif", 8, 0, false},         {"tif_g16.tif", 32, 1, false},
    {"tif_bilevel_black.tif", 1, 0, false}, {"tif_bilevel_white.tif", 1, 0, false},
    {"tif_bilevel_fax.tif", 1, 0, false}, {"tif_p8.tif", 8, 1, false},
    {"tif_p4.tif", 8, 1, false},
    {"gif_basic.gif", 8, 0, false},      {"gif_interlaced.gif", 8, 0, false},
    {"gif_anim.gif", 32, 0, false},
    {"jpg_base.jpg", 32, 40, false, 4.0}, {"jpg_progressive.jpg", 32, 40, false, 4.0},
    {"jpg_grey.jpg", 8, 2, false, 0.5},  {"jpg_444.jpg", 32, 3, false, 0.5},
    {"jpg_cmyk.jpg", 32, 40, false, 4.0},
};

class AgainstImageMagick : public ::testing::TestWithParam<Fixture> {};

template <class Kind>
void CheckFixture(const Fixture& f, int wantedDepth) {
    Bytes file = ReadFile(DataPath(f.name));
    ASSERT_FALSE(file.empty()) << DataPath(f.name);
    std::string base(f.name);
    Bytes ref = ReadFile(DataPath(base.substr(0, base.rfind('.')) + ".rgba"));
    ASSERT_FALSE(ref.empty());
    std::unique_ptr<Kind> bmp;
    try {
        bmp = DecodeMemory<Kind>(file, wantedDepth);
    } catch (const CTextException& e) {
        FAIL() << "code " << e.GetCode() << ": " << e.GetText();
    }
    EXPECT_EQ(bmp->GetBitsPerPixel(), wantedDepth == 32 ? 32 : f.depth);
    EXPECT_EQ(bmp->HasAlpha(), f.alpha && bmp->GetBitsPerPixel() == 32);
    // The animation's last frame holds a transparent hole where ImageMagick has no colour.
    const bool skipTransparent = base == "gif_anim.gif";
    Difference d = CompareWithRgba(*bmp, ref, f.alpha, skipTransparent);
    EXPECT_LE(d.maxColour, f.tolerance);
    EXPECT_LE(d.maxAlpha, f.alpha ? 1 : 0);
    EXPECT_LE(d.meanColour, f.mean ? f.mean : (f.tolerance ? 0.5 : 0.0));
}

TEST_P(AgainstImageMagick, DefaultDepthIntoHeapBitmap) { CheckFixture<CHeapBitmap>(GetParam(), 0); }
TEST_P(AgainstImageMagick, ThirtyTwoBitsIntoHeapBitmap) { CheckFixture<CHeapBitmap>(GetParam(), 32); }
TEST_P(AgainstImageMagick, ThirtyTwoBitsIntoPackedDib) { CheckFixture<CPackedDibBitmap>(GetParam(), 32); }

INSTANTIATE_TEST_SUITE_P(Fixtures, AgainstImageMagick, ::testing::ValuesIn(kFixtures),
                         [](const ::testing::TestParamInfo<Fixture>& info) {
                             std::string n = info.param.name;
                             for (char& c : n)
                                 if (c == '.') c = '_';
                             return n;
                         });

// ---- PNG ----

TEST(PNGDecoder, SixteenBitGreyBecomesEightBitsWithAFullRamp) {
    auto bmp = DecodeMemory(ReadFile(DataPath("png_g16.png")));
    ASSERT_EQ(bmp->GetBitsPerPixel(), 8);
    for (int i = 0; i < 256; ++i) {
        EXPECT_EQ(bmp->GetColorTable()[i].rgbRed, i);
        EXPECT_EQ(bmp->GetColorTable()[i].rgbBlue, i);
        EXPECT_EQ(bmp->GetColorTable()[i].rgbReserved, 255);
    }
}

TEST(PNGDecoder, LowBitGreyGetsARampOfItsOwnLength) {
    auto bmp = DecodeMemory(ReadFile(DataPath("png_g2.png")));
    ASSERT_EQ(bmp->GetBitsPerPixel(), 8);
    const uint8_t expected[4] = {0, 85, 170, 255};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(bmp->GetColorTable()[i].rgbGreen, expected[i]);
    for (int y = 0; y < bmp->GetHeight(); ++y)
        for (int x = 0; x < bmp->GetWidth(); ++x) ASSERT_LT(bmp->GetPixelIndex(x, y), 4);
}

TEST(PNGDecoder, CutShortDataEndsWithCodeEleven) {
    Bytes file = ReadFile(DataPath("png_rgb8.png"));
    file.resize(file.size() / 2);
    CHeapBitmap bmp;
    std::string text;
    EXPECT_EQ(CaughtCode([&] { CPNGDecoder().MakeBmpFromMemory(file.data(), file.size(), bmp); }, &text),
              PLErr::EndOfFile);
    EXPECT_EQ(text, "End of file reached while decoding.\n");
}

TEST(PNGDecoder, DamagedHeaderIsALibraryErrorWithCodeTwo) {
    Bytes file = ReadFile(DataPath("png_rgb8.png"));
    file[20] ^= 0x40;  // inside IHDR: its CRC no longer matches
    CHeapBitmap bmp;
    std::string text;
    EXPECT_EQ(CaughtCode([&] { CPNGDecoder().MakeBmpFromMemory(file.data(), file.size(), bmp); }, &text),
              PLErr::UnknownVariant);
    EXPECT_EQ(text.rfind("Decoder error: ", 0), 0u) << text;
}

TEST(PNGDecoder, HugeChunkLengthFailsWithoutAllocatingIt) {
    // Found by fuzzing: a text chunk claiming about 1 GB. The chunk is refused, not allocated.
    const Bytes file = {
        0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a, 0x00, 0x00, 0x00, 0x0d, 0x49, 0x48, 0x44, 0x52, 0x00, 0x00,
        0x00, 0x2d, 0x00, 0x00, 0x00, 0x1b, 0x01, 0x03, 0x00, 0x00, 0x00, 0xd2, 0xf7, 0x94, 0x69, 0x00, 0x00, 0x00,
        0x04, 0x67, 0x41, 0x4d, 0x41, 0x00, 0x00, 0xb1, 0x8f, 0x0b, 0xfc, 0x61, 0x31, 0x3f, 0x00, 0x00, 0x25, 0x74,
        0x45, 0x58, 0x74, 0x64, 0x61, 0x74, 0x65, 0x3a, 0x63, 0x72, 0x65, 0x66, 0x79, 0x54, 0x31, 0x30, 0x3a, 0x35,
        0x34, 0x3a, 0x35, 0x45, 0x4e, 0x44, 0xae, 0x42, 0x60, 0x82};
    CHeapBitmap bmp;
    EXPECT_NE(CaughtCode([&] { CPNGDecoder().MakeBmpFromMemory(file.data(), file.size(), bmp); }), 0);
}

// ---- JPEG ----

TEST(JPEGDecoder, CutShortDataStillDecodes) {
    Bytes file = ReadFile(DataPath("jpg_base.jpg"));
    auto whole = DecodeMemory(file);
    size_t scan = 0;  // the start-of-scan marker: the entropy-coded data follow it
    for (size_t i = 0; i + 1 < file.size(); ++i)
        if (file[i] == 0xFF && file[i + 1] == 0xDA) scan = i;
    ASSERT_GT(scan, 0u);
    const size_t data = file.size() - scan;
    for (size_t keep : {scan + data * 9 / 10, scan + data * 3 / 4, scan + data / 3, scan + 20}) {
        Bytes cut(file.begin(), file.begin() + static_cast<long>(keep));
        CHeapBitmap bmp;
        std::string text;
        ASSERT_EQ(CaughtCode([&] { CJPEGDecoder().MakeBmpFromMemory(cut.data(), cut.size(), bmp); }, &text), 0)
            << keep << ": " << text;
        ASSERT_EQ(bmp.GetWidth(), whole->GetWidth());
        ASSERT_EQ(bmp.GetHeight(), whole->GetHeight());
        if (keep >= scan + data * 3 / 4) {
            // The first band of rows arrived before the cut and matches the whole file.
            for (int y = 0; y < 8; ++y)
                for (int x = 0; x < bmp.GetWidth(); ++x)
                    ASSERT_EQ(bmp.GetPixel(x, y), whole->GetPixel(x, y)) << keep << " " << x << "," << y;
        }
    }
}

TEST(JPEGDecoder, GarbageIsALibraryErrorWithCodeSix) {
    Bytes file = ReadFile(DataPath("jpg_base.jpg"));
    Bytes bad(file.begin(), file.begin() + 4);
    bad.insert(bad.end(), 200, 0x55);
    CHeapBitmap bmp;
    std::string text;
    EXPECT_EQ(CaughtCode([&] { CJPEGDecoder().MakeBmpFromMemory(bad.data(), bad.size(), bmp); }, &text),
              PLErr::Unsupported);
    EXPECT_EQ(text.rfind("Decoder error: ", 0), 0u) << text;
    EXPECT_EQ(text.back(), '\n');
}

TEST(JPEGDecoder, OneDecoderServesManyFilesAfterAnError) {
    CJPEGDecoder decoder;
    Bytes good = ReadFile(DataPath("jpg_progressive.jpg"));
    Bytes bad(good.begin(), good.begin() + 30);
    bad.insert(bad.end(), 100, 0x00);
    for (int round = 0; round < 3; ++round) {
        CHeapBitmap a, b;
        EXPECT_NE(CaughtCode([&] { decoder.MakeBmpFromMemory(bad.data(), bad.size(), a); }), 0);
        decoder.MakeBmpFromMemory(good.data(), good.size(), b);
        EXPECT_EQ(b.GetWidth(), 45);
    }
}

TEST(JPEGDecoder, GreyFileBecomesEightBitsUnlessThirtyTwoAreWanted) {
    Bytes file = ReadFile(DataPath("jpg_grey.jpg"));
    auto grey = DecodeMemory(file);
    ASSERT_EQ(grey->GetBitsPerPixel(), 8);
    EXPECT_EQ(grey->GetColorTable()[200].rgbRed, 200);
    auto colour = DecodeMemory(file, 32);
    ASSERT_EQ(colour->GetBitsPerPixel(), 32);
    EXPECT_EQ(Compare(*grey, *colour).maxColour, 0);
    EXPECT_EQ(PLPixelAlpha(colour->GetPixel(3, 3)), 255);
}

TEST(JPEGDecoder, FancyUpsamplingCanBeChosen) {
    Bytes file = ReadFile(DataPath("jpg_base.jpg"));
    Bytes ref = ReadFile(DataPath("jpg_base.rgba"));
    CHeapBitmap fast, smooth;
    CJPEGDecoder(true).MakeBmpFromMemory(file.data(), file.size(), fast);
    CJPEGDecoder(false).MakeBmpFromMemory(file.data(), file.size(), smooth);
    EXPECT_GT(Compare(fast, smooth).maxColour, 0);
    // With fancy upsampling only the DCT method differs from ImageMagick's decode.
    EXPECT_LE(CompareWithRgba(smooth, ref, false).maxColour, 3);
}

class CRecordingProgress : public CProgressSink {
public:
    void OnProgress(double done) override { values.push_back(done); }
    std::vector<double> values;
};

TEST(JPEGDecoder, ProgressRisesToOne) {
    std::string folder = ScratchFolder("progress");
    std::string path = folder + "/p.jpg";
    CHeapBitmap big;
    FillTestPicture(big, 300, 200);
    CJPEGEncoder e;
    e.MakeFileFromBmp(path.c_str(), big);
    CRecordingProgress progress;
    CHeapBitmap bmp;
    CAutoDecoder().MakeBmpFromFile(path.c_str(), bmp, 0, &progress);
    ASSERT_GE(progress.values.size(), 3u);
    for (size_t i = 1; i < progress.values.size(); ++i) EXPECT_GE(progress.values[i], progress.values[i - 1] - 1e-9);
    EXPECT_DOUBLE_EQ(progress.values.back(), 1.0);
}

// ---- TIFF ----

// A DOS EPS file: the 30-byte header, some PostScript, then the TIFF preview.
Bytes MakeEps(const Bytes& tiff) {
    const std::string ps = "%!PS-Adobe-3.0 EPSF-3.0\n%%BoundingBox: 0 0 10 10\nshowpage\n";
    Bytes eps(30, 0);
    const uint32_t fields[6] = {30, static_cast<uint32_t>(ps.size()), 0, 0,
                                static_cast<uint32_t>(30 + ps.size()), static_cast<uint32_t>(tiff.size())};
    eps[0] = 0xC5;
    eps[1] = 0xD0;
    eps[2] = 0xD3;
    eps[3] = 0xC6;
    for (int i = 0; i < 6; ++i)
        for (int k = 0; k < 4; ++k) eps[4 + 4 * i + k] = static_cast<uint8_t>(fields[i] >> (8 * k));
    eps[28] = eps[29] = 0xFF;
    eps.insert(eps.end(), ps.begin(), ps.end());
    eps.insert(eps.end(), tiff.begin(), tiff.end());
    return eps;
}

// A grey TIFF of `rows` rows, one row per strip, deflate-compressed unless told otherwise, and
// the file offset of each strip.
Bytes MakeStripTiff(uint32_t width, uint32_t rows, std::vector<uint64_t>* offsets,
                    uint16_t compression = COMPRESSION_ADOBE_DEFLATE, uint16_t predictor = 1) {
    CMemoryByteSink sink;
    EXPECT_EQ(sink.Open(1024), 0);
    std::exception_ptr failure;
    TIFF* tif = PLTiffOpenWrite(sink, &failure);
    EXPECT_NE(tif, nullptr);
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, width);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, rows);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 1);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
    EXPECT_EQ(TIFFSetField(tif, TIFFTAG_COMPRESSION, compression), 1);
    if (predictor != 1) TIFFSetField(tif, TIFFTAG_PREDICTOR, predictor);
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, 1);
    std::vector<uint8_t> row(width);
    for (uint32_t y = 0; y < rows; ++y) {
        for (uint32_t x = 0; x < width; ++x) row[x] = static_cast<uint8_t>(x * 3 + y * 17);
        TIFFWriteScanline(tif, row.data(), y, 0);
    }
    TIFFClose(tif);
    Bytes file(sink.GetData(), sink.GetData() + sink.GetPosition());
    TIFF* in = PLTiffOpenRead(file.data(), file.size());
    uint64_t* stripOffsets = nullptr;
    TIFFGetField(in, TIFFTAG_STRIPOFFSETS, &stripOffsets);
    offsets->assign(stripOffsets, stripOffsets + rows);
    TIFFClose(in);
    return file;
}

// LZW, the compression of most TIFFs met in practice (scanners, ImageMagick's and tiffcp's
// defaults), is read, with and without the horizontal predictor, also as the preview of an EPS
// file. (Files of other writers are compared with ImageMagick by the oracle test.)
TEST(TIFFDecoder, LzwIsRead) {
    for (uint16_t predictor : {1, 2}) {
        for (bool eps : {false, true}) {
            SCOPED_TRACE(std::string("predictor ") + std::to_string(predictor) + (eps ? ", in EPS" : ""));
            std::vector<uint64_t> offsets;
            Bytes file = MakeStripTiff(37, 9, &offsets, COMPRESSION_LZW, predictor);
            if (eps) file = MakeEps(file);
            std::unique_ptr<CHeapBitmap> bmp;
            try {
                bmp = DecodeMemory(file);
            } catch (const CTextException& e) {
                ADD_FAILURE() << e.GetText();
                continue;
            }
            ASSERT_EQ(bmp->GetBitsPerPixel(), 8);
            ASSERT_EQ(bmp->GetSize(), (PLSize{37, 9}));
            for (int32_t y = 0; y < 9; ++y)
                for (int32_t x = 0; x < 37; ++x)
                    ASSERT_EQ(bmp->GetPixelIndex(x, y), static_cast<uint8_t>(x * 3 + y * 17)) << x << "," << y;
        }
    }
}

TEST(TIFFDecoder, RowsFailingInTheLastTwoThirdsStillOpen) {
    std::vector<uint64_t> offsets;
    Bytes file = MakeStripTiff(40, 30, &offsets);
    Bytes damaged = file;
    for (uint32_t y = 12; y < 30; y += 4)
        for (int i = 0; i < 6; ++i) damaged[offsets[y] + i] = 0xFF;  // a broken deflate stream
    auto bmp = DecodeMemory(damaged);
    ASSERT_EQ(bmp->GetBitsPerPixel(), 8);
    for (uint32_t y : {0u, 5u, 11u, 13u, 29u})
        for (uint32_t x = 0; x < 40; ++x)
            EXPECT_EQ(bmp->GetPixelIndex(static_cast<int32_t>(x), static_cast<int32_t>(y)),
                      static_cast<uint8_t>(x * 3 + y * 17));
}

TEST(TIFFDecoder, RowsFailingInTheFirstThirdAreCorruptData) {
    std::vector<uint64_t> offsets;
    Bytes file = MakeStripTiff(40, 30, &offsets);
    for (int i = 0; i < 6; ++i) file[offsets[4] + i] = 0xFF;
    CHeapBitmap bmp;
    std::string text;
    EXPECT_EQ(CaughtCode([&] { CTIFFDecoder().MakeBmpFromMemory(file.data(), file.size(), bmp); }, &text),
              PLErr::CorruptData);
    EXPECT_EQ(text.rfind("Decoder error: ", 0), 0u);
}

TEST(TIFFDecoder, UnreadableDataIsCodeOne) {
    Bytes bad = {'I', 'I', 42, 0, 0xF0, 0xFF, 0xFF, 0x7F, 1, 2, 3};
    CHeapBitmap bmp;
    std::string text;
    EXPECT_EQ(CaughtCode([&] { CTIFFDecoder().MakeBmpFromMemory(bad.data(), bad.size(), bmp); }, &text),
              PLErr::WrongSignature);
    EXPECT_EQ(text.rfind("Decoder error: ", 0), 0u);
    EXPECT_EQ(text.find("\n\n"), std::string::npos);
}

TEST(TIFFDecoder, ColourMapsBelow256AreTakenAsBytes) {
    // An older writer stored 8-bit colours unscaled in the 16-bit map.
    CMemoryByteSink sink;
    ASSERT_EQ(sink.Open(1024), 0);
    std::exception_ptr failure;
    TIFF* tif = PLTiffOpenWrite(sink, &failure);
    ASSERT_NE(tif, nullptr);
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, 4u);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, 1u);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 1);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_PALETTE);
    std::vector<uint16_t> r(256), g(256), b(256);
    for (int i = 0; i < 256; ++i) {
        r[i] = static_cast<uint16_t>(i);
        g[i] = static_cast<uint16_t>(255 - i);
        b[i] = 7;
    }
    TIFFSetField(tif, TIFFTAG_COLORMAP, r.data(), g.data(), b.data());
    uint8_t row[4] = {0, 10, 200, 255};
    TIFFWriteScanline(tif, row, 0, 0);
    TIFFClose(tif);
    Bytes file(sink.GetData(), sink.GetData() + sink.GetPosition());
    auto bmp = DecodeMemory(file, 32);
    EXPECT_EQ(bmp->GetPixel(1, 0) & 0xFFFFFF, PLMakePixel(10, 245, 7) & 0xFFFFFF);
    EXPECT_EQ(bmp->GetPixel(2, 0) & 0xFFFFFF, PLMakePixel(200, 55, 7) & 0xFFFFFF);
}

TEST(TIFFDecoder, PreviewInsideAnEpsFile) {
    CHeapBitmap src;
    FillTestPicture(src, 23, 11);
    CTIFFEncoder e;
    Bytes eps = MakeEps(EncodeToMemory(e, src));
    auto bmp = DecodeMemory(eps);
    EXPECT_EQ(Compare(*bmp, src).maxColour, 0);
}

// ---- GIF ----

TEST(GIFDecoder, DataEndingInsideTheImageKeepsTheRowsRead) {
    Bytes file = ReadFile(DataPath("gif_basic.gif"));
    auto whole = DecodeMemory(file);
    Bytes cut(file.begin(), file.begin() + static_cast<long>(file.size() * 2 / 3));
    auto part = DecodeMemory(cut);
    ASSERT_EQ(part->GetWidth(), whole->GetWidth());
    for (int x = 0; x < part->GetWidth(); ++x) EXPECT_EQ(part->GetPixel(x, 0), whole->GetPixel(x, 0));
}

TEST(GIFDecoder, DataEndingInTheHeaderIsCodeEleven) {
    Bytes file = ReadFile(DataPath("gif_basic.gif"));
    Bytes cut(file.begin(), file.begin() + 9);
    CHeapBitmap bmp;
    EXPECT_EQ(CaughtCode([&] { CGIFDecoder().MakeBmpFromMemory(cut.data(), cut.size(), bmp); }), PLErr::EndOfFile);
}

TEST(GIFDecoder, NotAGifIsCodeOne) {
    Bytes bad = {'X', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0, 0, 0, 0, 0, 0};
    CHeapBitmap bmp;
    std::string text;
    EXPECT_EQ(CaughtCode([&] { CGIFDecoder().MakeBmpFromMemory(bad.data(), bad.size(), bmp); }, &text),
              PLErr::WrongSignature);
    EXPECT_NE(text.find("GIF-LIB error: "), std::string::npos) << text;
}

// A hand-made GIF: a screen of the given size, a global map of four colours (black, red, green,
// blue; background 3), and one image of indices at (left, top).
Bytes MakeGif(int screenWidth, int screenHeight, int left, int top, int width, int height,
              const std::vector<int>& indices) {
    auto le16 = [](Bytes& b, int v) {
        b.push_back(static_cast<uint8_t>(v & 0xFF));
        b.push_back(static_cast<uint8_t>((v >> 8) & 0xFF));
    };
    Bytes gif = {'G', 'I', 'F', '8', '9', 'a'};
    le16(gif, screenWidth);
    le16(gif, screenHeight);
    gif.insert(gif.end(), {0x81, 3, 0, 0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255, 0x2C});
    le16(gif, left);
    le16(gif, top);
    le16(gif, width);
    le16(gif, height);
    gif.push_back(0);
    // LZW data with a 2-bit minimum code size, built by hand: a clear code (4) before each
    // index keeps the table from growing, so every code has 3 bits; then the end code (5).
    // Packed least significant bit first.
    std::vector<int> codes;
    for (int index : indices) {
        codes.push_back(4);
        codes.push_back(index);
    }
    codes.push_back(5);
    uint32_t acc = 0;
    int bits = 0;
    Bytes data;
    for (int c : codes) {
        acc |= static_cast<uint32_t>(c) << bits;
        bits += 3;
        while (bits >= 8) {
            data.push_back(static_cast<uint8_t>(acc));
            acc >>= 8;
            bits -= 8;
        }
    }
    if (bits) data.push_back(static_cast<uint8_t>(acc));
    gif.push_back(2);
    for (size_t at = 0; at < data.size(); at += 255) {
        const size_t n = std::min<size_t>(255, data.size() - at);
        gif.push_back(static_cast<uint8_t>(n));
        gif.insert(gif.end(), data.begin() + static_cast<long>(at), data.begin() + static_cast<long>(at + n));
    }
    gif.push_back(0);
    gif.push_back(0x3B);
    return gif;
}

// An image that reaches past the screen's right edge is cut there.
TEST(GIFDecoder, ImagesReachingOutsideTheScreenAreCut) {
    auto bmp = DecodeMemory(MakeGif(4, 3, 2, 1, 4, 1, {1, 1, 2, 2}));
    ASSERT_EQ(bmp->GetWidth(), 4);
    ASSERT_EQ(bmp->GetHeight(), 3);
    EXPECT_EQ(bmp->GetPixelIndex(1, 1), 3);  // background
    EXPECT_EQ(bmp->GetPixelIndex(2, 1), 1);
    EXPECT_EQ(bmp->GetPixelIndex(3, 1), 1);
    EXPECT_EQ(bmp->GetPixelIndex(0, 0), 3);
}

// The logical screen is made only when the data can fill it: a file of a few dozen bytes may
// not ask for a picture of millions of pixels. Screens up to 1024 x 1024 stay free, since a
// small image may sit on a wider background; a screen of no size takes its image's.
TEST(GIFDecoder, ScreenSizeIsCheckedAgainstTheData) {
    const struct {
        int screenWidth, screenHeight;
        int code;  // 0: decodes
    } kCases[] = {
        {8000, 8000, PLErr::EndOfFile},
        {60000, 60000, PLErr::NoMemory},  // above the decoder limit, checked first
        {2049, 1024, PLErr::EndOfFile},
        {1024, 1024, 0},
        {3, 2, 0},
        {0, 0, 0},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(std::to_string(c.screenWidth) + " x " + std::to_string(c.screenHeight));
        Bytes gif = MakeGif(c.screenWidth, c.screenHeight, 1, 1, 2, 1, {1, 2});
        for (int wanted : {0, 32}) {
            CHeapBitmap bmp;
            int code = CaughtCode([&] { CGIFDecoder().MakeBmpFromMemory(gif.data(), gif.size(), bmp, wanted); });
            EXPECT_EQ(code, c.code) << "wanted " << wanted;
            if (c.code != 0 || code != 0) continue;
            EXPECT_EQ(bmp.GetWidth(), c.screenWidth ? c.screenWidth : 3);
            EXPECT_EQ(bmp.GetPixel(1, 1), PLMakePixel(255, 0, 0, 255));
            EXPECT_EQ(bmp.GetPixel(2, 1), PLMakePixel(0, 255, 0, 255));
        }
    }
}

// The decoder limit holds for the depth asked for.
TEST(GIFDecoder, ScreenAboveTheDecoderLimitIsRefused) {
    Bytes gif = MakeGif(300, 300, 0, 0, 2, 1, {1, 2});
    const uint64_t saved = CImageDecoder::GetMaxPixelBytes();
    CImageDecoder::SetMaxPixelBytes(300 * 300);
    CHeapBitmap bmp;
    const int asIndices = CaughtCode([&] { CGIFDecoder().MakeBmpFromMemory(gif.data(), gif.size(), bmp, 0); });
    const int as32 = CaughtCode([&] { CGIFDecoder().MakeBmpFromMemory(gif.data(), gif.size(), bmp, 32); });
    CImageDecoder::SetMaxPixelBytes(saved);
    EXPECT_EQ(asIndices, 0);
    EXPECT_EQ(as32, PLErr::NoMemory);
}

}  // namespace
