#pragma once

// Helpers shared by the filter tests: deterministic pictures, progress recorders and pixel
// comparisons.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "DibBitmap.h"
#include "PackedDibBitmap.h"
#include "PixelConvert.h"

// A small deterministic random source (xorshift).
class CTestRandom {
public:
    explicit CTestRandom(uint32_t seed) : m_state(seed ? seed : 1) {}
    uint32_t Next() {
        m_state ^= m_state << 13;
        m_state ^= m_state >> 17;
        m_state ^= m_state << 5;
        return m_state;
    }
    int Below(int n) { return static_cast<int>(Next() % static_cast<uint32_t>(n)); }

private:
    uint32_t m_state;
};

// A 32-bit picture of random pixels (all four bytes random).
inline void FillRandom(CDibBitmap& bitmap, int32_t width, int32_t height, uint32_t seed, bool alpha = false) {
    bitmap.Create(width, height, 32, alpha);
    CTestRandom random(seed);
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x) PLStorePixel(bitmap.GetLine(y) + 4 * x, random.Next());
}

// A 32-bit picture whose pixel (x, y) encodes its coordinates, so that moved pixels can be
// traced back: blue = x, green = y, red = x + y, alpha = 0xA5.
inline PLPixel32 CoordPixel(int32_t x, int32_t y) {
    return PLMakePixel(static_cast<uint8_t>(x + y), static_cast<uint8_t>(y), static_cast<uint8_t>(x), 0xA5);
}

inline void FillCoords(CDibBitmap& bitmap, int32_t width, int32_t height) {
    bitmap.Create(width, height, 32, false);
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x) PLStorePixel(bitmap.GetLine(y) + 4 * x, CoordPixel(x, y));
}

inline PLPixel32 Pixel32(const CDibBitmap& bitmap, int32_t x, int32_t y) { return PLLoadPixel(bitmap.GetLine(y) + 4 * x); }

inline void SetPixel32(CDibBitmap& bitmap, int32_t x, int32_t y, PLPixel32 p) { PLStorePixel(bitmap.GetLine(y) + 4 * x, p); }

// Same geometry, depth and pixel bytes (the bytes that carry pixels, not the row padding).
inline ::testing::AssertionResult SamePixels(const CDibBitmap& a, const CDibBitmap& b) {
    if (a.GetWidth() != b.GetWidth() || a.GetHeight() != b.GetHeight() || a.GetBitsPerPixel() != b.GetBitsPerPixel())
        return ::testing::AssertionFailure() << "geometry " << a.GetWidth() << "x" << a.GetHeight() << "x"
                                             << a.GetBitsPerPixel() << " vs " << b.GetWidth() << "x" << b.GetHeight()
                                             << "x" << b.GetBitsPerPixel();
    const int32_t bytes = a.GetPixelBytesPerLine();
    for (int32_t y = 0; y < a.GetHeight(); ++y)
        for (int32_t i = 0; i < bytes; ++i)
            if (a.GetLine(y)[i] != b.GetLine(y)[i])
                return ::testing::AssertionFailure() << "row " << y << " byte " << i << ": " << int(a.GetLine(y)[i])
                                                     << " vs " << int(b.GetLine(y)[i]);
    return ::testing::AssertionSuccess();
}

// Records every progress report.
class CRecordingSink : public CProgressSink {
public:
    void OnProgress(double done) override { values.push_back(done); }
    std::vector<double> values;

    bool IsMonotonic() const {
        for (size_t i = 1; i < values.size(); ++i)
            if (values[i] < values[i - 1]) return false;
        return true;
    }
};
