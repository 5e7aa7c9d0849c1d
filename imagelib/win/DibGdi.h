#pragma once

// GDI and clipboard work shared by the DIB kinds (CPackedDibBitmap, CSectionDibBitmap): both
// keep a BITMAPINFOHEADER with the colour table behind it and their rows bottom-up behind
// GetBits(), so importing device bitmaps, making global DIB blocks and the clipboard are
// written once here against that shape.

#include <windows.h>

#include <cstddef>

#include "DibBitmap.h"
#include "framework/Handles.h"

// SelectPalette / RealizePalette with the previous palette restored at the end of the scope.
class PaletteSelection {
public:
    PaletteSelection(HDC dc, HPALETTE palette, bool background, bool realize = true) noexcept : m_dc(dc) {
        if (dc && palette) {
            m_old = ::SelectPalette(dc, palette, background ? TRUE : FALSE);
            if (realize) ::RealizePalette(dc);
        }
    }
    ~PaletteSelection() {
        if (m_old) ::SelectPalette(m_dc, m_old, TRUE);
    }
    PaletteSelection(const PaletteSelection&) = delete;
    PaletteSelection& operator=(const PaletteSelection&) = delete;

private:
    HDC m_dc;
    HPALETTE m_old = nullptr;
};

namespace dibgdi {

inline const BITMAPINFO* AsBitmapInfo(const PLBitmapInfoHeader* header) {
    return reinterpret_cast<const BITMAPINFO*>(header);
}
inline BITMAPINFO* AsBitmapInfo(PLBitmapInfoHeader* header) { return reinterpret_cast<BITMAPINFO*>(header); }

// extent x factor, truncated, for the scaled drawing calls; 0 for factors that are not positive
// numbers, and never beyond what GDI coordinates hold.
inline int ScaledExtent(int extent, double factor) {
    double v = extent * factor;
    if (!(v > 0)) return 0;
    if (v > 0x3FFFFFFF) return 0x3FFFFFFF;
    return static_cast<int>(v);
}

// A logical palette of count colour table entries (flags 0); null when it cannot be made.
HPALETTE CreatePaletteFromTable(const PLRGBQuad* entries, int count);

// Copies the first entries of a GDI palette (as many as it and the table have) into a colour
// table: red, green and blue in their places, fourth byte 0.
void CopyGdiPaletteEntries(HPALETTE palette, PLRGBQuad* table, int tableEntries);

// A movable, shareable global block holding header, colour table (2^depth entries for depths up
// to 8) and rows bottom-up; null when it cannot be allocated.
HGLOBAL MakeGlobalDib(const CDibBitmap& bitmap);
// The size of that block, and writing it into memory of at least that size.
size_t DibBlockBytes(const CDibBitmap& bitmap);
void WriteDibBlock(const CDibBitmap& bitmap, uint8_t* p);

// Puts a global DIB block (ownership passes) and a palette for the bitmap on the clipboard.
void PutDibOnClipboard(const CDibBitmap& bitmap, HGLOBAL dib);

// The same for a caller with other work to do meanwhile (a capture that is also saved): the
// pixels are copied and the clipboard is taken at once, and the copy is handed over when
// somebody first reads it (CClipboardOffer). The calling thread must go on handling messages.
// False when there is no memory for the copy or the clipboard cannot be opened.
bool OfferDibOnClipboard(const CDibBitmap& bitmap);

// Hands a picture still only offered to the clipboard now; the program calls it before it ends.
void RenderOfferedClipboard();

// The device-bitmap import: dimensions and depth of handle, or false when GDI cannot read it.
struct DeviceBitmapInfo {
    int width = 0;
    int height = 0;
    int deviceBits = 0;  // planes x bits per pixel
    uint16_t depth = 0;  // depth the import creates: 1, 4, 8 or 32
};
bool QueryDeviceBitmap(HBITMAP handle, DeviceBitmapInfo& info);

// Reads the rows of handle into bits with the header (and colour table) of the already
// created bitmap, under a logical palette built from the system palette. False on failure.
bool ReadDeviceBitmapRows(HBITMAP handle, const DeviceBitmapInfo& info, PLBitmapInfoHeader* header, void* bits);

// CreateFromResource of a DIB kind: the bitmap resource id of module (RT_BITMAP, a packed DIB
// without file header); code 4 when there is none.
template <class Kind>
void LoadBitmapResource(Kind& bitmap, HINSTANCE module, int id) {
    HRSRC resource = ::FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(2));
    HGLOBAL loaded = resource ? ::LoadResource(module, resource) : nullptr;
    const void* data = loaded ? ::LockResource(loaded) : nullptr;
    if (data == nullptr) throw CTextException::Format(PLErr::FileNotFound, "Bitmap resource %d not found.", id);
    bitmap.CreateFromDIB(static_cast<const PLBitmapInfoHeader*>(data), ::SizeofResource(module, resource));
}

// CreateFromHBitmap of a DIB kind.
template <class Kind>
bool ImportDeviceBitmap(Kind& bitmap, HBITMAP handle) {
    DeviceBitmapInfo info;
    if (!QueryDeviceBitmap(handle, info)) return false;
    bitmap.Create(info.width, info.height, info.depth, false);
    return ReadDeviceBitmapRows(handle, info, bitmap.GetBitmapInfoHeader(), bitmap.GetBits());
}

// PasteFromClipboard of a DIB kind.
template <class Kind>
bool PasteFromClipboard(Kind& bitmap, UINT format) {
    if (format != CF_DIB && format != CF_BITMAP) return false;
    ClipboardGuard clipboard(nullptr, 500);
    if (!clipboard) return false;
    HANDLE data = ::GetClipboardData(format);
    if (data == nullptr) return false;
    try {
        if (format == CF_BITMAP) return ImportDeviceBitmap(bitmap, static_cast<HBITMAP>(data));
        GlobalLockGuard lock(static_cast<HGLOBAL>(data));
        if (!lock) return false;
        HPALETTE palette = ::IsClipboardFormatAvailable(CF_PALETTE)
                               ? static_cast<HPALETTE>(::GetClipboardData(CF_PALETTE))
                               : nullptr;
        bitmap.CreateFromDIBAndPalette(static_cast<const PLBitmapInfoHeader*>(lock.get()), lock.size(), palette);
        return true;
    } catch (const CTextException&) {
        return false;
    }
}

}  // namespace dibgdi
