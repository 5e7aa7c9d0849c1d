#pragma once

// CPGMDecoder: PGM (portable grey map) files, text (P2) and binary (P5). Produces an 8-bit grey bitmap
// unless 32 bits are wanted.

#include "decode/ImageDecoder.h"

class CPGMDecoder : public CImageDecoder {
public:
    CPGMDecoder();
    ~CPGMDecoder() override;

protected:
    void DoDecode(CDibBitmap& bitmap, PLPaletteBlock& palette, int& wantedDepth, CByteSource& source) override;
};
