#include "DibGdi.h"

#include "ClipboardOffer.h"

#include <cstring>
#include <memory>
#include <utility>
#include <vector>

namespace dibgdi {

namespace {

// LOGPALETTE with room for 256 entries.
struct LogPalette256 {
    WORD version;
    WORD count;
    PALETTEENTRY entries[256];
};

// BITMAPINFO with room for 256 colour table entries.
struct BitmapInfo256 {
    BITMAPINFOHEADER header;
    RGBQUAD colors[256];
};

}  // namespace

HPALETTE CreatePaletteFromTable(const PLRGBQuad* entries, int count) {
    if (entries == nullptr || count <= 0 || count > 256) return nullptr;
    LogPalette256 lp{};
    lp.version = 0x300;
    lp.count = static_cast<WORD>(count);
    for (int i = 0; i < count; ++i) {
        lp.entries[i].peRed = entries[i].rgbRed;
        lp.entries[i].peGreen = entries[i].rgbGreen;
        lp.entries[i].peBlue = entries[i].rgbBlue;
        lp.entries[i].peFlags = 0;
    }
    return ::CreatePalette(reinterpret_cast<const LOGPALETTE*>(&lp));
}

void CopyGdiPaletteEntries(HPALETTE palette, PLRGBQuad* table, int tableEntries) {
    if (palette == nullptr || table == nullptr || tableEntries <= 0) return;
    UINT n = ::GetPaletteEntries(palette, 0, 0, nullptr);
    if (n == 0) return;
    if (n > static_cast<UINT>(tableEntries)) n = static_cast<UINT>(tableEntries);
    PALETTEENTRY entries[256];
    n = ::GetPaletteEntries(palette, 0, n, entries);
    for (UINT i = 0; i < n; ++i) table[i] = PLRGBQuad{entries[i].peBlue, entries[i].peGreen, entries[i].peRed, 0};
}

size_t DibBlockBytes(const CDibBitmap& bitmap) {
    const size_t rowLength = CDibBitmap::CalcDibRowLength(bitmap.GetWidth(), bitmap.GetBitsPerPixel());
    const size_t tableBytes = sizeof(PLRGBQuad) * static_cast<size_t>(bitmap.GetNumColors());
    return sizeof(PLBitmapInfoHeader) + tableBytes + rowLength * static_cast<size_t>(bitmap.GetHeight());
}

void WriteDibBlock(const CDibBitmap& bitmap, uint8_t* p) {
    int colors = bitmap.GetNumColors();
    size_t rowLength = CDibBitmap::CalcDibRowLength(bitmap.GetWidth(), bitmap.GetBitsPerPixel());
    size_t height = static_cast<size_t>(bitmap.GetHeight());
    size_t tableBytes = sizeof(PLRGBQuad) * static_cast<size_t>(colors);
    const PLBitmapInfoHeader header = PLMakeInfoHeader(bitmap.GetWidth(), bitmap.GetHeight(), bitmap.GetBitsPerPixel());
    std::memcpy(p, &header, sizeof header);
    p += sizeof header;
    if (colors > 0) {
        if (bitmap.GetPalette() != nullptr)
            std::memcpy(p, bitmap.GetPalette(), tableBytes);
        else
            std::memset(p, 0, tableBytes);
        p += tableBytes;
    }
    const size_t rowBytes = static_cast<size_t>(bitmap.GetPixelBytesPerLine());
    const uint8_t* bottom = height > 0 ? bitmap.GetLine(static_cast<int32_t>(height - 1)) : nullptr;
    if (height > 0 && rowBytes == rowLength && bitmap.GetLine(0) == bottom + (height - 1) * rowLength) {
        // Rows stored bottom-up without gaps, as the block holds them: one copy.
        std::memcpy(p, bottom, rowLength * height);
    } else {
        for (size_t i = 0; i < height; ++i) {
            uint8_t* row = p + i * rowLength;
            std::memcpy(row, bitmap.GetLine(static_cast<int32_t>(height - 1 - i)), rowBytes);
            if (rowLength > rowBytes) std::memset(row + rowBytes, 0, rowLength - rowBytes);
        }
    }
}

HGLOBAL MakeGlobalDib(const CDibBitmap& bitmap) {
    // Every byte is written, the row padding included: zeroing a screen-sized block first would
    // only touch it twice.
    UniqueGlobal block(::GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, DibBlockBytes(bitmap)));
    if (!block) return nullptr;
    GlobalLockGuard lock(block.get());
    if (!lock) return nullptr;
    WriteDibBlock(bitmap, static_cast<uint8_t*>(lock.get()));
    lock.reset();
    return block.release();
}

