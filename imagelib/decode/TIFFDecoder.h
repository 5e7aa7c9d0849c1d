#pragma once

// CTIFFDecoder: TIFF (also the TIFF preview of an EPS file, which the auto decoder hands over
// positioned at the preview) through libtiff, reading the first image of the file.
//
// Images of one sample of up to 8 bits in strips, without a 32-bit wish, take the low-colour
// path: 1-bit images become 1-bit bitmaps, others 8-bit bitmaps, with a grey ramp (photometric
// 0 or 1) or the colour map (photometric 3). Everything else goes through libtiff's RGBA reader
// into a 32-bit bitmap, with alpha when the file has extra samples.
//
// Errors: data libtiff cannot open throw libtiff's text with code 1; unreadable rows in the
// first third of the picture throw code 7 (later ones leave the row as it was).

#include "decode/ImageDecoder.h"

struct tiff;

class CTIFFDecoder : public CImageDecoder {
public:
    CTIFFDecoder();
    ~CTIFFDecoder() override;

protected:
    void DoDecode(CDibBitmap& bitmap, PLPaletteBlock& palette, int& wantedDepth, CByteSource& source) override;
    // Decodes the current image of an opened libtiff handle.
    virtual void DoDecodeTIFF(CDibBitmap& bitmap, PLPaletteBlock& palette, int& wantedDepth, tiff* handle,
                              CProgressSink* progress);

private:
    void DoLoColor(CDibBitmap& bitmap, PLPaletteBlock& palette, int& wantedDepth, tiff* handle,
                   CProgressSink* progress);
    void DoHiColor(CDibBitmap& bitmap, int& wantedDepth, tiff* handle);
    // 8-bit RGB in strips, top row first: rows straight from libtiff's scanlines. False when
    // the image is of another kind (the RGBA reader takes it).
    bool DoPlainRGB(CDibBitmap& bitmap, int& wantedDepth, tiff* handle);
};
