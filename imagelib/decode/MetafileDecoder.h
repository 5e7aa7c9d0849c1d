#pragma once

// CMetafileDecoder (Windows only): Windows metafiles (WMF, also with the placeable header) and
// enhanced metafiles (EMF), rendered through GDI onto a white bitmap of the picture's size.
// Which of the two a source holds is told by its name: one containing ".EMF" is enhanced.

#include "decode/ImageDecoder.h"

class CMetafileDecoder : public CImageDecoder {
public:
    CMetafileDecoder();
    ~CMetafileDecoder() override;

protected:
    void DoDecode(CDibBitmap& bitmap, PLPaletteBlock& palette, int& wantedDepth, CByteSource& source) override;
};
