#pragma once

#include "encode/ImageEncoder.h"

// Windows bitmap: 1, 4 and 8-bit bitmaps with their colour table, 32-bit bitmaps as 24 bits
// (the alpha byte is dropped). Rows bottom-up, each padded with zeros to 4 bytes.
class CBMPEncoder : public CImageEncoder {
public:
    CBMPEncoder();
    ~CBMPEncoder() override;

protected:
    void DoEncode(const CDibBitmap& bitmap, CByteSink& sink) override;
};