namespace {

// The palette that goes with a DIB of bitmap on the clipboard: the bitmap's own colours when it
// has a colour table, so that a reader that applies CF_PALETTE to the DIB gets the same colours
// back; otherwise the colours of the default palette. Either way a palette of our own: the
// clipboard deletes what it is given, and a stock object must not be handed over for deletion.
HPALETTE MakeClipboardPalette(const CDibBitmap& bitmap) {
    if (bitmap.GetPalette() != nullptr) return CreatePaletteFromTable(bitmap.GetPalette(), bitmap.GetNumColors());
    PALETTEENTRY entries[256];
    UINT n = ::GetPaletteEntries(static_cast<HPALETTE>(::GetStockObject(DEFAULT_PALETTE)), 0, 256, entries);
    PLRGBQuad table[256];
    for (UINT i = 0; i < n; ++i) table[i] = PLRGBQuad{entries[i].peBlue, entries[i].peGreen, entries[i].peRed, 0};
    return CreatePaletteFromTable(table, static_cast<int>(n));
}

// Replaces the clipboard's content with the DIB block and the palette; the clipboard takes
// what it accepts, the rest is freed here.
void PutOnClipboard(UniqueGlobal block, UniquePalette palette) {
    ClipboardGuard clipboard(nullptr, 500);
    if (!clipboard) return;
    if (!::EmptyClipboard()) return;
    if (::SetClipboardData(CF_DIB, block.get()) != nullptr) (void)block.release();
    if (palette && ::SetClipboardData(CF_PALETTE, palette.get()) != nullptr) (void)palette.release();
}

}  // namespace

void PutDibOnClipboard(const CDibBitmap& bitmap, HGLOBAL dib) {
    UniqueGlobal block(dib);
    UniquePalette palette(MakeClipboardPalette(bitmap));
    PutOnClipboard(std::move(block), std::move(palette));
}

bool OfferDibOnClipboard(const CDibBitmap& bitmap) {
    // The copy is made in the pixel memory the library keeps, whose pages are mapped already;
    // the global block the clipboard wants is made only when the picture is pasted.
    CPixelMemoryBlock copy(DibBlockBytes(bitmap));
    if (!copy) return false;
    WriteDibBlock(bitmap, copy.data());
    UniquePalette palette(MakeClipboardPalette(bitmap));
    return CClipboardOffer::Instance().Offer(std::move(copy), std::move(palette));
}

void RenderOfferedClipboard() { CClipboardOffer::Instance().RenderNow(); }

bool QueryDeviceBitmap(HBITMAP handle, DeviceBitmapInfo& info) {
    if (handle == nullptr) return false;
    BITMAP bm{};
    if (::GetObject(handle, sizeof bm, &bm) != static_cast<int>(sizeof bm)) return false;
    if (bm.bmWidth <= 0 || bm.bmHeight <= 0) return false;
    info.width = bm.bmWidth;
    info.height = bm.bmHeight;
    info.deviceBits = bm.bmPlanes * bm.bmBitsPixel;
    if (info.deviceBits <= 1)
        info.depth = 1;
    else if (info.deviceBits <= 4)
        info.depth = 4;
    else if (info.deviceBits <= 8)
        info.depth = 8;
    else
        info.depth = 32;  // 16 and 24-bit devices are read as 32 bits
    return true;
}

bool ReadDeviceBitmapRows(HBITMAP handle, const DeviceBitmapInfo& info, PLBitmapInfoHeader* header, void* bits) {
    if (header == nullptr || bits == nullptr) return false;
    WindowDC screen(nullptr);
    if (!screen) return false;
    // A logical palette from the screen's system palette, for palette devices; true-colour
    // screens have none and need none.
    UniquePalette systemPalette;
    if (info.deviceBits <= 8) {
        int count = 1 << info.deviceBits;
        LogPalette256 lp{};
        lp.version = 0x300;
        lp.count = static_cast<WORD>(count);
        if (::GetSystemPaletteEntries(screen.get(), 0, static_cast<UINT>(count), lp.entries) ==
            static_cast<UINT>(count))
            systemPalette.reset(::CreatePalette(reinterpret_cast<const LOGPALETTE*>(&lp)));
    }
    PaletteSelection selection(screen.get(), systemPalette.get(), false);

    BitmapInfo256 bi{};
    bi.header.biSize = sizeof(BITMAPINFOHEADER);
    bi.header.biWidth = info.width;
    bi.header.biHeight = info.height;
    bi.header.biPlanes = 1;
    bi.header.biBitCount = info.depth;
    bi.header.biCompression = BI_RGB;
    if (::GetDIBits(screen.get(), handle, 0, static_cast<UINT>(info.height), nullptr,
                    reinterpret_cast<BITMAPINFO*>(&bi), DIB_RGB_COLORS) == 0)
        return false;
    // GDI writes the colour table behind the bitmap's own header; the header itself is ours.
    std::memcpy(&bi.header, header, sizeof bi.header);
    int lines = ::GetDIBits(screen.get(), handle, 0, static_cast<UINT>(info.height), bits,
                            reinterpret_cast<BITMAPINFO*>(&bi), DIB_RGB_COLORS);
    if (lines != info.height) return false;
    if (info.depth <= 8) {
        auto* table = reinterpret_cast<RGBQUAD*>(reinterpret_cast<uint8_t*>(header) + header->biSize);
        std::memcpy(table, bi.colors, sizeof(RGBQUAD) * (size_t{1} << info.depth));
    }
    return true;
}

}  // namespace dibgdi
