// The GDI side of CPackedDibBitmap: drawing with StretchDIBits and SetDIBitsToDevice, resources,
// global DIB blocks, device bitmaps and the clipboard.

#include "PackedDibBitmap.h"
#include "win/DibGdi.h"

void CPackedDibBitmap::CreateFromResource(HINSTANCE module, int id) { dibgdi::LoadBitmapResource(*this, module, id); }

void CPackedDibBitmap::Draw(HDC dc, int x, int y, DWORD rop) {
    StretchDraw(dc, x, y, m_width, m_height, rop);
}

void CPackedDibBitmap::StretchDraw(HDC dc, int x, int y, int width, int height, DWORD rop) {
    if (m_header == nullptr) return;
    ::StretchDIBits(dc, x, y, width, height, 0, 0, m_width, m_height, m_bits, dibgdi::AsBitmapInfo(m_header),
                    DIB_RGB_COLORS, rop);
}

void CPackedDibBitmap::DrawScaled(HDC dc, int x, int y, double factor, DWORD rop) {
    StretchDraw(dc, x, y, dibgdi::ScaledExtent(m_width, factor), dibgdi::ScaledExtent(m_height, factor), rop);
}

void CPackedDibBitmap::DrawPart(HDC dc, int x, int y, int left, int top, int right, int bottom) {
    if (m_header == nullptr || right <= left || bottom <= top) return;
    // SetDIBitsToDevice counts source rows from the bottom of the DIB.
    ::SetDIBitsToDevice(dc, x, y, static_cast<DWORD>(right - left), static_cast<DWORD>(bottom - top), left,
                        m_height - bottom, 0, static_cast<UINT>(m_height), m_bits, dibgdi::AsBitmapInfo(m_header),
                        DIB_RGB_COLORS);
}

HGLOBAL CPackedDibBitmap::GetDIBCopy() const {
    HGLOBAL block = m_header ? dibgdi::MakeGlobalDib(*this) : nullptr;
    if (block == nullptr) throw CTextException(PLErr::NoMemory, "Can't allocate global memory block.");
    return block;
}

void CPackedDibBitmap::CreateFromHBitmap(HBITMAP bitmap) { dibgdi::ImportDeviceBitmap(*this, bitmap); }

void CPackedDibBitmap::CreateFromDIBAndPalette(const PLBitmapInfoHeader* header, size_t size, HPALETTE palette) {
    CreateFromDIB(header, size);
    if (palette != nullptr && m_bitsPerPixel <= 8) dibgdi::CopyGdiPaletteEntries(palette, m_palette, GetNumColors());
}

void CPackedDibBitmap::CopyToClipboard() const { dibgdi::PutDibOnClipboard(*this, GetDIBCopy()); }

bool CPackedDibBitmap::PasteFromClipboard(UINT format) { return dibgdi::PasteFromClipboard(*this, format); }
