#pragma once

// Helpers shared by the encoder and codec tests: test pictures, encoding to memory, decoding
// back, reading the fixture files and comparing pixels.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <dirent.h>
#include <sys/stat.h>
#ifdef _WIN32
#include <direct.h>
#endif

#include "DibBitmap.h"
#include "FileTestUtil.h"
#include "PackedDibBitmap.h"
#include "decode/AutoDecoder.h"
#include "encode/ByteSink.h"
#include "encode/ImageEncoder.h"

#ifndef LUMATRE_CODEC_TESTDATA
#define LUMATRE_CODEC_TESTDATA "data"
#endif

namespace codectest {

using Bytes = std::vector<uint8_t>;

inline std::string DataPath(const std::string& name) { return std::string(LUMATRE_CODEC_TESTDATA) + "/" + name; }

inline Bytes ReadFile(const std::string& path) { return ReadFileBytes(path); }

inline bool WriteFile(const std::string& path, const Bytes& data) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = data.empty() || std::fwrite(data.data(), 1, data.size(), f) == data.size();
    return std::fclose(f) == 0 && ok;
}

inline bool FileExists(const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    std::fclose(f);
    return true;
}

// The names in a folder, without "." and "..".
inline std::vector<std::string> ListFolder(const std::string& folder) {
    std::vector<std::string> names;
    if (DIR* dir = opendir(folder.c_str())) {
        while (dirent* entry = readdir(dir)) {
            std::string name = entry->d_name;
            if (name != "." && name != "..") names.push_back(name);
        }
        closedir(dir);
    }
    return names;
}

// A 32-bit picture with smooth ramps, hard edges and pure white and black areas. With alpha,
// the alpha byte runs from 0 to 255 across the rows.
inline void FillTestPicture(CDibBitmap& bmp, int32_t width, int32_t height, bool alpha = false) {
    bmp.Create(width, height, 32, alpha);
    for (int32_t y = 0; y < height; ++y) {
        uint8_t* row = bmp.GetLine(y);
        for (int32_t x = 0; x < width; ++x) {
            uint8_t r = static_cast<uint8_t>(width > 1 ? x * 255 / (width - 1) : 0);
            uint8_t g = static_cast<uint8_t>(height > 1 ? y * 255 / (height - 1) : 0);
            uint8_t b = static_cast<uint8_t>((x + y) * 16);
            if (x < width / 4 && y < height / 4) r = g = b = 255;            // white block
            if (x >= width * 3 / 4 && y >= height * 3 / 4) r = g = b = 0;    // black block
            uint8_t a = alpha ? static_cast<uint8_t>(height > 1 ? y * 255 / (height - 1) : 128) : 255;
            row[4 * x + 0] = b;
            row[4 * x + 1] = g;
            row[4 * x + 2] = r;
            row[4 * x + 3] = a;
        }
    }
}

// A photo-like picture for lossy formats: smooth colour ramps and two hard-edged blocks of
// white and black (chroma subsampling cannot keep colour that changes from pixel to pixel).
inline void FillSmoothPicture(CDibBitmap& bmp, int32_t width, int32_t height) {
    bmp.Create(width, height, 32, false);
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x) {
            int r = width > 1 ? x * 255 / (width - 1) : 128;
            int g = height > 1 ? y * 255 / (height - 1) : 128;
            int b = (r + 255 - g) / 2;
            if (x < width / 4 && y < height / 4) r = g = b = 255;
            if (x >= width * 3 / 4 && y >= height * 3 / 4) r = g = b = 0;
            bmp.SetPixel(x, y, PLMakePixel(static_cast<uint8_t>(r), static_cast<uint8_t>(g), static_cast<uint8_t>(b)));
        }
}

// A picture of few colours (at most `colors`, at most 256), like a screenshot.
inline void FillFewColours(CDibBitmap& bmp, int32_t width, int32_t height, int colors) {
    bmp.Create(width, height, 32, false);
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x) {
            int i = ((x / 3) + (y / 2) * 7) % colors;
            PLPixel32 c = PLMakePixel(static_cast<uint8_t>(i * 37), static_cast<uint8_t>(255 - i),
                                      static_cast<uint8_t>(i * 91 + 13));
            if (i == 0) c = PLMakePixel(255, 255, 255);
            std::memcpy(bmp.GetLine(y) + 4 * x, &c, 4);
        }
}

// An 8-bit picture with a colourful palette, and a 1-bit one with the given two colours.
inline void FillIndexed(CDibBitmap& bmp, int32_t width, int32_t height, uint16_t depth) {
    bmp.Create(width, height, depth, false);
    PLRGBQuad* pal = bmp.GetColorTable();
    const int count = 1 << depth;
    for (int i = 0; i < count; ++i)
        pal[i] = PLRGBQuad{static_cast<uint8_t>(i * 7), static_cast<uint8_t>(255 - i),
                           static_cast<uint8_t>((i * 73) & 0xFF), 255};
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x) bmp.SetPixelIndex(x, y, static_cast<uint8_t>((x * 5 + y * 11) % count));
}

inline void FillBilevel(CDibBitmap& bmp, int32_t width, int32_t height, PLRGBQuad zero, PLRGBQuad one) {
    bmp.Create(width, height, 1, false);
    bmp.GetColorTable()[0] = zero;
    bmp.GetColorTable()[1] = one;
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x) bmp.SetPixelIndex(x, y, static_cast<uint8_t>(((x / 2) ^ y) & 1));
}

