#pragma once

#include "encode/ImageEncoder.h"

// PNG through libpng. 32-bit bitmaps become RGB, or RGBA when they carry alpha; 8 and 4-bit
// bitmaps become palette images with their colour table; 1-bit bitmaps become 1-bit grey
// images when their colour table is black and white in that order, else 1-bit palette
// images. Not interlaced. Library errors throw the library's message, code 6.
class CPNGEncoder : public CImageEncoder {
public:
    CPNGEncoder();
    ~CPNGEncoder() override;

protected:
    void DoEncode(const CDibBitmap& bitmap, CByteSink& sink) override;
};
