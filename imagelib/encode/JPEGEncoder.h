#pragma once

#include <cstdint>
#include <memory>

#include "encode/ImageEncoder.h"

// JFIF JPEG through libjpeg. Takes 32-bit bitmaps (others are converted to 32 bits first).
// The settings are read at each encode: quality 0..100 (0 keeps the library's default quality,
// any other value uses baseline-compatible tables), optimised Huffman coding, smoothing 0..100,
// and a density in dots per inch (written only when one of the two values is non-zero).
// Library errors throw the library's message with a line feed, code 6.
class CJPEGEncoder : public CImageEncoder {
public:
    CJPEGEncoder();
    ~CJPEGEncoder() override;

    void SetQuality(int quality);
    void SetOptimizeCoding(bool optimize);
    void SetSmoothingFactor(int smoothing);
    void SetDensity(uint16_t dpiX, uint16_t dpiY);

    int GetQuality() const { return m_quality; }
    bool GetOptimizeCoding() const { return m_optimizeCoding; }
    int GetSmoothingFactor() const { return m_smoothingFactor; }
    uint16_t GetDensityX() const { return m_densityX; }
    uint16_t GetDensityY() const { return m_densityY; }

protected:
    void DoEncode(const CDibBitmap& bitmap, CByteSink& sink) override;

private:
    struct Impl;

    int m_quality = 95;
    bool m_optimizeCoding = false;
    int m_smoothingFactor = 0;
    uint16_t m_densityX = 0;
    uint16_t m_densityY = 0;
    std::unique_ptr<Impl> m_impl;  // the library's compression object and its error manager
};
