#include "DibBitmap.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

#include "PixelConvert.h"
#include "filters/QuantizeFilter.h"

namespace {

const char kOutOfMemory[] = "Out of memory creating bitmap.";

bool IsStorableDepth(uint16_t bitsPerPixel) {
    return bitsPerPixel == 1 || bitsPerPixel == 4 || bitsPerPixel == 8 || bitsPerPixel == 32;
}

bool IsConversionTarget(uint16_t bitsPerPixel) {
    return bitsPerPixel == 1 || bitsPerPixel == 8 || bitsPerPixel == 32;
}

}  // namespace

CDibBitmap::CDibBitmap() = default;

CDibBitmap::~CDibBitmap() {
    // The kinds release their own members in their destructors; the row table is ours.
    FreeLineTable();
}

uint32_t CDibBitmap::CalcDibRowLength(int32_t width, uint16_t bitsPerPixel) {
    if (width <= 0) return 0;
    uint64_t bits = static_cast<uint64_t>(width) * bitsPerPixel;
    uint64_t bytes = (bits + 31) / 32 * 4;
    return bytes > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(bytes);
}

uint32_t CDibBitmap::CalcPackedRowLength(int32_t width, uint16_t bitsPerPixel) {
    if (width <= 0) return 0;
    uint64_t bits = static_cast<uint64_t>(width) * bitsPerPixel;
    uint64_t bytes = (bits + 7) / 8;
    return bytes > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(bytes);
}

void CDibBitmap::CheckGeometry(int32_t width, int32_t height, uint16_t bitsPerPixel, uint32_t rowLength) {
    if (width < 1 || height < 1)
        throw CTextException::Format(PLErr::UnknownVariant, "Illegal bitmap size %d x %d.", width, height);
    if (!IsStorableDepth(bitsPerPixel))
        throw CTextException::Format(PLErr::UnknownVariant, "Illegal bits per pixel value %u.",
                                     static_cast<unsigned>(bitsPerPixel));
    if (width > MaxDimension || height > MaxDimension ||
        static_cast<uint64_t>(rowLength) * static_cast<uint64_t>(height) > MaxPixelBytes)
        throw CTextException(PLErr::NoMemory, kOutOfMemory);
}

void CDibBitmap::Create(int32_t width, int32_t height, uint16_t bitsPerPixel, bool hasAlpha) {
    Recreate(width, height, bitsPerPixel, hasAlpha, true);
}

void CDibBitmap::Recreate(int32_t width, int32_t height, uint16_t bitsPerPixel, bool hasAlpha, bool clearRows) {
    // Refuse impossible requests before the old content is given up.
    CheckGeometry(width, height, bitsPerPixel, CalcDibRowLength(width, bitsPerPixel));
    if (!IsEmpty() && width == m_width && height == m_height && bitsPerPixel == m_bitsPerPixel) {
        // The same geometry again (a filter writing back into its source, a copy into last
        // time's target): keep the pixel memory, whose pages are already mapped, and start
        // over in it.
        m_hasAlpha = hasAlpha;
        if (clearRows) {
            size_t rowLength = static_cast<size_t>(GetBytesPerLine());
            for (int32_t y = 0; y < m_height; ++y) std::memset(m_lineTable[y], 0, rowLength);
        }
        FillGreyRamp();
        return;
    }
    FreeMembers();
    FreeLineTable();
    m_width = m_height = 0;
    m_palette = nullptr;
    m_clearNewRows = clearRows;
    try {
        InternalCreate(width, height, bitsPerPixel, hasAlpha);
    } catch (...) {
        m_clearNewRows = true;
        ClearForFailure();
        throw;
    }
    m_clearNewRows = true;
    if (!clearRows) {
        // The caller writes the pixels, never the bytes that pad a row to the storage's length.
        const size_t pixelBytes = CalcPackedRowLength(m_width, m_bitsPerPixel);
        const size_t rowLength = static_cast<size_t>(GetBytesPerLine());
        if (rowLength > pixelBytes)
            for (int32_t y = 0; y < m_height; ++y) std::memset(m_lineTable[y] + pixelBytes, 0, rowLength - pixelBytes);
    }
}

