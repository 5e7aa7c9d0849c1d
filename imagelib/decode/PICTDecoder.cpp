#include "decode/PICTDecoder.h"

#include <algorithm>
#include <vector>

#include "decode/DecoderSupport.h"

namespace {

// Data lengths of the opcodes 0x00-0xA1: a byte count, or one of these marks.
constexpr int kWordLength = -1;  // a 16-bit length follows, then that many bytes
constexpr int kHandled = -2;     // the opcode's data is read by the decoder itself

struct OpcodeInfo {
    const char* name;
    int length;
};

// clang-format off
const OpcodeInfo kOpcodes[0xA2] = {
    /* 0x00 */ {"NOP", 0}, {"Clip", kHandled}, {"BkPat", 8}, {"TxFont", 2},
    /* 0x04 */ {"TxFace", 1}, {"TxMode", 2}, {"SpExtra", 4}, {"PnSize", 4},
    /* 0x08 */ {"PnMode", 2}, {"PnPat", 8}, {"FillPat", 8}, {"OvSize", 4},
    /* 0x0C */ {"Origin", 4}, {"TxSize", 2}, {"FgColor", 4}, {"BkColor", 4},
    /* 0x10 */ {"TxRatio", 8}, {"Version", 1}, {"BkPixPat", kHandled}, {"PnPixPat", kHandled},
    /* 0x14 */ {"FillPixPat", kHandled}, {"PnLocHFrac", 2}, {"ChExtra", 2}, {"reserved", 0},
    /* 0x18 */ {"reserved", 0}, {"reserved", 0}, {"RGBFgCol", 6}, {"RGBBkCol", 6},
    /* 0x1C */ {"HiliteMode", 0}, {"HiliteColor", 6}, {"DefHilite", 0}, {"OpColor", 6},
    /* 0x20 */ {"Line", 8}, {"LineFrom", 4}, {"ShortLine", 6}, {"ShortLineFrom", 2},
    /* 0x24 */ {"reserved", kWordLength}, {"reserved", kWordLength}, {"reserved", kWordLength}, {"reserved", kWordLength},
    /* 0x28 */ {"LongText", kHandled}, {"DHText", kHandled}, {"DVText", kHandled}, {"DHDVText", kHandled},
    /* 0x2C */ {"reserved", kWordLength}, {"reserved", kWordLength}, {"reserved", kWordLength}, {"reserved", kWordLength},
    /* 0x30 */ {"frameRect", 8}, {"paintRect", 8}, {"eraseRect", 8}, {"invertRect", 8},
    /* 0x34 */ {"fillRect", 8}, {"reserved", 8}, {"reserved", 8}, {"reserved", 8},
    /* 0x38 */ {"frameSameRect", 0}, {"paintSameRect", 0}, {"eraseSameRect", 0}, {"invertSameRect", 0},
    /* 0x3C */ {"fillSameRect", 0}, {"reserved", 0}, {"reserved", 0}, {"reserved", 0},
    /* 0x40 */ {"frameRRect", 8}, {"paintRRect", 8}, {"eraseRRect", 8}, {"invertRRect", 8},
    /* 0x44 */ {"fillRRect", 8}, {"reserved", 8}, {"reserved", 8}, {"reserved", 8},
    /* 0x48 */ {"frameSameRRect", 0}, {"paintSameRRect", 0}, {"eraseSameRRect", 0}, {"invertSameRRect", 0},
    /* 0x4C */ {"fillSameRRect", 0}, {"reserved", 0}, {"reserved", 0}, {"reserved", 0},
    /* 0x50 */ {"frameOval", 8}, {"paintOval", 8}, {"eraseOval", 8}, {"invertOval", 8},
    /* 0x54 */ {"fillOval", 8}, {"reserved", 8}, {"reserved", 8}, {"reserved", 8},
    /* 0x58 */ {"frameSameOval", 0}, {"paintSameOval", 0}, {"eraseSameOval", 0}, {"invertSameOval", 0},
    /* 0x5C */ {"fillSameOval", 0}, {"reserved", 0}, {"reserved", 0}, {"reserved", 0},
    /* 0x60 */ {"frameArc", 12}, {"paintArc", 12}, {"eraseArc", 12}, {"invertArc", 12},
    /* 0x64 */ {"fillArc", 12}, {"reserved", 12}, {"reserved", 12}, {"reserved", 12},
    /* 0x68 */ {"frameSameArc", 4}, {"paintSameArc", 4}, {"eraseSameArc", 4}, {"invertSameArc", 4},
    /* 0x6C */ {"fillSameArc", 4}, {"reserved", 4}, {"reserved", 4}, {"reserved", 4},
    /* 0x70 */ {"framePoly", kHandled}, {"paintPoly", kHandled}, {"erasePoly", kHandled}, {"invertPoly", kHandled},
    /* 0x74 */ {"fillPoly", kHandled}, {"reserved", kHandled}, {"reserved", kHandled}, {"reserved", kHandled},
    /* 0x78 */ {"frameSamePoly", 0}, {"paintSamePoly", 0}, {"eraseSamePoly", 0}, {"invertSamePoly", 0},
    /* 0x7C */ {"fillSamePoly", 0}, {"reserved", 0}, {"reserved", 0}, {"reserved", 0},
    /* 0x80 */ {"frameRgn", kHandled}, {"paintRgn", kHandled}, {"eraseRgn", kHandled}, {"invertRgn", kHandled},
    /* 0x84 */ {"fillRgn", kHandled}, {"reserved", kHandled}, {"reserved", kHandled}, {"reserved", kHandled},
    /* 0x88 */ {"frameSameRgn", 0}, {"paintSameRgn", 0}, {"eraseSameRgn", 0}, {"invertSameRgn", 0},
    /* 0x8C */ {"fillSameRgn", 0}, {"reserved", 0}, {"reserved", 0}, {"reserved", 0},
    /* 0x90 */ {"BitsRect", kHandled}, {"BitsRgn", kHandled}, {"reserved", kWordLength}, {"reserved", kWordLength},
    /* 0x94 */ {"reserved", kWordLength}, {"reserved", kWordLength}, {"reserved", kWordLength}, {"reserved", kWordLength},
    /* 0x98 */ {"PackBitsRect", kHandled}, {"PackBitsRgn", kHandled}, {"DirectBitsRect", kHandled}, {"DirectBitsRgn", kHandled},
    /* 0x9C */ {"reserved", kWordLength}, {"reserved", kWordLength}, {"reserved", kWordLength}, {"reserved", kWordLength},
    /* 0xA0 */ {"ShortComment", 2}, {"LongComment", kHandled},
};
// clang-format on

struct PictRect {
    int32_t top = 0, left = 0, bottom = 0, right = 0;
};

PictRect ReadRect(CByteSource& source) {
    PictRect r;
    r.top = static_cast<int16_t>(source.ReadWordBE());
    r.left = static_cast<int16_t>(source.ReadWordBE());
    r.bottom = static_cast<int16_t>(source.ReadWordBE());
    r.right = static_cast<int16_t>(source.ReadWordBE());
    return r;
}

// The fields of a pixel map behind its row bytes and bounds.
struct PixMap {
    uint16_t version = 0;
    uint16_t packType = 0;
    uint32_t packSize = 0;
    uint16_t pixelType = 0;
    uint16_t pixelSize = 1;
    uint16_t cmpCount = 1;
    uint16_t cmpSize = 1;
    uint32_t planeBytes = 0;
};

PixMap ReadPixMap(CByteSource& source) {
    PixMap pm;
    pm.version = source.ReadWordBE();
    pm.packType = source.ReadWordBE();
    pm.packSize = source.ReadLongBE();
    source.Skip(8);  // horizontal and vertical resolution
    pm.pixelType = source.ReadWordBE();
    pm.pixelSize = source.ReadWordBE();
    pm.cmpCount = source.ReadWordBE();
    pm.cmpSize = source.ReadWordBE();
    pm.planeBytes = source.ReadLongBE();
    source.Skip(8);  // colour table handle, reserved
    PLTrace(3, "PixMap header info:\n");
    PLTraceF(3, "  version: 0x%x\n", pm.version);
    PLTraceF(3, "  packType: %d\n", pm.packType);
    PLTraceF(3, "  packSize: %ld\n", static_cast<long>(pm.packSize));
    PLTraceF(3, "  pixelSize: %d\n", pm.pixelSize);
    PLTraceF(3, "  cmpCount: %d\n", pm.cmpCount);
    PLTraceF(3, "  cmpSize: %d.\n", pm.cmpSize);
    PLTraceF(3, "  planeBytes: %ld.\n", static_cast<long>(pm.planeBytes));
    return pm;
}

// Skips a region or polygon: a 16-bit size that counts itself, then the rest.
void SkipRegion(CByteSource& source) {
    PLTrace(3, "Skipping polygon or region.\n");
    uint16_t size = source.ReadWordBE();
    if (size < 2) CImageDecoder::RaiseError(PLErr::CorruptData, "Error decoding pict: Bad region size.");
    source.Skip(size - 2u);
}

// Reads a colour table into the palette block (entries beyond 256 are read and dropped).
void ReadColorTable(CByteSource& source, PLRGBQuad* palette) {
    PLTrace(3, "Getting color table info.\n");
    source.Skip(4);  // seed
    uint16_t flags = source.ReadWordBE();
    uint32_t entries = source.ReadWordBE() + 1u;
    PLTraceF(3, "Palette Size:  %d\n", static_cast<int>(entries));
    PLTrace(3, "Reading Palette.\n");
    const uint8_t* p = source.ReadNBytes(entries * 8);
    for (uint32_t i = 0; i < entries; ++i, p += 8) {
        // Device tables (flag 0x8000) index by position; the others by each entry's value.
        uint32_t index = (flags & 0x8000) ? i : static_cast<uint32_t>((p[0] << 8) | p[1]);
        if (index > 255) CImageDecoder::RaiseError(PLErr::CorruptData, "pixel value greater than colour table size.");
        auto level = [p](int offset) {
            uint32_t v = static_cast<uint32_t>((p[offset] << 8) | p[offset + 1]);
            return static_cast<uint8_t>((v * 255u + 32767u) / 65535u);
        };
        palette[index] = PLRGBQuad{level(6), level(4), level(2), 255};
    }
}

// Reads one row of bitmap data into row (rowLength bytes, zero-filled when short): PackBits
// with a byte count in front (unit 1 or 2 bytes), or rowLength bytes as they are.
void ReadRow(CByteSource& source, bool packed, uint32_t rowBytes, int unit, std::vector<uint8_t>& row) {
    std::fill(row.begin(), row.end(), 0);
    const uint32_t rowLength = static_cast<uint32_t>(row.size());
    if (!packed) {
        const uint8_t* p = source.ReadNBytes(rowLength);
        std::copy(p, p + rowLength, row.begin());
        return;
    }
    uint32_t count = rowBytes > 250 ? source.ReadWordBE() : source.ReadByte();
    const uint8_t* p = source.ReadNBytes(count);
    uint32_t in = 0, out = 0;
    while (in < count) {
        uint8_t c = p[in++];
        if (c < 128) {
            uint32_t n = (c + 1u) * static_cast<uint32_t>(unit);
            n = std::min(n, count - in);
            for (uint32_t k = 0; k < n; ++k, ++out)
                if (out < rowLength) row[out] = p[in + k];
            in += n;
        } else if (c > 128) {
            uint32_t n = 257u - c;
            if (in + static_cast<uint32_t>(unit) > count) break;
            for (uint32_t k = 0; k < n; ++k)
                for (int u = 0; u < unit; ++u, ++out)
                    if (out < rowLength) row[out] = p[in + static_cast<uint32_t>(u)];
            in += static_cast<uint32_t>(unit);
        }
        // 128: no operation
    }
}

}  // namespace

