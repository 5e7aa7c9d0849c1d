#pragma once

#include <cstddef>
#include <cstdint>

#include "encode/ImageEncoder.h"

struct tiff;

// Uncompressed TIFF through libtiff. 1-bit bitmaps whose colour table is black and white are
// written as bilevel images (photometric 1 when entry 0 is the darker one, else 0); other
// bitmaps of up to 8 bits as palette images with a standard 16-bit colour map; 32-bit bitmaps
// as 8-bit RGB (alpha is not written). Library errors throw the library's text, code 6.
class CTIFFEncoder : public CImageEncoder {
public:
    CTIFFEncoder();
    ~CTIFFEncoder() override;

protected:
    void DoEncode(const CDibBitmap& bitmap, CByteSink& sink) override;
    // Writes the tags and rows of bitmap to an opened libtiff handle.
    virtual void DoEncodeTIFF(const CDibBitmap& bitmap, tiff* handle);

private:
    static size_t RowBytes(const CDibBitmap& bitmap);
    static uint32_t RowsPerStrip(const CDibBitmap& bitmap);
};
