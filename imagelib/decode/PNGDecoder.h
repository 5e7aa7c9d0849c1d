#pragma once

// CPNGDecoder: PNG through libpng, every colour type and bit depth.
//  - grey: 8 bits with a grey ramp of 2^depth entries (256 for 16-bit files), or 32 bits when
//    wanted;
//  - palette: 8 bits with the PLTE colours, or 32 bits when wanted;
//  - RGB: 32 bits; grey with alpha and RGBA: 32 bits with alpha.
// 16-bit samples are reduced to 8 bits; samples of fewer bits take one byte per pixel.
// Interlaced files are read in all their passes. libpng errors throw
// "Decoder error: <libpng's message>\n" with code 2; data ending early throw code 11.

#include "decode/ImageDecoder.h"

class CPNGDecoder : public CImageDecoder {
public:
    CPNGDecoder();
    ~CPNGDecoder() override;

protected:
    void DoDecode(CDibBitmap& bitmap, PLPaletteBlock& palette, int& wantedDepth, CByteSource& source) override;
};
