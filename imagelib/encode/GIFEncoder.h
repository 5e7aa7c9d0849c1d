#pragma once

#include "encode/ImageEncoder.h"

// A single-image GIF through giflib. The picture is reduced to at most 256 colours: a picture
// that has 256 colours or fewer keeps them exactly, any other goes through giflib's median-cut
// quantiser. Not interlaced, no transparency. Bitmaps of other depths are converted to 32 bits
// first. giflib errors throw "GIF-LIB error: <text>." (code 6); pictures larger than GIF's
// 65535 x 65535 pixels are refused with code 2.
class CGIFEncoder : public CImageEncoder {
public:
    CGIFEncoder();
    ~CGIFEncoder() override;

protected:
    void DoEncode(const CDibBitmap& bitmap, CByteSink& sink) override;
};
