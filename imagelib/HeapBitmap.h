#pragma once

#include "DibBitmap.h"

// Scratch bitmap: rows top-down in one block with no padding (width x bitsPerPixel / 8 bytes,
// plus one for 1-bit rows whose width is not a multiple of 8); a 256-entry colour table
// beside it for depths up to 8; no DIB header.
class CHeapBitmap : public CDibBitmap {
public:
    CHeapBitmap();
    ~CHeapBitmap() override;

    size_t GetMemUsed() const override;
    int32_t GetBytesPerLine() const override;
    std::unique_ptr<CDibBitmap> NewOfSameKind() const override;
    void SwapContent(CDibBitmap& other) override;

protected:
    void InternalCreate(int32_t width, int32_t height, uint16_t bitsPerPixel, bool hasAlpha) override;
    void FreeMembers() override;
    void InitLineTable() override;

private:
    uint8_t* m_pixels = nullptr;
    size_t m_pixelBytes = 0;
};
