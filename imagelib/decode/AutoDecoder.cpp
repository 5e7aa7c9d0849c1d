#include "decode/AutoDecoder.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <new>
#include <string>

#include "decode/BMPDecoder.h"
#include "decode/PCXDecoder.h"
#include "decode/PGMDecoder.h"
#include "decode/PICTDecoder.h"
#include "decode/TGADecoder.h"
#if defined(LUMATRE_HAVE_METAFILE_DECODER)
#include "decode/MetafileDecoder.h"
#endif
#if defined(LUMATRE_HAVE_JPEG_DECODER)
#include "decode/JPEGDecoder.h"
#endif
#if defined(LUMATRE_HAVE_PNG_DECODER)
#include "decode/PNGDecoder.h"
#endif
#if defined(LUMATRE_HAVE_TIFF_DECODER)
#include "decode/TIFFDecoder.h"
#endif
#if defined(LUMATRE_HAVE_GIF_DECODER)
#include "decode/GIFDecoder.h"
#endif

namespace {

// How far into the data recognition looks: the 512-byte PICT header and the version opcode
// behind it.
constexpr size_t kSniffBytes = 526;

bool HasBytes(const uint8_t* data, size_t size, size_t offset, std::initializer_list<uint8_t> bytes) {
    if (offset + bytes.size() > size) return false;
    return std::equal(bytes.begin(), bytes.end(), data + offset);
}

uint32_t LE32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
           (static_cast<uint32_t>(p[3]) << 24);
}

bool IsTGAHeader(const uint8_t* data, size_t size) {
    if (size < 17) return false;
    uint8_t mapType = data[1], imageType = data[2], entrySize = data[7], depth = data[16];
    if (mapType > 1) return false;
    switch (imageType) {
    case 0: case 1: case 2: case 3: case 9: case 10: case 11: break;
    default: return false;
    }
    switch (entrySize) {
    case 0: case 8: case 15: case 16: case 24: case 32: break;
    default: return false;
    }
    switch (depth) {
    case 8: case 15: case 16: case 24: case 32: return true;
    default: return false;
    }
}

bool IsPICT(const uint8_t* data, size_t size, size_t totalSize) {
    if (totalSize <= 540) return false;
    return HasBytes(data, size, 522, {0x00, 0x11, 0x02, 0xFF}) || HasBytes(data, size, 522, {0x00, 0x11, 0x01}) ||
           HasBytes(data, size, 522, {0x11, 0x01, 0x01, 0x00});
}

bool IsEPSWithTIFF(const uint8_t* data, size_t size) {
    if (!HasBytes(data, size, 0, {0xC5, 0xD0, 0xD3, 0xC6}) && !HasBytes(data, size, 0, {0xC6, 0xD3, 0xD0, 0xC5}))
        return false;
    if (size < 28) return false;
    return LE32(data + 20) != 0 && LE32(data + 24) != 0;
}

}  // namespace

CAutoDecoder::CAutoDecoder() {
    m_bmpDecoder = std::make_unique<CBMPDecoder>();
    m_tgaDecoder = std::make_unique<CTGADecoder>();
#if defined(LUMATRE_HAVE_TIFF_DECODER)
    m_tiffDecoder = std::make_unique<CTIFFDecoder>();
#endif
#if defined(LUMATRE_HAVE_JPEG_DECODER)
    m_jpegDecoder = std::make_unique<CJPEGDecoder>();
#endif
    m_pictDecoder = std::make_unique<CPICTDecoder>(m_jpegDecoder.get());
#if defined(LUMATRE_HAVE_PNG_DECODER)
    m_pngDecoder = std::make_unique<CPNGDecoder>();
#endif
#if defined(LUMATRE_HAVE_METAFILE_DECODER)
    m_metafileDecoder = std::make_unique<CMetafileDecoder>();
#endif
    m_pcxDecoder = std::make_unique<CPCXDecoder>();
    m_pgmDecoder = std::make_unique<CPGMDecoder>();
#if defined(LUMATRE_HAVE_GIF_DECODER)
    m_gifDecoder = std::make_unique<CGIFDecoder>();
#endif
}

CAutoDecoder::~CAutoDecoder() = default;

