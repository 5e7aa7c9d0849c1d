#pragma once

#include <windows.h>

#include "DibBitmap.h"
#include "framework/Handles.h"

// A DIB whose rows live in a GDI DIB section (bottom-up, padded to 4 bytes), so that GDI can
// draw from it and into it; the header and colour table sit in a heap block beside it.
class CSectionDibBitmap : public CDibBitmap {
public:
    CSectionDibBitmap();
    ~CSectionDibBitmap() override;

    size_t GetMemUsed() const override;
    int32_t GetBytesPerLine() const override;
    // Also waits for GDI drawing into the section to finish, so the rows read back current.
    void Lock(bool readable, bool writable) const override;
    // When the last lock ends, the colour table goes into the section as well.
    void Unlock() const override;

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
    // Creates the bitmap from a packed DIB of size bytes in memory.
    virtual void CreateFromDIB(const PLBitmapInfoHeader* header, size_t size);
    // A movable, shareable global memory block holding a packed DIB of the bitmap; the caller
    // owns it. Throws code 10 when the block cannot be allocated.
    virtual HGLOBAL GetDIBCopy() const;

protected:
    virtual void InitPointers();

public:
    // Recreates the bitmap as 16 x 16 x 8 with the grey ramp.
    virtual void Reset();

    HBITMAP GetHandle() const { return m_section.get(); }
    // Copies the colour table into the section's own, for code that blits GetHandle() itself
    // after changing colours through GetColorTable(). The drawing calls do this on their own.
    void SyncColorTable() const;
    const PLBitmapInfoHeader* GetBitmapInfoHeader() const { return m_header; }
    PLBitmapInfoHeader* GetBitmapInfoHeader() { return m_header; }
    uint8_t* GetBits() { return m_bits; }
    const uint8_t* GetBits() const { return m_bits; }

    // Imports a GDI device-dependent bitmap; returns silently when the handle is null or GDI
    // cannot read it.
    void CreateFromHBitmap(HBITMAP bitmap);
    // CreateFromDIB, then, for depths up to 8, the first entries of the colour table are taken
    // from the GDI palette (as many as it has).
    void CreateFromDIBAndPalette(const PLBitmapInfoHeader* header, size_t size, HPALETTE palette);
    // Puts the bitmap on the clipboard as CF_DIB with a CF_PALETTE; does nothing when the
    // clipboard cannot be opened.
    void CopyToClipboard() const;
    // The same, with the copy handed to the clipboard only when somebody first reads it
    // (dibgdi::OfferDibOnClipboard): returns once the copy of the pixels is made, so the
    // bitmap may change right after. Throws like GetDIBCopy.
    void OfferToClipboard() const;
    // Reads CF_DIB (with CF_PALETTE when present) or CF_BITMAP from the clipboard. True only
    // when the clipboard held data of that format and it could be read.
    bool PasteFromClipboard(UINT format);

protected:
    void InternalCreate(int32_t width, int32_t height, uint16_t bitsPerPixel, bool hasAlpha) override;
    void FreeMembers() override;
    void InitLineTable() override;

    // Copies the colour table into the section's own table, on a memory DC that has the
    // section selected (GDI reads colours from there when it blits the section).
    void LoadColorTable(HDC memoryDC) const;

private:
    uint8_t* m_headerBlock = nullptr;  // header and colour table
    PLBitmapInfoHeader* m_header = nullptr;
    uint8_t* m_bits = nullptr;  // first stored row: the bottom row; owned by the section
    UniqueBitmap m_section;
};
