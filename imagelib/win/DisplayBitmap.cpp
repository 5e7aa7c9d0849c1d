#include "win/DisplayBitmap.h"

#include "win/DibGdi.h"

#include <algorithm>

namespace {

RECT WholeBitmap(const CDibBitmap& bitmap) { return RECT{0, 0, bitmap.GetWidth(), bitmap.GetHeight()}; }

// Sets a stretch mode for one scope; modes of 0 or below leave the DC as it is.
class StretchModeScope {
public:
    StretchModeScope(HDC dc, int mode) : m_dc(dc) {
        if (mode > 0) {
            m_old = ::SetStretchBltMode(dc, mode);
            if (mode == HALFTONE) ::SetBrushOrgEx(dc, 0, 0, nullptr);
        }
    }
    ~StretchModeScope() {
        if (m_old > 0) ::SetStretchBltMode(m_dc, m_old);
    }
    StretchModeScope(const StretchModeScope&) = delete;
    StretchModeScope& operator=(const StretchModeScope&) = delete;

private:
    HDC m_dc;
    int m_old = 0;
};

}  // namespace

CDisplayBitmap::CDisplayBitmap() = default;

CDisplayBitmap::~CDisplayBitmap() {
    if (m_drawDib != nullptr) ::DrawDibClose(m_drawDib);
    m_drawDib = nullptr;
    m_logicalPalette.reset();
}

void CDisplayBitmap::Draw(HDC dc, int x, int y, DWORD) {
    RECT dest{x, y, x + m_width, y + m_height};
    DrawEx(dc, &dest, nullptr, nullptr, true, -1, SRCCOPY);
}

void CDisplayBitmap::StretchDraw(HDC dc, int x, int y, int width, int height, DWORD) {
    RECT dest{x, y, x + width, y + height};
    DrawEx(dc, &dest, nullptr, nullptr, true, -1, SRCCOPY);
}

void CDisplayBitmap::DrawScaled(HDC dc, int x, int y, double factor, DWORD) {
    RECT dest{x, y, x + dibgdi::ScaledExtent(m_width, factor), y + dibgdi::ScaledExtent(m_height, factor)};
    DrawEx(dc, &dest, nullptr, nullptr, true, -1, SRCCOPY);
}

void CDisplayBitmap::DrawPart(HDC dc, int x, int y, int left, int top, int right, int bottom) {
    RECT src{left, top, right, bottom};
    RECT dest{x, y, x + (right - left), y + (bottom - top)};
    DrawEx(dc, &dest, &src, nullptr, true, -1, SRCCOPY);
}

BOOL CDisplayBitmap::DrawEx(HDC dc, const RECT* destRect, const RECT* srcRect, HPALETTE palette, bool foreground,
                            int stretchMode, DWORD rop) {
    if (dc == nullptr || GetHandle() == nullptr || IsEmpty()) return FALSE;
    RECT src = srcRect ? *srcRect : WholeBitmap(*this);
    RECT dest = destRect ? *destRect : src;
    if (palette == nullptr) palette = GetPalette();
    PaletteSelection selection(dc, palette, !foreground);
    ::GdiFlush();
    if (stretchMode < 0) {
        if (m_drawDib == nullptr) m_drawDib = ::DrawDibOpen();
        if (m_drawDib == nullptr) return FALSE;
        auto* header = reinterpret_cast<BITMAPINFOHEADER*>(GetBitmapInfoHeader());
        UINT flags = foreground ? 0 : DDF_BACKGROUNDPAL;
        // DrawDib keeps the colour table it saw first; begin again so that a changed table is
        // drawn as it is now.
        if (GetColorTable() != nullptr)
            ::DrawDibBegin(m_drawDib, dc, dest.right - dest.left, dest.bottom - dest.top, header,
                           src.right - src.left, src.bottom - src.top, flags);
        return ::DrawDibDraw(m_drawDib, dc, dest.left, dest.top, dest.right - dest.left, dest.bottom - dest.top,
                             header, GetBits(), src.left, src.top, src.right - src.left, src.bottom - src.top,
                             flags);
    }
    StretchModeScope mode(dc, stretchMode);
    UniqueDC memory(::CreateCompatibleDC(dc));
    if (!memory) memory.reset(::CreateCompatibleDC(nullptr));
    if (!memory) return FALSE;
    SelectObjectGuard section(memory.get(), GetHandle());
    if (!section) return FALSE;
    LoadColorTable(memory.get());
    return ::StretchBlt(dc, dest.left, dest.top, dest.right - dest.left, dest.bottom - dest.top, memory.get(),
                        src.left, src.top, src.right - src.left, src.bottom - src.top, rop);
}

bool CDisplayBitmap::DrawDIBits(HDC dc, const RECT* destRect, const RECT* srcRect, HPALETTE palette,
                                bool foreground, int stretchMode, DWORD rop) {
    if (dc == nullptr || GetBitmapInfoHeader() == nullptr || IsEmpty()) return false;
    RECT src = srcRect ? *srcRect : WholeBitmap(*this);
    RECT dest = destRect ? *destRect : src;
    if (palette == nullptr) palette = GetPalette();
    PaletteSelection selection(dc, palette, !foreground);
    StretchModeScope mode(dc, stretchMode < 0 ? HALFTONE : stretchMode);
    ::GdiFlush();
    // StretchDIBits counts source rows of a bottom-up DIB from its bottom.
    int result = ::StretchDIBits(dc, dest.left, dest.top, dest.right - dest.left, dest.bottom - dest.top, src.left,
                                 m_height - src.bottom, src.right - src.left, src.bottom - src.top, GetBits(),
                                 dibgdi::AsBitmapInfo(GetBitmapInfoHeader()), DIB_RGB_COLORS, rop);
    return result != 0 && result != static_cast<int>(GDI_ERROR);
}

HPALETTE CDisplayBitmap::GetPalette() {
    if (!IsPaletteCurrent()) RebuildPalette();
    return m_logicalPalette.get();
}

bool CDisplayBitmap::IsPaletteCurrent() const {
    if (!m_logicalPalette) return false;
    const PLRGBQuad* table = GetColorTable();
    if (table == nullptr) return m_paletteColors.empty();
    const size_t count = static_cast<size_t>(GetNumColors());
    return m_paletteColors.size() == count &&
           std::equal(m_paletteColors.begin(), m_paletteColors.end(), table, [](const PLRGBQuad& a, const PLRGBQuad& b) {
               return a.rgbRed == b.rgbRed && a.rgbGreen == b.rgbGreen && a.rgbBlue == b.rgbBlue;
           });
}

void CDisplayBitmap::RebuildPalette() {
    m_logicalPalette.reset();
    m_paletteColors.clear();
    const PLRGBQuad* table = GetColorTable();
    if (table != nullptr) {
        m_paletteColors.assign(table, table + GetNumColors());
        m_logicalPalette.reset(dibgdi::CreatePaletteFromTable(table, GetNumColors()));
    } else {
        WindowDC screen(nullptr);
        m_logicalPalette.reset(::CreateHalftonePalette(screen.get()));
    }
}
