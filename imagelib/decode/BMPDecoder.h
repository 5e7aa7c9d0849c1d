#pragma once

// CBMPDecoder: Windows bitmaps: 1, 4, 8, 16, 24 and 32 bits per pixel, RLE4 and RLE8, 16 and 32-bit
// colour masks.

#include "decode/ImageDecoder.h"

class CBMPDecoder : public CImageDecoder {
public:
    CBMPDecoder();
    ~CBMPDecoder() override;

protected:
    void DoDecode(CDibBitmap& bitmap, PLPaletteBlock& palette, int& wantedDepth, CByteSource& source) override;
};