PLImageFormat CAutoDecoder::SniffFormat(const char* name, const uint8_t* data, size_t size, size_t totalSize) {
    if (name != nullptr) {
        std::string upper(name);
        for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        if (upper.find(".WMF") != std::string::npos) return PLImageFormat::WMF;
        if (upper.find(".EMF") != std::string::npos) return PLImageFormat::EMF;
    }
    if (data == nullptr) size = 0;
    if (totalSize < size) totalSize = size;
    if (HasBytes(data, size, 0, {'B', 'M'})) return PLImageFormat::BMP;
    if (IsTGAHeader(data, size)) return PLImageFormat::TGA;
    if (HasBytes(data, size, 0, {'G', 'I', 'F', '8'})) return PLImageFormat::GIF;
    if (HasBytes(data, size, 0, {0x49, 0x49, 0x2A, 0x00}) || HasBytes(data, size, 0, {0x4D, 0x4D, 0x00, 0x2A}))
        return PLImageFormat::TIFF;
    if (IsPICT(data, size, totalSize)) return PLImageFormat::PICT;
    if (HasBytes(data, size, 0, {0xFF, 0xD8, 0xFF})) return PLImageFormat::JPEG;
    if (HasBytes(data, size, 0, {0x89, 'P', 'N', 'G'})) return PLImageFormat::PNG;
    if (IsEPSWithTIFF(data, size)) return PLImageFormat::EPSTIFF;
    if (size >= 3 && data[0] == 0x0A && data[2] == 1) return PLImageFormat::PCX;
    if (size >= 2 && data[0] == 'P' && (data[1] == '2' || data[1] == '5')) return PLImageFormat::PGM;
    return PLImageFormat::Unknown;
}

const char* CAutoDecoder::RecognizedText(PLImageFormat format) {
    switch (format) {
    case PLImageFormat::BMP: return "Windows bitmap recognized.\n";
    case PLImageFormat::PICT: return "Mac PICT recognized.\n";
    case PLImageFormat::TGA: return "TGA file recognized.\n";
    case PLImageFormat::TIFF: return "TIFF file recognized.\n";
    case PLImageFormat::JPEG: return "JPEG file recognized.\n";
    case PLImageFormat::PNG: return "PNG file recognized.\n";
    case PLImageFormat::WMF: return "WMF file recognized.\n";
    case PLImageFormat::EMF: return "EMF file recognized.\n";
    case PLImageFormat::PCX: return "PCX file recognized.\n";
    case PLImageFormat::PGM: return "PGM file recognized.\n";
    case PLImageFormat::GIF: return "GIF file recognized.\n";
    case PLImageFormat::EPSTIFF: return "TIFF preview in EPS file recognized.\n";
    case PLImageFormat::Unknown: break;
    }
    return nullptr;
}

CImageDecoder* CAutoDecoder::DecoderFor(PLImageFormat format) const {
    switch (format) {
    case PLImageFormat::BMP: return m_bmpDecoder.get();
    case PLImageFormat::TGA: return m_tgaDecoder.get();
    case PLImageFormat::GIF: return m_gifDecoder.get();
    case PLImageFormat::TIFF:
    case PLImageFormat::EPSTIFF: return m_tiffDecoder.get();
    case PLImageFormat::PICT: return m_pictDecoder.get();
    case PLImageFormat::JPEG: return m_jpegDecoder.get();
    case PLImageFormat::PNG: return m_pngDecoder.get();
    case PLImageFormat::WMF:
    case PLImageFormat::EMF: return m_metafileDecoder.get();
    case PLImageFormat::PCX: return m_pcxDecoder.get();
    case PLImageFormat::PGM: return m_pgmDecoder.get();
    case PLImageFormat::Unknown: break;
    }
    return nullptr;
}

void CAutoDecoder::MakeBmp(CByteSource& source, CDibBitmap& bitmap, int wantedDepth) {
    std::string name;
    try {
        name = source.GetName();
    } catch (const std::bad_alloc&) {
        RaiseError(PLErr::NoMemory, "Out of memory during strdup.");
    }
    uint32_t peek = std::min<uint32_t>(source.GetBytesLeft(), kSniffBytes);
    const uint8_t* data = source.GetBufferPtr(peek);
    PLImageFormat format = SniffFormat(name.c_str(), data, peek, source.GetBytesLeft());
    if (format == PLImageFormat::Unknown) RaiseError(PLErr::UnknownFileType, "Unknown file type.");
    PLTrace(2, RecognizedText(format));

    CImageDecoder* decoder = DecoderFor(format);
    if (decoder == nullptr) RaiseError(PLErr::Unsupported, "Library not compiled for this file type.");
    if (format == PLImageFormat::EPSTIFF) {
        // The TIFF preview lies at the offset in bytes 20-23 of the EPS header.
        uint32_t offset = LE32(data + 20);
        source.Skip(offset);
    }
    decoder->MakeBmp(source, bitmap, wantedDepth);
}

void CAutoDecoder::DoDecode(CDibBitmap&, PLPaletteBlock&, int&, CByteSource&) {
    RaiseError(PLErr::Unsupported, "Library not compiled for this file type.");
}
