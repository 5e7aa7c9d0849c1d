#pragma once

// CGIFDecoder: GIF through giflib. The picture is the logical screen as an 8-bit bitmap,
// filled with the background colour index, with every image of the file drawn into its
// rectangle in turn (interlaced images in their four passes; pixels of an image's transparent
// colour leave what is below; parts of an image outside the screen are cut off). The colour
// table is the images' colour map (local, else global). When a later image brings a colour map
// of its own that differs from the first image's, one table cannot hold the picture and it
// becomes a 32-bit bitmap. With a 32-bit wish the result is always 32 bits.
//
// Errors: "Decoder error: GIF-LIB error: <giflib's text>.\n" with code 1 (not a GIF), 10 (out
// of memory) or 7 (damaged data); data that end before any row of an image was read throw
// code 11. Data that end in the middle of an image keep the rows read so far.

#include "decode/ImageDecoder.h"

class CGIFDecoder : public CImageDecoder {
public:
    CGIFDecoder();
    ~CGIFDecoder() override;

protected:
    void DoDecode(CDibBitmap& bitmap, PLPaletteBlock& palette, int& wantedDepth, CByteSource& source) override;
};