CPICTDecoder::CPICTDecoder(CImageDecoder* jpegDecoder) : m_jpegDecoder(jpegDecoder) {}

CPICTDecoder::~CPICTDecoder() = default;

namespace {

// Everything that DoDecode needs while it walks the opcodes.
class CPictReader {
public:
    CPictReader(CByteSource& source, CDibBitmap& bitmap, PLPaletteBlock& palette, int& wantedDepth,
                CImageDecoder* jpeg)
        : m_source(source), m_bitmap(bitmap), m_palette(palette), m_wantedDepth(wantedDepth), m_jpeg(jpeg) {}

    void Decode();

private:
    void ReadHeader();
    uint32_t ReadOpcode();
    void SkipPixPat();
    void SkipText(uint32_t op);
    void DecodeBitmap(uint32_t op);
    void DecodeQuickTime();

    CByteSource& m_source;
    CDibBitmap& m_bitmap;
    PLPaletteBlock& m_palette;
    int& m_wantedDepth;
    CImageDecoder* m_jpeg;
    int m_version = 0;
};

void CPictReader::ReadHeader() {
    PLTrace(2, "Decoding mac pict.\n");
    m_source.Skip(512 + 2 + 8);  // file header, picture size, frame
    uint8_t b = m_source.ReadByte();
    while (b == 0) b = m_source.ReadByte();
    if (b != 0x11) CImageDecoder::RaiseError(PLErr::WrongSignature, "Error decoding pict: Version number missing.");
    m_version = m_source.ReadByte();
    if (m_version == 2) {
        if (m_source.ReadByte() != 0xFF) CImageDecoder::RaiseError(PLErr::WrongSignature, "Illegal version number.");
    } else if (m_version != 1) {
        CImageDecoder::RaiseError(PLErr::WrongSignature, "Illegal version number.");
    }
    PLTraceF(2, "PICT version %d found.\n", m_version);
}

uint32_t CPictReader::ReadOpcode() {
    if (m_version == 1) return m_source.ReadByte();
    if (m_source.GetPosition() & 1) m_source.Skip(1);  // version 2 opcodes lie on even positions
    return m_source.ReadWordBE();
}

void CPictReader::SkipPixPat() {
    uint16_t type = m_source.ReadWordBE();
    m_source.Skip(8);  // the black-and-white pattern
    if (type == 2) {
        m_source.Skip(6);  // RGB colour of a dither pattern
        return;
    }
    if (type != 1) CImageDecoder::RaiseError(PLErr::UnknownVariant, "Unknown pattern type in pixPat.");
    // A full pixel pattern: pixel map, colour table and rows.
    uint32_t rowBytes = m_source.ReadWordBE() & 0x3FFFu;
    PictRect bounds = ReadRect(m_source);
    PixMap pm = ReadPixMap(m_source);
    PLPaletteBlock scratch = CImageDecoder::AllocPalette();
    ReadColorTable(m_source, scratch.get());
    int64_t height = static_cast<int64_t>(bounds.bottom) - bounds.top;
    if (height <= 0 || rowBytes == 0) return;
    if (static_cast<uint64_t>(height) > m_source.GetBytesLeft())
        CImageDecoder::RaiseEndOfFile();
    std::vector<uint8_t> row(rowBytes);
    for (int64_t y = 0; y < height; ++y) ReadRow(m_source, rowBytes >= 8, rowBytes, 1, row);
    (void)pm;
}

void CPictReader::SkipText(uint32_t op) {
    switch (op) {
    case 0x28: m_source.Skip(4); break;  // location
    case 0x29:
    case 0x2A: m_source.Skip(1); break;  // dh or dv
    case 0x2B: m_source.Skip(2); break;  // dh and dv
    default: break;
    }
    m_source.Skip(m_source.ReadByte());
}

void CPictReader::DecodeQuickTime() {
    uint32_t length = m_source.ReadLongBE();
    uint32_t limit = std::min(length, m_source.GetBytesLeft());
    const uint8_t* p = m_source.GetBufferPtr(limit);
    for (uint32_t i = 0; i + 3 <= limit; ++i) {
        if (p[i] == 0xFF && p[i + 1] == 0xD8 && p[i + 2] == 0xFF) {
            if (m_jpeg == nullptr)
                CImageDecoder::RaiseError(PLErr::Unsupported, "Library not compiled for this file type.");
            m_source.Skip(i);
            m_jpeg->MakeBmp(m_source, m_bitmap, 32);
            m_wantedDepth = 32;
            return;
        }
    }
    CImageDecoder::RaiseError(PLErr::Unsupported, "PICT file contains unrecognized quicktime data.\n");
}

void CPictReader::DecodeBitmap(uint32_t op) {
    const bool direct = op == 0x9A || op == 0x9B;
    const bool hasRegion = op == 0x91 || op == 0x99 || op == 0x9B;
    if (direct) m_source.Skip(4);  // base address
    uint16_t rowWord = m_source.ReadWordBE();
    const bool isPixMap = direct || (rowWord & 0x8000) != 0;
    const uint32_t rowBytes = rowWord & 0x3FFFu;
    PictRect bounds = ReadRect(m_source);
    PixMap pm;
    m_palette = CImageDecoder::AllocPalette();
    if (isPixMap) {
        pm = ReadPixMap(m_source);
        if (!direct) ReadColorTable(m_source, m_palette.get());
    } else {
        PLTrace(3, "Reading version 1 bitmap.\n");
        m_palette[0] = PLRGBQuad{255, 255, 255, 255};
        m_palette[1] = PLRGBQuad{0, 0, 0, 255};
    }
    m_source.Skip(8 + 8 + 2);  // source and destination rectangles, transfer mode
    if (hasRegion) SkipRegion(m_source);

    const int pixelSize = pm.pixelSize;
    const bool indexed = pixelSize == 1 || pixelSize == 2 || pixelSize == 4 || pixelSize == 8;
    if (!indexed && pixelSize != 16 && pixelSize != 32)
        CImageDecoder::RaiseErrorF(PLErr::UnknownVariant, "Illegal bpp value in unpackbits: %d\n", pixelSize);
    if (direct == indexed && isPixMap)
        CImageDecoder::RaiseErrorF(PLErr::UnknownVariant, "Illegal bpp value in unpackbits: %d\n", pixelSize);

    const int64_t width = static_cast<int64_t>(bounds.right) - bounds.left;
    const int64_t height = static_cast<int64_t>(bounds.bottom) - bounds.top;
    if (width <= 0 || height <= 0)
        CImageDecoder::RaiseErrorF(PLErr::UnknownVariant, "Illegal image size %lld x %lld.",
                                   static_cast<long long>(width), static_cast<long long>(height));
    // How the rows are stored.
    const bool packed = rowBytes >= 8 && op != 0x90 && op != 0x91 && !(direct && pm.packType == 1) &&
                        !(direct && pm.packType == 2);
    uint32_t rowLength = rowBytes;
    int unit = 1;
    if (pixelSize == 32 && pm.packType == 2) {
        rowLength = static_cast<uint32_t>(width) * 3u;  // red, green, blue; the pad byte dropped
    } else if (pixelSize == 32 && packed) {
        rowLength = static_cast<uint32_t>(width) * std::max<uint32_t>(3u, std::min<uint32_t>(pm.cmpCount, 4u));
    } else if (pixelSize == 16 && packed) {
        unit = 2;
    }
    // Every row must hold the pixels that are taken from it.
    uint64_t needed = (static_cast<uint64_t>(width) * static_cast<uint64_t>(pixelSize) + 7) / 8;
    if (pixelSize == 32 && packed) needed = static_cast<uint64_t>(width) * 3u;
    if (pixelSize == 32 && pm.packType == 2) needed = static_cast<uint64_t>(width) * 3u;
    if (needed == 0 || needed > rowLength)
        CImageDecoder::RaiseError(PLErr::CorruptData, "Error decoding pict: Row bytes too small.");
    const uint64_t minBytes = packed ? static_cast<uint64_t>(height) : static_cast<uint64_t>(height) * rowLength;
    if (minBytes > m_source.GetBytesLeft()) CImageDecoder::RaiseEndOfFile();

    const int depth = indexed ? CImageDecoder::ChooseDepth(m_wantedDepth, 8) : 32;
    m_wantedDepth = depth;
    const bool alpha = pixelSize == 32 && pm.cmpCount == 4;
    CImageDecoder::CreateBitmap(m_bitmap, width, height, depth, alpha);
    if (depth == 8) m_bitmap.CopyPalette(m_palette.get());
    CPLBitmapLock lock(m_bitmap, false, true);

    std::vector<uint8_t> row(rowLength);
    std::vector<uint8_t> indices(indexed ? static_cast<size_t>(width) : 0);
    const int32_t w = static_cast<int32_t>(width);
    for (int32_t y = 0; y < static_cast<int32_t>(height); ++y) {
        ReadRow(m_source, packed, rowBytes, unit, row);
        uint8_t* dst = m_bitmap.GetLine(y);
        if (indexed) {
            const int mask = (1 << pixelSize) - 1;
            for (int32_t x = 0; x < w; ++x) {
                uint32_t bit = static_cast<uint32_t>(x) * static_cast<uint32_t>(pixelSize);
                indices[static_cast<size_t>(x)] =
                    static_cast<uint8_t>((row[bit >> 3] >> (8 - pixelSize - static_cast<int>(bit & 7))) & mask);
            }
            pldecode::StoreIndexRow(m_bitmap, y, indices.data(), m_palette.get());
        } else if (pixelSize == 16) {
            for (int32_t x = 0; x < w; ++x) {
                uint32_t v = static_cast<uint32_t>((row[2 * x] << 8) | row[2 * x + 1]);
                PLStorePixel(dst + 4 * x, PLMakePixel(static_cast<uint8_t>((v >> 7) & 0xF8),
                                                      static_cast<uint8_t>((v >> 2) & 0xF8),
                                                      static_cast<uint8_t>((v << 3) & 0xF8), 255));
            }
        } else if (pm.packType == 2) {
            for (int32_t x = 0; x < w; ++x)
                PLStorePixel(dst + 4 * x, PLMakePixel(row[3 * x], row[3 * x + 1], row[3 * x + 2], 255));
        } else if (packed) {
            // Component planes: red, green, blue, or alpha, red, green, blue.
            const uint8_t* plane = row.data();
            const bool four = rowLength == static_cast<uint32_t>(w) * 4u;
            const uint8_t* a = four ? plane : nullptr;
            const uint8_t* r = plane + (four ? w : 0);
            const uint8_t* g = r + w;
            const uint8_t* b = g + w;
            for (int32_t x = 0; x < w; ++x)
                PLStorePixel(dst + 4 * x, PLMakePixel(r[x], g[x], b[x], a != nullptr && alpha ? a[x] : 255));
        } else {
            // Unpacked 32-bit pixels: pad (or alpha), red, green, blue.
            for (int32_t x = 0; x < w; ++x) {
                const uint8_t* p = row.data() + 4 * x;
                PLStorePixel(dst + 4 * x, PLMakePixel(p[1], p[2], p[3], alpha ? p[0] : 255));
            }
        }
    }
}

void CPictReader::Decode() {
    ReadHeader();
    for (;;) {
        uint32_t op = ReadOpcode();
        if (op < 0xA2)
            PLTraceF(3, "Opcode: %s\n", kOpcodes[op].name);
        else
            PLTraceF(3, "Opcode: reserved=0x%x\n", op);

        if (op == 0xFF || op == 0xFFFF)
            CImageDecoder::RaiseError(PLErr::Unsupported, "PICT contained only vector data!\n");
        if (op < 0xA2) {
            const OpcodeInfo& info = kOpcodes[op];
            if (info.length >= 0) {
                m_source.Skip(static_cast<uint32_t>(info.length));
                continue;
            }
            if (info.length == kWordLength) {
                m_source.Skip(m_source.ReadWordBE());
                continue;
            }
            switch (op) {
            case 0x01:
                SkipRegion(m_source);
                break;
            case 0x12:
            case 0x13:
            case 0x14:
                SkipPixPat();
                break;
            case 0x28:
            case 0x29:
            case 0x2A:
            case 0x2B:
                SkipText(op);
                break;
            case 0x90:
            case 0x91:
            case 0x98:
            case 0x99:
            case 0x9A:
            case 0x9B:
                DecodeBitmap(op);
                return;
            case 0xA1:
                m_source.Skip(2);  // kind
                m_source.Skip(m_source.ReadWordBE());
                break;
            default:
                if ((op >= 0x70 && op <= 0x77) || (op >= 0x80 && op <= 0x87)) {
                    SkipRegion(m_source);
                    break;
                }
                CImageDecoder::RaiseErrorF(PLErr::UnknownVariant, "Can't handle Opcode %x.\n", op);
            }
            continue;
        }
        // The reserved ranges beyond the table, by their rules.
        if (op == 0x0C00) {
            m_source.Skip(24);  // version 2 header
        } else if (op == 0x8200) {
            DecodeQuickTime();
            return;
        } else if (op == 0x8201) {
            CImageDecoder::RaiseError(PLErr::Unsupported, "PICT file contains unrecognized quicktime data.\n");
        } else if (op <= 0xAF) {
            m_source.Skip(m_source.ReadWordBE());
        } else if (op <= 0xCF) {
            // no data
        } else if (op <= 0xFE) {
            m_source.Skip(m_source.ReadLongBE());
        } else if (op <= 0x01FF) {
            m_source.Skip(2);
        } else if (op <= 0x7FFF) {
            m_source.Skip((op >> 8) * 2u);
        } else if (op <= 0x80FF) {
            // no data
        } else {
            m_source.Skip(m_source.ReadLongBE());
        }
    }
}

}  // namespace

void CPICTDecoder::DoDecode(CDibBitmap& bitmap, PLPaletteBlock& palette, int& wantedDepth, CByteSource& source) {
    CPictReader reader(source, bitmap, palette, wantedDepth, m_jpegDecoder);
    reader.Decode();
}
