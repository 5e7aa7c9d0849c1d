#include "win/SectionDibBitmap.h"

#include <cstdlib>
#include <cstring>

#include "PixelMemory.h"
#include "win/DibGdi.h"
#include "win/SectionPool.h"

namespace {

const char kOutOfMemory[] = "Out of memory creating bitmap.";

// Room for 256 colour table entries behind the header, whatever the depth.
constexpr size_t kHeaderBlockBytes = sizeof(PLBitmapInfoHeader) + 256 * sizeof(PLRGBQuad);

// A memory DC with the section selected, for blits from it.
class SectionDC {
public:
    SectionDC(HDC reference, HBITMAP section) : m_dc(::CreateCompatibleDC(reference)) {
        if (!m_dc) m_dc.reset(::CreateCompatibleDC(nullptr));
        if (m_dc) m_selection = SelectObjectGuard(m_dc.get(), section);
    }
    HDC get() const { return m_dc.get(); }
    explicit operator bool() const { return m_dc && m_selection; }

private:
    UniqueDC m_dc;
    SelectObjectGuard m_selection;
};

}  // namespace

CSectionDibBitmap::CSectionDibBitmap() { Create(16, 16, 8, false); }

CSectionDibBitmap::~CSectionDibBitmap() { FreeMembers(); }

size_t CSectionDibBitmap::GetMemUsed() const {
    size_t rows = m_header ? static_cast<size_t>(CalcDibRowLength(m_width, m_bitsPerPixel)) * m_height : 0;
    return rows + (m_headerBlock ? kHeaderBlockBytes : 0) + sizeof(*this);
}

int32_t CSectionDibBitmap::GetBytesPerLine() const {
    return static_cast<int32_t>(CalcDibRowLength(m_width, m_bitsPerPixel));
}

void CSectionDibBitmap::Lock(bool readable, bool writable) const {
    ::GdiFlush();
    CDibBitmap::Lock(readable, writable);
}

void CSectionDibBitmap::Unlock() const {
    CDibBitmap::Unlock();
    if (GetLockCount() == 0) SyncColorTable();
}

void CSectionDibBitmap::SyncColorTable() const {
    if (m_palette == nullptr || !m_section) return;
    SectionDC dc(nullptr, m_section.get());
    if (dc) LoadColorTable(dc.get());
}

void CSectionDibBitmap::InternalCreate(int32_t width, int32_t height, uint16_t bitsPerPixel, bool hasAlpha) {
    uint32_t rowLength = CalcDibRowLength(width, bitsPerPixel);
    CheckGeometry(width, height, bitsPerPixel, rowLength);
    m_headerBlock = static_cast<uint8_t*>(std::calloc(kHeaderBlockBytes, 1));
    if (m_headerBlock == nullptr) throw CTextException(PLErr::NoMemory, kOutOfMemory);
    m_header = reinterpret_cast<PLBitmapInfoHeader*>(m_headerBlock);
    *m_header = PLMakeInfoHeader(width, height, bitsPerPixel);
    void* bits = nullptr;
    const size_t rowBytes = static_cast<size_t>(rowLength) * static_cast<size_t>(height);
    m_section.reset(CSectionPool::Take(width, height, bitsPerPixel, &bits));
    if (m_section) {
        // A kept section holds the last picture's pixels.
        if (m_clearNewRows) std::memset(bits, 0, rowBytes);
    } else {
        m_section.reset(::CreateDIBSection(nullptr, dibgdi::AsBitmapInfo(m_header), DIB_RGB_COLORS, &bits, nullptr, 0));
    }
    if (!m_section || bits == nullptr) {
        // The pixel blocks and sections kept for later pictures may be what fills the
        // address space.
        m_section.reset();
        bits = nullptr;
        CPixelMemory::Trim();  // with the kept sections
        m_section.reset(::CreateDIBSection(nullptr, dibgdi::AsBitmapInfo(m_header), DIB_RGB_COLORS, &bits, nullptr, 0));
    }
    if (!m_section || bits == nullptr) {
        m_section.reset();
        throw CTextException(PLErr::NoMemory, kOutOfMemory);
    }
    m_bits = static_cast<uint8_t*>(bits);  // fresh section pages are zero
    InitPointers();
    InitCommon(width, height, bitsPerPixel, hasAlpha);
    SyncColorTable();
}

