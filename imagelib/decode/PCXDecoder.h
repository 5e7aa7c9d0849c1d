#pragma once

// CPCXDecoder: PCX files: 1 bit with up to 4 planes; 2, 4 or 8 bits with 1 or 3 planes. Always produces
// a 32-bit bitmap.

#include "decode/ImageDecoder.h"

class CPCXDecoder : public CImageDecoder {
public:
    CPCXDecoder();
    ~CPCXDecoder() override;

protected:
    void DoDecode(CDibBitmap& bitmap, PLPaletteBlock& palette, int& wantedDepth, CByteSource& source) override;
};
