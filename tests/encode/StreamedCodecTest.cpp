// The file sink's window (files larger than it come out byte for byte as from memory, writes and
// reads behind it reach the file), the PNG filter rows (every row unfilters to the picture) and
// the TIFF decoder's direct RGB rows (only for the layouts they fit).

#include <gtest/gtest.h>

#include "CodecTestUtil.h"
#include "encode/EncoderChoice.h"
#include "encode/FileByteSink.h"
#include "encode/PngDeflateWriter.h"
#include "encode/TIFFMemClient.h"

using namespace codectest;

namespace {

TEST(FileSinkWindow, WritesAndReadsBehindTheWindowReachTheFile) {
    const std::string path = ScratchFolder("window") + "/data.bin";
    const size_t size = CFileByteSink::WindowBytes * 2 + 12345;
    Bytes expected(size);
    for (size_t i = 0; i < size; ++i) expected[i] = static_cast<uint8_t>(i * 31 + (i >> 9));
    CFileByteSink sink;
    ASSERT_EQ(sink.Open(path.c_str(), 100), 0);
    for (size_t i = 0; i < size; i += 1000) sink.WriteNBytes(std::min<size_t>(1000, size - i), expected.data() + i);
    EXPECT_GT(sink.GetDataOffset(), 0u);  // the front went to the file
    // Overwrite bytes on both sides of the window's start, and read them back.
    const size_t at = sink.GetDataOffset() - 3;
    sink.WriteAt(at, 6, "ABCDEF");
    std::memcpy(expected.data() + at, "ABCDEF", 6);
    sink.WriteAt(5, 2, "xy");
    std::memcpy(expected.data() + 5, "xy", 2);
    char back[8] = {};
    EXPECT_EQ(sink.ReadAt(at - 1, 8, back), 8u);
    EXPECT_EQ(0, std::memcmp(back, expected.data() + at - 1, 8));
    EXPECT_EQ(sink.ReadAt(size - 2, 8, back), 2u);
    // A block larger than the window, then a gap that is filled with zeros.
    Bytes large(CFileByteSink::WindowBytes + 7, 0x5A);
    sink.WriteNBytes(large.size(), large.data());
    expected.insert(expected.end(), large.begin(), large.end());
    sink.WriteAt(expected.size() + 4, 1, "z");
    expected.insert(expected.end(), {0, 0, 0, 0, 'z'});
    EXPECT_EQ(sink.GetPosition(), expected.size());
    sink.Close();
    EXPECT_EQ(ReadFile(path), expected);
}

// Larger than the window in every format: the file is the memory encoding, byte for byte.
TEST(FileSinkWindow, LargeFilesMatchTheirMemoryEncoding) {
    const std::string folder = ScratchFolder("window-formats");
    CHeapBitmap picture;
    FillTestPicture(picture, 613, 301);
    CHeapBitmap indexed;
    FillIndexed(indexed, 1031, 517, 8);
    for (PLImageType type : {PLImageBMP, PLImageTIFF, PLImagePNG, PLImageJPEG}) {
        for (const CDibBitmap* bmp : {static_cast<const CDibBitmap*>(&picture), static_cast<const CDibBitmap*>(&indexed)}) {
            const std::string path = folder + "/pic" + PLImageTypeExtension(type);
            auto encoder = PLCreateEncoder(type);
            encoder->MakeFileFromBmp(path.c_str(), *bmp);
            auto memoryEncoder = PLCreateEncoder(type);
            const Bytes inMemory = EncodeToMemory(*memoryEncoder, *bmp);
            SCOPED_TRACE(path + " " + std::to_string(bmp->GetBitsPerPixel()));
            EXPECT_EQ(ReadFile(path), inMemory);
            if (type != PLImageJPEG) {
                EXPECT_EQ(Compare(*DecodeMemory(inMemory), *bmp).maxColour, 0);
            }
        }
    }
}

// Undoes the PNG filters the way a decoder does.
Bytes Unfilter(const Bytes& filtered, size_t rowBytes, size_t bpp, uint32_t height) {
    Bytes raw(rowBytes * height);
    for (uint32_t y = 0; y < height; ++y) {
        const uint8_t type = filtered[y * (rowBytes + 1)];
        const uint8_t* in = &filtered[y * (rowBytes + 1) + 1];
        uint8_t* out = &raw[y * rowBytes];
        const uint8_t* prior = y ? &raw[(y - 1) * rowBytes] : nullptr;
        for (size_t i = 0; i < rowBytes; ++i) {
            const int a = i >= bpp ? out[i - bpp] : 0, b = prior ? prior[i] : 0,
                      c = prior && i >= bpp ? prior[i - bpp] : 0;
            int predicted = 0;
            switch (type) {
            case 1: predicted = a; break;
            case 2: predicted = b; break;
            case 3: predicted = (a + b) / 2; break;
            case 4: {
                const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
                predicted = pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
                break;
            }
            default: EXPECT_EQ(type, 0); break;
            }
            out[i] = static_cast<uint8_t>(in[i] + predicted);
        }
    }
    return raw;
}

TEST(PngFilterRows, EveryRowUnfiltersToThePicture) {
    const struct {
        uint16_t depth;
        bool alpha;
        uint8_t colorType;
        size_t bpp;
    } kinds[] = {{32, false, 2, 3}, {32, true, 6, 4}, {8, false, 3, 1}, {1, false, 0, 1}, {4, false, 3, 1}};
    for (const auto& k : kinds) {
        for (int32_t w : {1, 2, 5, 31}) {
            for (int32_t h : {1, 4}) {
                CHeapBitmap bmp;
                if (k.depth == 32)
                    FillTestPicture(bmp, w, h, k.alpha);
                else if (k.depth == 1)
                    FillBilevel(bmp, w, h, PLRGBQuad{0, 0, 0, 255}, PLRGBQuad{255, 255, 255, 255});
                else
                    FillIndexed(bmp, w, h, k.depth);
                PLPngImage image;
                image.width = static_cast<uint32_t>(w);
                image.height = static_cast<uint32_t>(h);
                image.bitDepth = static_cast<uint8_t>(k.depth == 32 ? 8 : k.depth);
                image.colorType = k.colorType;
                image.rows = bmp.GetLineArray();
                const size_t rowBytes = PLPngRowBytes(image);
                Bytes filtered((rowBytes + 1) * static_cast<size_t>(h));
                PLPngFilterRows(image, filtered.data());
                const Bytes raw = Unfilter(filtered, rowBytes, k.bpp, image.height);
                SCOPED_TRACE(std::to_string(k.depth) + " bits " + std::to_string(w) + "x" + std::to_string(h));
                for (int32_t y = 0; y < h; ++y) {
                    if (k.colorType != 2 && k.colorType != 6) {
                        EXPECT_EQ(filtered[y * (rowBytes + 1)], 0);
                    }
                    for (int32_t x = 0; x < w; ++x) {
                        if (k.depth == 32) {
                            const uint8_t* p = &raw[y * rowBytes + x * k.bpp];
                            const PLPixel32 c = bmp.GetPixel(x, y);
                            EXPECT_EQ(p[0], PLPixelRed(c));
                            EXPECT_EQ(p[1], PLPixelGreen(c));
                            EXPECT_EQ(p[2], PLPixelBlue(c));
                            if (k.alpha) {
                                EXPECT_EQ(p[3], static_cast<uint8_t>(c >> 24));
                            }
                        } else {
                            const size_t bit = static_cast<size_t>(x) * k.depth;
                            const unsigned v = (raw[y * rowBytes + bit / 8] >> (8 - k.depth - bit % 8)) & ((1u << k.depth) - 1);
                            EXPECT_EQ(v, bmp.GetPixelIndex(x, y));
                        }
                    }
                }
            }
        }
    }
}

// An RGB TIFF of 5 x 3 pixels whose colour tells the row; LZW-compressed with the horizontal
// predictor or not, and with the given orientation.
Bytes MakeRgbTiff(uint16_t orientation, bool lzw) {
    CMemoryByteSink sink;
    EXPECT_EQ(sink.Open(256), 0);
    std::exception_ptr failure;
    TIFF* tif = PLTiffOpenWrite(sink, &failure);
    EXPECT_NE(tif, nullptr);
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, 5);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, 3);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 3);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tif, TIFFTAG_ORIENTATION, orientation);
    if (lzw) {
        TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_LZW);
        TIFFSetField(tif, TIFFTAG_PREDICTOR, 2);
    }
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, 2);
    uint8_t row[15];
    for (uint32_t y = 0; y < 3; ++y) {
        for (int x = 0; x < 5; ++x) {
            row[3 * x] = static_cast<uint8_t>(10 + 100 * y);  // red: the row
            row[3 * x + 1] = static_cast<uint8_t>(x * 50);    // green: the column
            row[3 * x + 2] = 7;
        }
        TIFFWriteScanline(tif, row, y, 0);
    }
    TIFFClose(tif);
    return Bytes(sink.GetData(), sink.GetData() + sink.GetPosition());
}