void CDibBitmap::SwapContent(CDibBitmap& other) {
    // Kinds that cannot trade contents make no sibling, so nothing calls this for them.
    (void)other;
    throw CTextException(PLErr::UnknownVariant, "This bitmap kind cannot trade contents.");
}

void CDibBitmap::SwapCommon(CDibBitmap& other) {
    std::swap(m_width, other.m_width);
    std::swap(m_height, other.m_height);
    std::swap(m_bitsPerPixel, other.m_bitsPerPixel);
    std::swap(m_palette, other.m_palette);
    std::swap(m_hasAlpha, other.m_hasAlpha);
    std::swap(m_lineTable, other.m_lineTable);
}

void CDibBitmap::ClearForFailure() {
    FreeMembers();
    FreeLineTable();
    m_width = m_height = 0;
    m_palette = nullptr;
}

void CDibBitmap::Lock(bool, bool) const { ++m_lockCount; }

void CDibBitmap::Unlock() const { --m_lockCount; }

void CDibBitmap::InitCommon(int32_t width, int32_t height, uint16_t bitsPerPixel, bool hasAlpha, bool greyRamp) {
    m_width = width;
    m_height = height;
    m_bitsPerPixel = bitsPerPixel;
    m_hasAlpha = hasAlpha;
    FreeLineTable();
    m_lineTable = new (std::nothrow) uint8_t*[static_cast<size_t>(height)];
    if (m_lineTable == nullptr) throw CTextException(PLErr::NoMemory, kOutOfMemory);
    InitLineTable();
    if (greyRamp && bitsPerPixel <= 8) FillGreyRamp();
}

void CDibBitmap::FreeLineTable() {
    delete[] m_lineTable;
    m_lineTable = nullptr;
}

void CDibBitmap::FillBottomUpLineTable(uint8_t* bits) {
    size_t rowLength = CalcDibRowLength(m_width, m_bitsPerPixel);
    for (int32_t y = 0; y < m_height; ++y) m_lineTable[y] = bits + static_cast<size_t>(m_height - 1 - y) * rowLength;
}

void CDibBitmap::FillGreyRamp() {
    if (m_palette == nullptr) return;
    int count = GetNumColors();
    int step = 255 / (count - 1);
    for (int i = 0; i < count; ++i) {
        uint8_t v = static_cast<uint8_t>(i * step);
        m_palette[i] = PLRGBQuad{v, v, v, 255};
    }
}

void CDibBitmap::CopyPalette(const PLRGBQuad* entries) {
    if (m_palette == nullptr || entries == nullptr) return;
    std::memcpy(m_palette, entries, sizeof(PLRGBQuad) * static_cast<size_t>(GetNumColors()));
}

int CDibBitmap::FindNearestColor(PLPixel32 color) const {
    if (m_palette == nullptr) return 0;
    int red = PLPixelRed(color), green = PLPixelGreen(color), blue = PLPixelBlue(color);
    int best = 0;
    int bestDistance = 100000;
    int count = GetNumColors();
    for (int i = 0; i < count; ++i) {
        const PLRGBQuad& e = m_palette[i];
        int d = std::abs(e.rgbRed - red) + std::abs(e.rgbGreen - green) + std::abs(e.rgbBlue - blue);
        if (d < bestDistance) {
            bestDistance = d;
            best = i;
        }
    }
    return best;
}

uint8_t CDibBitmap::GetPixelIndex(int32_t x, int32_t y) const {
    if (x < 0 || y < 0 || x >= m_width || y >= m_height || m_lineTable == nullptr) return 0;
    const uint8_t* row = m_lineTable[y];
    switch (m_bitsPerPixel) {
    case 1: return static_cast<uint8_t>((row[x >> 3] >> (7 - (x & 7))) & 1);
    case 4: return static_cast<uint8_t>((x & 1) ? (row[x >> 1] & 0x0F) : (row[x >> 1] >> 4));
    case 8: return row[x];
    default: return 0;
    }
}

