#include "decode/MetafileDecoder.h"

#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>
#include <vector>

#include "decode/DecoderSupport.h"
#include "framework/Handles.h"

namespace {

constexpr uint32_t kPlaceableKey = 0x9AC6CDD7u;
constexpr uint32_t kPlaceableHeaderSize = 22;

// Selects a palette into a DC for one scope.
class CPaletteSelection {
public:
    CPaletteSelection(HDC dc, HPALETTE palette) : m_dc(dc) {
        if (palette != nullptr) {
            m_old = ::SelectPalette(dc, palette, FALSE);
            ::RealizePalette(dc);
        }
    }
    ~CPaletteSelection() {
        if (m_old != nullptr) ::SelectPalette(m_dc, m_old, FALSE);
    }
    CPaletteSelection(const CPaletteSelection&) = delete;
    CPaletteSelection& operator=(const CPaletteSelection&) = delete;

private:
    HDC m_dc;
    HPALETTE m_old = nullptr;
};

int16_t Le16(const uint8_t* p) { return static_cast<int16_t>(p[0] | (p[1] << 8)); }

}  // namespace

CMetafileDecoder::CMetafileDecoder() = default;

CMetafileDecoder::~CMetafileDecoder() = default;

void CMetafileDecoder::DoDecode(CDibBitmap& bitmap, PLPaletteBlock& palette, int& wantedDepth, CByteSource& source) {
    std::string name = source.GetName();
    for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    const bool enhanced = name.find(".EMF") != std::string::npos;

    uint32_t size = source.GetBytesLeft();
    const uint8_t* data = source.ReadEverything();
    WindowDC screen(nullptr);
    if (!screen.get()) RaiseError(PLErr::NoMemory, "Cannot allocate device context.");

    UniqueEnhMetaFile metafile;
    bool placeable = false;
    int16_t placeLeft = 0, placeTop = 0, placeRight = 0, placeBottom = 0;
    uint16_t unitsPerInch = 0;
    if (enhanced) {
        metafile.reset(::SetEnhMetaFileBits(size, data));
    } else {
        if (size >= kPlaceableHeaderSize &&
            static_cast<uint32_t>(data[0] | (data[1] << 8) | (data[2] << 16) | (static_cast<uint32_t>(data[3]) << 24)) ==
                kPlaceableKey) {
            placeable = true;
            placeLeft = Le16(data + 6);
            placeTop = Le16(data + 8);
            placeRight = Le16(data + 10);
            placeBottom = Le16(data + 12);
            unitsPerInch = static_cast<uint16_t>(data[14] | (data[15] << 8));
            data += kPlaceableHeaderSize;
            size -= kPlaceableHeaderSize;
        }
        METAFILEPICT picture{};
        METAFILEPICT* picturePtr = nullptr;
        if (placeable && unitsPerInch != 0) {
            // Extent in 0.01 mm, so that the picture keeps its size.
            picture.mm = MM_ANISOTROPIC;
            picture.xExt = MulDiv(placeRight - placeLeft, 2540, unitsPerInch);
            picture.yExt = MulDiv(placeBottom - placeTop, 2540, unitsPerInch);
            picturePtr = &picture;
        }
        metafile.reset(::SetWinMetaFileBits(size, data, screen.get(), picturePtr));
    }
    source.Skip(source.GetBytesLeft());
    if (!metafile) RaiseError(PLErr::Unsupported, "Windows Metafile functions failed to load this image.");

    ENHMETAHEADER header{};
    if (::GetEnhMetaFileHeader(metafile.get(), sizeof header, &header) == 0)
        RaiseError(PLErr::UnknownVariant, "No header information in metafile");

    // Size in screen pixels.
    int64_t width, height;
    if (placeable && unitsPerInch != 0) {
        width = static_cast<int64_t>(placeRight - placeLeft) * ::GetDeviceCaps(screen.get(), LOGPIXELSX) / unitsPerInch;
        height = static_cast<int64_t>(placeBottom - placeTop) * ::GetDeviceCaps(screen.get(), LOGPIXELSY) / unitsPerInch;
    } else {
        int64_t frameWidth = static_cast<int64_t>(header.rclFrame.right) - header.rclFrame.left;
        int64_t frameHeight = static_cast<int64_t>(header.rclFrame.bottom) - header.rclFrame.top;
        width = header.szlMillimeters.cx > 0 ? frameWidth * header.szlDevice.cx / (header.szlMillimeters.cx * 100LL) : 0;
        height = header.szlMillimeters.cy > 0 ? frameHeight * header.szlDevice.cy / (header.szlMillimeters.cy * 100LL) : 0;
    }
    if (width <= 0) width = 320;
    if (height <= 0) height = 200;

    // A metafile with its own colours (1 to 255) becomes an 8-bit bitmap of them.
    UINT colors = ::GetEnhMetaFilePaletteEntries(metafile.get(), 0, nullptr);
    UniquePalette logicalPalette;
    int depth = wantedDepth == 32 ? 32 : 8;
    if (colors >= 1 && colors <= 255) {
        std::vector<PALETTEENTRY> entries(colors);
        ::GetEnhMetaFilePaletteEntries(metafile.get(), colors, entries.data());
        std::vector<uint8_t> block(sizeof(LOGPALETTE) + 256 * sizeof(PALETTEENTRY), 0);
        auto* lp = reinterpret_cast<LOGPALETTE*>(block.data());
        lp->palVersion = 0x300;
        lp->palNumEntries = 256;
        palette = AllocPalette();
        for (UINT i = 0; i < colors; ++i) {
            lp->palPalEntry[i] = entries[i];
            palette[i] = PLRGBQuad{entries[i].peBlue, entries[i].peGreen, entries[i].peRed, 255};
        }
        logicalPalette.reset(::CreatePalette(lp));
        if (!logicalPalette) RaiseError(PLErr::NoMemory, "Cannot allocate palette.");
    } else {
        depth = 32;
    }
    wantedDepth = depth;
    // Checked before GDI is asked for a bitmap of that size.
    CreateBitmap(bitmap, width, height, depth, false);

    UniqueDC memory(::CreateCompatibleDC(screen.get()));
    if (!memory) RaiseError(PLErr::NoMemory, "Cannot allocate device context.");
    UniqueBitmap target(::CreateCompatibleBitmap(screen.get(), static_cast<int>(width), static_cast<int>(height)));
    if (!target) RaiseError(PLErr::NoMemory, "Cannot allocate memory bitmap.");
    {
        SelectObjectGuard selection(memory.get(), target.get());
        CPaletteSelection paletteSelection(memory.get(), logicalPalette.get());
        RECT area{0, 0, static_cast<LONG>(width), static_cast<LONG>(height)};
        ::FillRect(memory.get(), &area, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
        ::PlayEnhMetaFile(memory.get(), metafile.get(), &area);
    }

    // The rendered pixels, read as 32-bit rows a band at a time, so that the picture is held
    // twice (the device bitmap and the target), never three times.
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = static_cast<LONG>(width);
    info.bmiHeader.biHeight = static_cast<LONG>(height);  // bottom-up: scan line 0 is the last row
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    const int32_t w = static_cast<int32_t>(width);
    const int32_t h = static_cast<int32_t>(height);
    const int32_t bandRows = std::max<int32_t>(1, std::min<int32_t>(h, static_cast<int32_t>((1u << 20) / (4u * w))));
    std::vector<uint8_t> band;
    try {
        band.resize(static_cast<size_t>(bandRows) * static_cast<size_t>(w) * 4);
    } catch (const std::bad_alloc&) {
        RaiseError(PLErr::NoMemory, "Out of memory during allocation of header.");
    }

    CPLBitmapLock lock(bitmap, false, true);
    if (depth == 8) bitmap.CopyPalette(palette.get());
    PLPixel32 lastColor = 0;
    uint8_t lastIndex = static_cast<uint8_t>(bitmap.FindNearestColor(lastColor));
    for (int32_t top = 0; top < h; top += bandRows) {
        const int32_t rows = std::min(bandRows, h - top);
        // Rows top .. top + rows - 1 are scan lines h - top - rows .. h - top - 1.
        const UINT firstScan = static_cast<UINT>(h - top - rows);
        if (::GetDIBits(memory.get(), target.get(), firstScan, static_cast<UINT>(rows), band.data(), &info,
                        DIB_RGB_COLORS) == 0)
            RaiseError(PLErr::NoMemory, "Cannot allocate memory bitmap.");
        for (int32_t i = 0; i < rows; ++i) {
            const uint8_t* src = band.data() + static_cast<size_t>(rows - 1 - i) * static_cast<size_t>(w) * 4;
            uint8_t* dst = bitmap.GetLine(top + i);
            for (int32_t x = 0; x < w; ++x) {
                PLPixel32 c = PLMakePixel(src[4 * x + 2], src[4 * x + 1], src[4 * x], 255);
                if (depth == 32) {
                    PLStorePixel(dst + 4 * x, c);
                    continue;
                }
                if (c != lastColor) {
                    lastColor = c;
                    lastIndex = static_cast<uint8_t>(bitmap.FindNearestColor(c));
                }
                dst[x] = lastIndex;
            }
        }
    }
}