TEST(TiffRgbRows, OrientationAndCompressionAreHonoured) {
    const struct {
        uint16_t orientation;
        bool lzw;
        bool flipped;
    } cases[] = {{ORIENTATION_TOPLEFT, false, false}, {ORIENTATION_TOPLEFT, true, false},
                 {ORIENTATION_BOTLEFT, false, true}, {ORIENTATION_BOTLEFT, true, true}};
    for (const auto& c : cases) {
        auto bmp = DecodeMemory(MakeRgbTiff(c.orientation, c.lzw));
        SCOPED_TRACE(std::to_string(c.orientation) + (c.lzw ? " lzw" : " raw"));
        ASSERT_EQ(bmp->GetBitsPerPixel(), 32);
        EXPECT_FALSE(bmp->HasAlpha());
        for (int32_t y = 0; y < 3; ++y)
            for (int32_t x = 0; x < 5; ++x) {
                const int fileRow = c.flipped ? 2 - y : y;
                EXPECT_EQ(bmp->GetPixel(x, y), PLMakePixel(static_cast<uint8_t>(10 + 100 * fileRow),
                                                           static_cast<uint8_t>(x * 50), 7, 255));
            }
    }
}

TEST(TiffRgbRows, ADamagedStripIsAnError) {
    Bytes file = MakeRgbTiff(ORIENTATION_TOPLEFT, true);
    // The first strip's LZW data start right after the 8-byte header.
    for (size_t i = 8; i < 14; ++i) file[i] = 0xFF;
    std::string text;
    EXPECT_NE(CaughtCode([&] { DecodeMemory(file); }, &text), 0);
    EXPECT_FALSE(text.empty());
}

}  // namespace
