#pragma once

#include "DibBitmap.h"

#ifdef _WIN32
#include <windows.h>
static_assert(sizeof(PLBitmapInfoHeader) == sizeof(BITMAPINFOHEADER), "header layout");
static_assert(sizeof(PLRGBQuad) == sizeof(RGBQUAD), "colour table layout");
#endif

// A packed DIB in one heap block: the 40-byte header, the colour table (depths below 16),
// then the rows bottom-up, each padded to a multiple of 4 bytes.
class CPackedDibBitmap : public CDibBitmap {
public:
    CPackedDibBitmap();
    ~CPackedDibBitmap() override;

    size_t GetMemUsed() const override;
    int32_t GetBytesPerLine() const override;
    std::unique_ptr<CDibBitmap> NewOfSameKind() const override;
    void SwapContent(CDibBitmap& other) override;

#ifdef _WIN32
    // Loads a bitmap resource (RT_BITMAP). Throws code 4 when the module has no such resource.
    virtual void CreateFromResource(HINSTANCE module, int id);
    // Whole bitmap 1:1 at (x, y).
    virtual void Draw(HDC dc, int x, int y, DWORD rop = SRCCOPY);
    // Whole bitmap into the rectangle (x, y, width, height).
    virtual void StretchDraw(HDC dc, int x, int y, int width, int height, DWORD rop = SRCCOPY);
    // Whole bitmap scaled by factor (target size truncated).
    virtual void DrawScaled(HDC dc, int x, int y, double factor, DWORD rop = SRCCOPY);
    // The source rectangle (left, top, right, bottom; row 0 at the top) 1:1 at (x, y).
    virtual void DrawPart(HDC dc, int x, int y, int left, int top, int right, int bottom);
#endif
    // Creates the bitmap from a packed DIB of size bytes in memory.
    virtual void CreateFromDIB(const PLBitmapInfoHeader* header, size_t size);
#ifdef _WIN32
    // A movable, shareable global memory block holding a packed DIB of the bitmap; the caller
    // owns it. Throws code 10 when the block cannot be allocated.
    virtual HGLOBAL GetDIBCopy() const;
#endif

protected:
    virtual void InitPointers();

public:
    const PLBitmapInfoHeader* GetBitmapInfoHeader() const { return m_header; }
    PLBitmapInfoHeader* GetBitmapInfoHeader() { return m_header; }
    uint8_t* GetBits() { return m_bits; }
    const uint8_t* GetBits() const { return m_bits; }

#ifdef _WIN32
    // Imports a GDI device-dependent bitmap; returns silently when the handle is null or GDI
    // cannot read it.
    void CreateFromHBitmap(HBITMAP bitmap);
    // CreateFromDIB, then, for depths up to 8, the first entries of the colour table are taken
    // from the GDI palette (as many as it has).
    void CreateFromDIBAndPalette(const PLBitmapInfoHeader* header, size_t size, HPALETTE palette);
    // Puts the bitmap on the clipboard as CF_DIB with a CF_PALETTE; does nothing when the
    // clipboard cannot be opened.
    void CopyToClipboard() const;
    // Reads CF_DIB (with CF_PALETTE when present) or CF_BITMAP from the clipboard. True only
    // when the clipboard held data of that format and it could be read.
    bool PasteFromClipboard(UINT format);
#endif

protected:
    void InternalCreate(int32_t width, int32_t height, uint16_t bitsPerPixel, bool hasAlpha) override;
    void FreeMembers() override;
    void InitLineTable() override;

private:
    uint8_t* m_block = nullptr;  // header, colour table and rows
    size_t m_blockSize = 0;
    PLBitmapInfoHeader* m_header = nullptr;
    uint8_t* m_bits = nullptr;  // first stored row: the bottom row
};
