#pragma once

// CPNGDecoder: PNG through libpng, every colour type and bit depth.
//  - grey: 8 bits with a grey ramp of 2^depth entries (256 for 16-bit files), or 32 bits when
//    wanted;
//  - palette: 8 bits with the PLTE colours, or 32 bits when wanted;
//  - RGB: 32 bits; grey with alpha and RGBA: 32 bits with alpha.
// 16-bit samples are reduced to 8 bits; samples of fewer bits take one byte per pixel.
// Interlaced files are read in all their passes. libpng errors throw
// "Decoder error: <libpng's message>\n" with code 2; data ending early throw code 11.
// The image data of 8-bit, non-interlaced grey, palette, RGB and RGBA files is read by
// CPngInflateReader in one go instead (the same pixels, several times faster); whatever it does
// not vouch for is read through libpng from the start.

#include "decode/ImageDecoder.h"

class CPNGDecoder : public CImageDecoder {
public:
    CPNGDecoder();
    ~CPNGDecoder() override;

    // Whether the whole-stream reader is used (tests compare it with libpng). Returns the
    // previous setting.
    static bool UseInflateReader(bool wanted);

protected:
    void DoDecode(CDibBitmap& bitmap, PLPaletteBlock& palette, int& wantedDepth, CByteSource& source) override;

private:
    // One decode; false when the whole-stream reader gave up after libpng read the header.
    static bool Decode(CDibBitmap& bitmap, PLPaletteBlock& palette, int& wantedDepth, CByteSource& source,
                       bool tryInflateReader);
};