inline Bytes EncodeToMemory(CImageEncoder& encoder, const CDibBitmap& bmp) {
    CMemoryByteSink sink;
    EXPECT_EQ(sink.Open(1024), 0);
    encoder.SaveBmp(bmp, sink);
    return Bytes(sink.GetData(), sink.GetData() + sink.GetPosition());
}

template <class Kind = CHeapBitmap>
inline std::unique_ptr<Kind> DecodeMemory(const Bytes& data, int wantedDepth = 0) {
    auto bmp = std::make_unique<Kind>();
    CAutoDecoder decoder;
    decoder.MakeBmpFromMemory(data.data(), data.size(), *bmp, wantedDepth);
    return bmp;
}

// The code of the exception that fn throws (0 when none); its text goes to *text.
template <class Fn>
int CaughtCode(Fn fn, std::string* text = nullptr) {
    try {
        fn();
    } catch (const CTextException& e) {
        if (text) *text = e.GetText();
        return e.GetCode();
    }
    return 0;
}

// The colour of a pixel of any depth as 0xAARRGGBB (indexed pixels through the colour table).
inline PLPixel32 ColourAt(const CDibBitmap& bmp, int32_t x, int32_t y) { return bmp.GetPixel(x, y); }

struct Difference {
    int maxColour = 0;   // largest difference of red, green or blue
    double meanColour = 0;
    int maxAlpha = 0;
    int64_t pixels = 0;
};

// Compares the colours of two bitmaps of the same size and any depths.
inline Difference Compare(const CDibBitmap& a, const CDibBitmap& b, bool withAlpha = false) {
    Difference d;
    EXPECT_EQ(a.GetWidth(), b.GetWidth());
    EXPECT_EQ(a.GetHeight(), b.GetHeight());
    if (a.GetWidth() != b.GetWidth() || a.GetHeight() != b.GetHeight()) {
        d.maxColour = 1000;
        return d;
    }
    int64_t sum = 0;
    for (int32_t y = 0; y < a.GetHeight(); ++y)
        for (int32_t x = 0; x < a.GetWidth(); ++x) {
            PLPixel32 p = ColourAt(a, x, y), q = ColourAt(b, x, y);
            for (int shift = 0; shift < 24; shift += 8) {
                int diff = std::abs(static_cast<int>((p >> shift) & 0xFF) - static_cast<int>((q >> shift) & 0xFF));
                d.maxColour = std::max(d.maxColour, diff);
                sum += diff;
            }
            if (withAlpha) d.maxAlpha = std::max(d.maxAlpha, std::abs(static_cast<int>(p >> 24) - static_cast<int>(q >> 24)));
            ++d.pixels;
        }
    d.meanColour = d.pixels ? static_cast<double>(sum) / (3.0 * d.pixels) : 0;
    return d;
}

// Compares a bitmap with a raw 8-bit RGBA reference. Colours of pixels with alpha below 255 are
// compared with a tolerance that grows as alpha falls (a premultiplied step loses precision
// there); pixels the reference holds fully transparent are skipped when skipTransparent is set.
inline Difference CompareWithRgba(const CDibBitmap& bmp, const Bytes& rgba, bool withAlpha,
                                  bool skipTransparent = false) {
    Difference d;
    const size_t expected = static_cast<size_t>(bmp.GetWidth()) * bmp.GetHeight() * 4;
    EXPECT_EQ(rgba.size(), expected);
    if (rgba.size() != expected) {
        d.maxColour = 1000;
        return d;
    }
    int64_t sum = 0;
    const uint8_t* ref = rgba.data();
    for (int32_t y = 0; y < bmp.GetHeight(); ++y)
        for (int32_t x = 0; x < bmp.GetWidth(); ++x, ref += 4) {
            if (skipTransparent && ref[3] == 0) continue;
            PLPixel32 p = ColourAt(bmp, x, y);
            int got[3] = {PLPixelRed(p), PLPixelGreen(p), PLPixelBlue(p)};
            int slack = (withAlpha && ref[3] > 0 && ref[3] < 255) ? 255 / ref[3] + 1 : 0;
            for (int c = 0; c < 3; ++c) {
                int diff = std::abs(got[c] - ref[c]);
                if (withAlpha && ref[3] == 0) diff = 0;  // no colour to speak of
                diff = std::max(0, diff - slack);
                d.maxColour = std::max(d.maxColour, diff);
                sum += diff;
            }
            if (withAlpha) d.maxAlpha = std::max(d.maxAlpha, std::abs(static_cast<int>(PLPixelAlpha(p)) - ref[3]));
            ++d.pixels;
        }
    d.meanColour = d.pixels ? static_cast<double>(sum) / (3.0 * d.pixels) : 0;
    return d;
}

// A fresh, empty folder of its own for one test, under the working directory.
inline std::string ScratchFolder(const std::string& name) {
    std::string folder = "scratch_" + name;
#ifdef _WIN32
    _mkdir(folder.c_str());
#else
    ::mkdir(folder.c_str(), 0777);
#endif
    for (const std::string& entry : ListFolder(folder)) std::remove((folder + "/" + entry).c_str());
    return folder;
}

}  // namespace codectest
