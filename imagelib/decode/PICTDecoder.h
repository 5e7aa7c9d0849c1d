#pragma once

// CPICTDecoder: Macintosh PICT files, version 1 and 2. It walks the opcodes (skipping vector
// drawing, comments, patterns, polygons and regions) up to the first bitmap opcode and decodes
// that bitmap: 1-bit version-1 bitmaps, indexed pixel maps of 1, 2, 4 or 8 bits with their
// colour table, direct pixel maps of 16 and 32 bits, PackBits-compressed or not. A JPEG inside
// compressed QuickTime data goes to the JPEG decoder given at construction. A picture of vector
// drawing only throws "PICT contained only vector data!\n" (code 6).

#include "decode/ImageDecoder.h"

class CPICTDecoder : public CImageDecoder {
public:
    // jpegDecoder (may be null: such pictures then throw code 6) is owned by the caller.
    explicit CPICTDecoder(CImageDecoder* jpegDecoder = nullptr);
    ~CPICTDecoder() override;

protected:
    void DoDecode(CDibBitmap& bitmap, PLPaletteBlock& palette, int& wantedDepth, CByteSource& source) override;

private:
    CImageDecoder* m_jpegDecoder;
};