void CSectionDibBitmap::InitPointers() {
    m_palette = (m_header != nullptr && m_header->biBitCount < 16)
                    ? reinterpret_cast<PLRGBQuad*>(m_headerBlock + m_header->biSize)
                    : nullptr;
}

void CSectionDibBitmap::FreeMembers() {
    if (m_section && m_header != nullptr) {
        ::GdiFlush();
        CSectionPool::Give(m_section.release(), m_header->biWidth, m_header->biHeight, m_header->biBitCount,
                           static_cast<size_t>(CalcDibRowLength(m_header->biWidth, m_header->biBitCount)) *
                               static_cast<size_t>(m_header->biHeight));
    }
    m_section.reset();
    m_bits = nullptr;
    std::free(m_headerBlock);
    m_headerBlock = nullptr;
    m_header = nullptr;
    m_palette = nullptr;
}

void CSectionDibBitmap::InitLineTable() { FillBottomUpLineTable(m_bits); }

void CSectionDibBitmap::Reset() { Create(16, 16, 8, false); }

void CSectionDibBitmap::LoadColorTable(HDC memoryDC) const {
    if (m_palette == nullptr) return;
    ::SetDIBColorTable(memoryDC, 0, static_cast<UINT>(GetNumColors()), reinterpret_cast<const RGBQUAD*>(m_palette));
}

void CSectionDibBitmap::CreateFromResource(HINSTANCE module, int id) { dibgdi::LoadBitmapResource(*this, module, id); }

void CSectionDibBitmap::Draw(HDC dc, int x, int y, DWORD rop) {
    if (!m_section) return;
    SectionDC source(dc, m_section.get());
    if (!source) return;
    LoadColorTable(source.get());
    ::BitBlt(dc, x, y, m_width, m_height, source.get(), 0, 0, rop);
}

void CSectionDibBitmap::StretchDraw(HDC dc, int x, int y, int width, int height, DWORD rop) {
    if (!m_section) return;
    SectionDC source(dc, m_section.get());
    if (!source) return;
    LoadColorTable(source.get());
    ::StretchBlt(dc, x, y, width, height, source.get(), 0, 0, m_width, m_height, rop);
}

void CSectionDibBitmap::DrawScaled(HDC dc, int x, int y, double factor, DWORD rop) {
    StretchDraw(dc, x, y, dibgdi::ScaledExtent(m_width, factor), dibgdi::ScaledExtent(m_height, factor), rop);
}

void CSectionDibBitmap::DrawPart(HDC dc, int x, int y, int left, int top, int right, int bottom) {
    if (!m_section || right <= left || bottom <= top) return;
    SectionDC source(dc, m_section.get());
    if (!source) return;
    LoadColorTable(source.get());
    ::BitBlt(dc, x, y, right - left, bottom - top, source.get(), left, top, SRCCOPY);
}

void CSectionDibBitmap::CreateFromDIB(const PLBitmapInfoHeader* header, size_t size) {
    CreateFromDibData(header, size);
}

HGLOBAL CSectionDibBitmap::GetDIBCopy() const {
    ::GdiFlush();
    HGLOBAL block = m_header ? dibgdi::MakeGlobalDib(*this) : nullptr;
    if (block == nullptr) throw CTextException(PLErr::NoMemory, kOutOfMemory);
    return block;
}

void CSectionDibBitmap::CreateFromHBitmap(HBITMAP bitmap) {
    if (dibgdi::ImportDeviceBitmap(*this, bitmap)) SyncColorTable();
}

void CSectionDibBitmap::CreateFromDIBAndPalette(const PLBitmapInfoHeader* header, size_t size, HPALETTE palette) {
    CreateFromDIB(header, size);
    if (palette != nullptr && m_bitsPerPixel <= 8) {
        dibgdi::CopyGdiPaletteEntries(palette, m_palette, GetNumColors());
        SyncColorTable();
    }
}

void CSectionDibBitmap::CopyToClipboard() const { dibgdi::PutDibOnClipboard(*this, GetDIBCopy()); }

void CSectionDibBitmap::OfferToClipboard() const {
    ::GdiFlush();
    if (m_header == nullptr || !dibgdi::OfferDibOnClipboard(*this)) {
        // Without memory for the copy the clipboard gets the picture the ordinary way (which
        // throws when that fails too).
        CopyToClipboard();
    }
}

bool CSectionDibBitmap::PasteFromClipboard(UINT format) { return dibgdi::PasteFromClipboard(*this, format); }
