#include "HeapBitmap.h"

#include <cstdlib>
#include <utility>

#include "PixelMemory.h"

CHeapBitmap::CHeapBitmap() { Create(16, 16, 8, false); }

CHeapBitmap::~CHeapBitmap() { FreeMembers(); }

size_t CHeapBitmap::GetMemUsed() const {
    size_t paletteBytes = m_palette != nullptr ? 256 * sizeof(PLRGBQuad) : 0;
    return m_pixelBytes + paletteBytes + sizeof(*this);
}

int32_t CHeapBitmap::GetBytesPerLine() const {
    return static_cast<int32_t>(CalcPackedRowLength(m_width, m_bitsPerPixel));
}

void CHeapBitmap::InternalCreate(int32_t width, int32_t height, uint16_t bitsPerPixel, bool hasAlpha) {
    uint32_t rowLength = CalcPackedRowLength(width, bitsPerPixel);
    CheckGeometry(width, height, bitsPerPixel, rowLength);
    m_pixelBytes = static_cast<size_t>(rowLength) * static_cast<size_t>(height);
    m_pixels = static_cast<uint8_t*>(CPixelMemory::Allocate(m_pixelBytes, m_clearNewRows));
    if (m_pixels == nullptr) {
        m_pixelBytes = 0;
        throw CTextException(PLErr::NoMemory, "Out of memory creating bitmap.");
    }
    if (bitsPerPixel <= 8) {
        // Always room for 256 entries, whatever the depth.
        m_palette = static_cast<PLRGBQuad*>(std::calloc(256, sizeof(PLRGBQuad)));
        if (m_palette == nullptr) throw CTextException(PLErr::NoMemory, "Out of memory creating bitmap.");
    }
    InitCommon(width, height, bitsPerPixel, hasAlpha);
}

std::unique_ptr<CDibBitmap> CHeapBitmap::NewOfSameKind() const { return std::make_unique<CHeapBitmap>(); }

void CHeapBitmap::SwapContent(CDibBitmap& other) {
    CHeapBitmap& o = dynamic_cast<CHeapBitmap&>(other);
    SwapCommon(o);
    std::swap(m_pixels, o.m_pixels);
    std::swap(m_pixelBytes, o.m_pixelBytes);
}

void CHeapBitmap::FreeMembers() {
    CPixelMemory::Free(m_pixels, m_pixelBytes);
    m_pixels = nullptr;
    m_pixelBytes = 0;
    std::free(m_palette);
    m_palette = nullptr;
}

void CHeapBitmap::InitLineTable() {
    size_t rowLength = CalcPackedRowLength(m_width, m_bitsPerPixel);
    for (int32_t y = 0; y < m_height; ++y) m_lineTable[y] = m_pixels + static_cast<size_t>(y) * rowLength;
}
