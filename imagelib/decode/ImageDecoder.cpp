#include "decode/ImageDecoder.h"

#include <cstdarg>
#include <new>
#include <string>

#include "decode/FileByteSource.h"

namespace {

uint64_t g_maxPixelBytes = CDibBitmap::MaxPixelBytes;

// Closes the source on every path out of a decode.
class CSourceCloser {
public:
    explicit CSourceCloser(CByteSource& source) : m_source(source) {}
    ~CSourceCloser() { m_source.Close(); }
    CSourceCloser(const CSourceCloser&) = delete;
    CSourceCloser& operator=(const CSourceCloser&) = delete;

private:
    CByteSource& m_source;
};

}  // namespace

CImageDecoder::CImageDecoder() = default;

CImageDecoder::~CImageDecoder() = default;

void CImageDecoder::SetMaxPixelBytes(uint64_t bytes) { g_maxPixelBytes = bytes; }

uint64_t CImageDecoder::GetMaxPixelBytes() { return g_maxPixelBytes; }

std::string CImageDecoder::FormatErrorText(const char* message) {
    std::string text = "Decoder error: ";
    text += message != nullptr ? message : "";
    text += '\n';
    return text;
}

void CImageDecoder::RaiseError(int code, const char* text) {
    std::string message = FormatErrorText(text);
    PLTrace(0, message.c_str());
    throw CTextException(code, std::move(message));
}

void CImageDecoder::RaiseEndOfFile() {
    PLTrace(0, CByteSource::EndOfFileText);
    throw CTextException(PLErr::EndOfFile, CByteSource::EndOfFileText);
}

void CImageDecoder::RaiseErrorF(int code, const char* format, ...) {
    va_list args;
    va_start(args, format);
    const std::string text = PLFormatText(format, args);
    va_end(args);
    RaiseError(code, text.c_str());
}

void CImageDecoder::MakeBmpFromFile(const char* path, CDibBitmap& bitmap, int wantedDepth, CProgressSink* progress) {
    if (path == nullptr) path = "";
    PLTraceF(1, "--- Decoding file %s. ---\n", path);
    CFileByteSource source(progress);
    int code = source.Open(path);
    if (code != 0) {
        std::string message = "Opening ";
        message += path;
        message += " failed";
        RaiseError(code, message.c_str());
    }
    CSourceCloser closer(source);
    MakeBmp(source, bitmap, wantedDepth);
}

void CImageDecoder::MakeBmpFromMemory(const void* data, size_t size, CDibBitmap& bitmap, int wantedDepth) {
    PLTraceF(1, "--- Decoding from memory at %p. ---\n", data);
    CMemoryByteSource source;
    int code = source.Open(data, size);
    if (code != 0) RaiseErrorF(code, "Reading from memory at %p failed", data);
    CSourceCloser closer(source);
    MakeBmp(source, bitmap, wantedDepth);
}

void CImageDecoder::MakeBmp(CByteSource& source, CDibBitmap& bitmap, int wantedDepth) {
    PLPaletteBlock palette;  // freed on every path
    int depth = wantedDepth;
    DoDecode(bitmap, palette, depth, source);
}

int CImageDecoder::ChooseDepth(int wantedDepth, int fileBitsPerPixel) {
    if ((wantedDepth == 0 || wantedDepth == 8) && fileBitsPerPixel <= 8) return 8;
    return 32;
}

void CImageDecoder::CreateBitmap(CDibBitmap& bitmap, int64_t width, int64_t height, int bitsPerPixel, bool hasAlpha) {
    CheckBitmapSize(width, height, bitsPerPixel);
    bitmap.Create(static_cast<int32_t>(width), static_cast<int32_t>(height), static_cast<uint16_t>(bitsPerPixel),
                  hasAlpha);
}

void CImageDecoder::CreateBitmapForOverwrite(CDibBitmap& bitmap, int64_t width, int64_t height, int bitsPerPixel,
                                             bool hasAlpha) {
    CheckBitmapSize(width, height, bitsPerPixel);
    bitmap.CreateForOverwrite(static_cast<int32_t>(width), static_cast<int32_t>(height),
                              static_cast<uint16_t>(bitsPerPixel), hasAlpha);
}

void CImageDecoder::CheckBitmapSize(int64_t width, int64_t height, int bitsPerPixel) {
    if (width < 1 || height < 1 || width > CDibBitmap::MaxDimension || height > CDibBitmap::MaxDimension)
        RaiseErrorF(PLErr::UnknownVariant, "Illegal image size %lld x %lld.", static_cast<long long>(width),
                    static_cast<long long>(height));
    uint64_t rowBytes = CDibBitmap::CalcDibRowLength(static_cast<int32_t>(width), static_cast<uint16_t>(bitsPerPixel));
    if (rowBytes * static_cast<uint64_t>(height) > g_maxPixelBytes)
        RaiseErrorF(PLErr::NoMemory, "Image of %lld x %lld pixels is too large.", static_cast<long long>(width),
                    static_cast<long long>(height));
}

PLPaletteBlock CImageDecoder::AllocPalette() {
    PLPaletteBlock palette(new (std::nothrow) PLRGBQuad[256]);
    if (!palette) RaiseError(PLErr::NoMemory, "Out of memory for palette.");
    for (int i = 0; i < 256; ++i) palette[i] = PLRGBQuad{0, 0, 0, 255};
    return palette;
}
