#pragma once

// CJPEGDecoder: JPEG through libjpeg. Grey images become 8-bit bitmaps with the grey ramp (or
// 32 bits when wanted); colour images (YCbCr, RGB, and CMYK/YCCK as Adobe writes them) become
// 32-bit bitmaps without alpha. Data that end early still decode: the missing rest reads as
// an end-of-image marker and libjpeg completes the picture. Library errors throw
// "Decoder error: <libjpeg's message>\n" with code 6.

#include <memory>

#include "decode/ImageDecoder.h"

class CJPEGDecoder : public CImageDecoder {
public:
    // fastUpsampling: trade the smoothing of subsampled colour for speed (libjpeg's fancy
    // upsampling off).
    explicit CJPEGDecoder(bool fastUpsampling = true);
    ~CJPEGDecoder() override;

    void SetFastUpsampling(bool fast) { m_fastUpsampling = fast; }
    bool GetFastUpsampling() const { return m_fastUpsampling; }

    // Progressive files with more scans than this are refused as corrupt (each scan costs a
    // pass over the whole picture).
    static constexpr int MaxScans = 1000;

protected:
    void DoDecode(CDibBitmap& bitmap, PLPaletteBlock& palette, int& wantedDepth, CByteSource& source) override;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;  // the library's decompression object and its error manager
    bool m_fastUpsampling;
};