void CDibBitmap::SetPixelIndex(int32_t x, int32_t y, uint8_t index) {
    if (x < 0 || y < 0 || x >= m_width || y >= m_height || m_lineTable == nullptr) return;
    uint8_t* row = m_lineTable[y];
    switch (m_bitsPerPixel) {
    case 1: {
        uint8_t mask = static_cast<uint8_t>(0x80 >> (x & 7));
        row[x >> 3] = static_cast<uint8_t>((index & 1) ? (row[x >> 3] | mask) : (row[x >> 3] & ~mask));
        break;
    }
    case 4:
        if (x & 1)
            row[x >> 1] = static_cast<uint8_t>((row[x >> 1] & 0xF0) | (index & 0x0F));
        else
            row[x >> 1] = static_cast<uint8_t>((row[x >> 1] & 0x0F) | ((index & 0x0F) << 4));
        break;
    case 8: row[x] = index; break;
    default: break;
    }
}

PLPixel32 CDibBitmap::GetPixel(int32_t x, int32_t y) const {
    if (x < 0 || y < 0 || x >= m_width || y >= m_height || m_lineTable == nullptr) return 0;
    if (m_bitsPerPixel == 32) return PLLoadPixel(m_lineTable[y] + static_cast<size_t>(x) * 4);
    uint8_t index = GetPixelIndex(x, y);
    if (m_palette != nullptr) return PLQuadToPixel(m_palette[index]);
    return PLDefaultPaletteColor(m_bitsPerPixel, index);
}

void CDibBitmap::SetPixel(int32_t x, int32_t y, PLPixel32 value) {
    if (x < 0 || y < 0 || x >= m_width || y >= m_height || m_lineTable == nullptr) return;
    if (m_bitsPerPixel == 32) {
        PLStorePixel(m_lineTable[y] + static_cast<size_t>(x) * 4, value);
        return;
    }
    SetPixelIndex(x, y, static_cast<uint8_t>(FindNearestColor(value)));
}

// ---------------------------------------------------------------------------------------------
// Copies and conversions

void CDibBitmap::CreateCopy(const CDibBitmap& source, uint16_t bitsPerPixel) {
    if (bitsPerPixel == 0) bitsPerPixel = source.m_bitsPerPixel;
    if (&source == this) {
        if (bitsPerPixel == m_bitsPerPixel) return;
        // Converting in place: keep the pixels somewhere while this bitmap is created anew.
        CHeapBitmap scratch;
        scratch.CreateCopy(*this, 0);
        CreateCopy(scratch, bitsPerPixel);
        return;
    }
    if (source.IsEmpty()) throw CTextException(PLErr::UnknownVariant, "Can't copy an empty bitmap.");
    if (!IsStorableDepth(source.m_bitsPerPixel))
        throw CTextException::Format(PLErr::UnknownVariant, "Illegal bits per pixel value %u.",
                                     static_cast<unsigned>(source.m_bitsPerPixel));
    if (bitsPerPixel != source.m_bitsPerPixel && !IsConversionTarget(bitsPerPixel))
        throw CTextException::Format(PLErr::Unsupported, "Can't convert a bitmap to %u bits per pixel.",
                                     static_cast<unsigned>(bitsPerPixel));

    CPLBitmapLock sourceLock(source, true, false);
    if (bitsPerPixel == source.m_bitsPerPixel) {
        Recreate(source.m_width, source.m_height, bitsPerPixel, source.m_hasAlpha, false);
        CPLBitmapLock targetLock(*this, false, true);
        size_t rowBytes = CalcPackedRowLength(m_width, bitsPerPixel);
        for (int32_t y = 0; y < m_height; ++y) std::memcpy(m_lineTable[y], source.m_lineTable[y], rowBytes);
        if (bitsPerPixel <= 8 && m_palette != nullptr && source.m_palette != nullptr) CopyPalette(source.m_palette);
        return;
    }
    switch (bitsPerPixel) {
    case 32: ConvertTo32(source); break;
    case 8: ConvertTo8(source); break;
    case 1: ConvertTo1(source); break;
    default: break;  // refused above
    }
}

