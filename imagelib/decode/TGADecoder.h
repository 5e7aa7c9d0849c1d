#pragma once

// CTGADecoder: TGA (Truevision) files: colour-mapped, true-colour and grey, raw and run-length coded,
// 8, 15, 16, 24 and 32 bits per pixel.

#include "decode/ImageDecoder.h"

class CTGADecoder : public CImageDecoder {
public:
    CTGADecoder();
    ~CTGADecoder() override;

protected:
    void DoDecode(CDibBitmap& bitmap, PLPaletteBlock& palette, int& wantedDepth, CByteSource& source) override;
};
