#include "PackedDibBitmap.h"

#include <cstdlib>
#include <cstring>
#include <utility>

#include "PixelMemory.h"

namespace {
size_t ColorTableBytes(uint16_t bitsPerPixel) {
    return bitsPerPixel < 16 ? sizeof(PLRGBQuad) * (size_t{1} << bitsPerPixel) : 0;
}
}  // namespace

CPackedDibBitmap::CPackedDibBitmap() { Create(16, 16, 8, false); }

CPackedDibBitmap::~CPackedDibBitmap() { FreeMembers(); }

size_t CPackedDibBitmap::GetMemUsed() const { return m_blockSize + sizeof(*this); }

int32_t CPackedDibBitmap::GetBytesPerLine() const {
    return static_cast<int32_t>(CalcDibRowLength(m_width, m_bitsPerPixel));
}

void CPackedDibBitmap::InternalCreate(int32_t width, int32_t height, uint16_t bitsPerPixel, bool hasAlpha) {
    uint32_t rowLength = CalcDibRowLength(width, bitsPerPixel);
    CheckGeometry(width, height, bitsPerPixel, rowLength);
    size_t headerBytes = sizeof(PLBitmapInfoHeader) + ColorTableBytes(bitsPerPixel);
    m_blockSize = headerBytes + static_cast<size_t>(rowLength) * static_cast<size_t>(height);
    m_block = static_cast<uint8_t*>(CPixelMemory::Allocate(m_blockSize, m_clearNewRows, headerBytes));
    if (m_block == nullptr) {
        m_blockSize = 0;
        throw CTextException(PLErr::NoMemory, "Out of memory creating bitmap.");
    }
    m_header = reinterpret_cast<PLBitmapInfoHeader*>(m_block);
    *m_header = PLMakeInfoHeader(width, height, bitsPerPixel);
    InitPointers();
    InitCommon(width, height, bitsPerPixel, hasAlpha);
}

void CPackedDibBitmap::InitPointers() {
    if (m_header == nullptr) {
        m_palette = nullptr;
        m_bits = nullptr;
        return;
    }
    uint8_t* table = m_block + m_header->biSize;
    m_palette = m_header->biBitCount < 16 ? reinterpret_cast<PLRGBQuad*>(table) : nullptr;
    m_bits = table + ColorTableBytes(m_header->biBitCount);
}

std::unique_ptr<CDibBitmap> CPackedDibBitmap::NewOfSameKind() const { return std::make_unique<CPackedDibBitmap>(); }

void CPackedDibBitmap::SwapContent(CDibBitmap& other) {
    CPackedDibBitmap& o = dynamic_cast<CPackedDibBitmap&>(other);
    SwapCommon(o);
    std::swap(m_block, o.m_block);
    std::swap(m_blockSize, o.m_blockSize);
    std::swap(m_header, o.m_header);
    std::swap(m_bits, o.m_bits);
}

void CPackedDibBitmap::FreeMembers() {
    CPixelMemory::Free(m_block, m_blockSize);
    m_block = nullptr;
    m_blockSize = 0;
    m_header = nullptr;
    m_bits = nullptr;
    m_palette = nullptr;
}

void CPackedDibBitmap::InitLineTable() { FillBottomUpLineTable(m_bits); }

void CPackedDibBitmap::CreateFromDIB(const PLBitmapInfoHeader* header, size_t size) {
    CreateFromDibData(header, size);
}