void CDibBitmap::ConvertTo32(const CDibBitmap& source) {
    Recreate(source.m_width, source.m_height, 32, source.m_hasAlpha, false);
    CPLBitmapLock targetLock(*this, false, true);
    PLPixel32 lut[256];
    int colors = source.GetNumColors();
    for (int i = 0; i < colors; ++i)
        lut[i] = source.m_palette != nullptr ? PLQuadToPixel(source.m_palette[i])
                                             : PLDefaultPaletteColor(source.m_bitsPerPixel, static_cast<uint8_t>(i));
    for (int32_t y = 0; y < m_height; ++y) {
        const uint8_t* src = source.m_lineTable[y];
        uint8_t* dst = m_lineTable[y];
        switch (source.m_bitsPerPixel) {
        case 8: PLExpand8To32(src, dst, m_width, lut); break;
        case 4: PLExpand4To32(src, dst, m_width, lut); break;
        case 1: PLExpand1To32(src, dst, m_width, lut); break;
        default: break;
        }
    }
}

void CDibBitmap::ConvertTo8(const CDibBitmap& source) {
    if (source.m_bitsPerPixel == 32) {
        QuantizeFrom(source);
        return;
    }
    Recreate(source.m_width, source.m_height, 8, false, false);
    CPLBitmapLock targetLock(*this, false, true);
    int colors = source.GetNumColors();
    for (int i = 0; i < colors; ++i) {
        PLPixel32 c = source.m_palette != nullptr ? PLQuadToPixel(source.m_palette[i])
                                                  : PLDefaultPaletteColor(source.m_bitsPerPixel, static_cast<uint8_t>(i));
        m_palette[i] = PLRGBQuad{PLPixelBlue(c), PLPixelGreen(c), PLPixelRed(c), 255};
    }
    for (int32_t y = 0; y < m_height; ++y) {
        const uint8_t* src = source.m_lineTable[y];
        uint8_t* dst = m_lineTable[y];
        if (source.m_bitsPerPixel == 1)
            PLExpand1To8(src, dst, m_width);
        else
            PLExpand4To8(src, dst, m_width);
    }
}

void CDibBitmap::ConvertTo1(const CDibBitmap& source) {
    Recreate(source.m_width, source.m_height, 1, false, false);
    CPLBitmapLock targetLock(*this, false, true);
    m_palette[0] = PLRGBQuad{255, 255, 255, 255};
    m_palette[1] = PLRGBQuad{0, 0, 0, 255};
    // Dark flags of the source's colour table: a pixel is black when red, green and blue are
    // all below 128.
    uint8_t dark[256];
    int colors = source.GetNumColors();
    for (int i = 0; i < colors; ++i) {
        PLPixel32 c = source.m_palette != nullptr ? PLQuadToPixel(source.m_palette[i])
                                                  : PLDefaultPaletteColor(source.m_bitsPerPixel, static_cast<uint8_t>(i));
        dark[i] = PLIsDark(c) ? 1 : 0;
    }
    size_t rowBytes = CalcPackedRowLength(m_width, 1);
    for (int32_t y = 0; y < m_height; ++y) {
        const uint8_t* src = source.m_lineTable[y];
        uint8_t* dst = m_lineTable[y];
        std::memset(dst, 0, rowBytes);
        switch (source.m_bitsPerPixel) {
        case 32: PLThreshold32To1(src, dst, m_width); break;
        case 8: PLThreshold8To1(src, dst, m_width, dark); break;
        case 4: PLThreshold4To1(src, dst, m_width, dark); break;
        default: break;
        }
    }
}

void CDibBitmap::QuantizeFrom(const CDibBitmap& source) {
    // The quantiser creates this bitmap at 8 bits with the palette it chooses.
    CQuantizeFilter quantizer(m_paletteMode, m_ditherMode, nullptr);
    quantizer.Apply(source, *this);
}
