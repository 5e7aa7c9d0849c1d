// lumaconv: converts image files with the program's own image library.
//
//   lumaconv [options] IN OUT     decodes IN (any format the program opens) and writes OUT in
//                                 the format of its extension (bmp, jpg, png, tif, gif)
//   lumaconv --info IN            prints the format, size, depth and alpha of IN
//
// Options: --depth 8|32, --quality N (0-100, 0 = the library's default), --smoothing N (0-100),
// --optimize, --dpi X,Y. On failure the error's code and text go to stderr, the exit code is 1
// and no output file is left behind (an existing OUT is kept as it was); usage errors exit 2.

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <string>

#include "DibBitmap.h"
#include "decode/AutoDecoder.h"
#include "encode/EncoderChoice.h"

namespace {

const char kUsage[] =
    "usage: lumaconv [--depth 8|32] [--quality N] [--smoothing N] [--optimize] [--dpi X,Y] IN OUT\n"
    "       lumaconv --info IN\n"
    "OUT's extension chooses the format: .bmp .jpg .png .tif .gif\n";

int Usage(const char* problem) {
    if (problem) std::fprintf(stderr, "lumaconv: %s\n", problem);
    std::fputs(kUsage, stderr);
    return 2;
}

const char* FormatName(PLImageFormat format) {
    switch (format) {
    case PLImageFormat::BMP: return "BMP";
    case PLImageFormat::TGA: return "TGA";
    case PLImageFormat::GIF: return "GIF";
    case PLImageFormat::TIFF: return "TIFF";
    case PLImageFormat::PICT: return "PICT";
    case PLImageFormat::JPEG: return "JPEG";
    case PLImageFormat::PNG: return "PNG";
    case PLImageFormat::EPSTIFF: return "EPS (TIFF preview)";
    case PLImageFormat::PCX: return "PCX";
    case PLImageFormat::PGM: return "PGM";
    case PLImageFormat::WMF: return "WMF";
    case PLImageFormat::EMF: return "EMF";
    case PLImageFormat::Unknown: break;
    }
    return "unknown";
}

// A whole number in [low, high]; false for anything else.
bool ParseInt(const char* text, int low, int high, int* value) {
    if (!text || !*text) return false;
    char* end = nullptr;
    long v = std::strtol(text, &end, 10);
    if (*end != '\0' || v < low || v > high) return false;
    *value = static_cast<int>(v);
    return true;
}

bool ParseDpi(const char* text, uint16_t* x, uint16_t* y) {
    if (!text) return false;
    const char* comma = std::strchr(text, ',');
    if (!comma) return false;
    std::string first(text, comma);
    int a = 0, b = 0;
    if (!ParseInt(first.c_str(), 0, 65535, &a) || !ParseInt(comma + 1, 0, 65535, &b)) return false;
    *x = static_cast<uint16_t>(a);
    *y = static_cast<uint16_t>(b);
    return true;
}

PLImageFormat SniffFile(const char* path) {
    uint8_t head[1024];
    size_t n = 0;
    if (std::FILE* f = std::fopen(path, "rb")) {
        n = std::fread(head, 1, sizeof head, f);
        std::fclose(f);
    }
    return CAutoDecoder::SniffFormat(path, head, n);
}

int Fail(const CTextException& e) {
    std::string text = e.GetText();
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    std::fprintf(stderr, "lumaconv: error %d: %s\n", e.GetCode(), text.c_str());
    return 1;
}

int Info(const char* path) {
    CHeapBitmap bitmap;
    CAutoDecoder decoder;
    decoder.MakeBmpFromFile(path, bitmap, 0);
    std::printf("format: %s\n", FormatName(SniffFile(path)));
    std::printf("width: %d\n", bitmap.GetWidth());
    std::printf("height: %d\n", bitmap.GetHeight());
    std::printf("bits per pixel: %u\n", static_cast<unsigned>(bitmap.GetBitsPerPixel()));
    std::printf("alpha: %s\n", bitmap.HasAlpha() ? "yes" : "no");
    return 0;
}

int Convert(const char* in, const char* out, int depth, const PLJpegOptions& jpeg) {
    // The output format is settled before any work is done.
    PLImageType type = PLImageTypeFromPath(out);
    std::unique_ptr<CImageEncoder> encoder = PLCreateEncoder(type, jpeg);
    if (!encoder) {
        std::string ext = PLFileExtension(out);
        throw CTextException::Format(PLErr::UnknownFileType,
                                     "Can't save files of type \".%s\": use .bmp, .jpg, .png, .tif or .gif.",
                                     ext.c_str());
    }
    CHeapBitmap bitmap;
    CAutoDecoder decoder;
    decoder.MakeBmpFromFile(in, bitmap, depth == 32 ? 32 : 0);
    if (depth == 8 && bitmap.GetBitsPerPixel() != 8) {
        CHeapBitmap reduced;
        reduced.SetPaletteMode(0);  // median cut: the picture's own colours
        reduced.CreateCopy(bitmap, 8);
        encoder->MakeFileFromBmp(out, reduced);
        return 0;
    }
    encoder->MakeFileFromBmp(out, bitmap);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    int depth = 0;
    bool info = false;
    PLJpegOptions jpeg;
    const char* files[2] = {nullptr, nullptr};
    int fileCount = 0;
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        const char* next = i + 1 < argc ? argv[i + 1] : nullptr;
        if (std::strcmp(arg, "--info") == 0) {
            info = true;
        } else if (std::strcmp(arg, "--depth") == 0) {
            if (!ParseInt(next, 8, 32, &depth) || (depth != 8 && depth != 32)) return Usage("--depth takes 8 or 32");
            ++i;
        } else if (std::strcmp(arg, "--quality") == 0) {
            if (!ParseInt(next, 0, 100, &jpeg.quality)) return Usage("--quality takes 0 to 100");
            ++i;
        } else if (std::strcmp(arg, "--smoothing") == 0) {
            if (!ParseInt(next, 0, 100, &jpeg.smoothingFactor)) return Usage("--smoothing takes 0 to 100");
            ++i;
        } else if (std::strcmp(arg, "--optimize") == 0) {
            jpeg.optimizeCoding = true;
        } else if (std::strcmp(arg, "--dpi") == 0) {
            if (!ParseDpi(next, &jpeg.dpiX, &jpeg.dpiY)) return Usage("--dpi takes X,Y (0 to 65535 each)");
            ++i;
        } else if (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0 || std::strcmp(arg, "/?") == 0) {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (arg[0] == '-' && arg[1] == '-') {
            std::string problem = std::string("unknown option ") + arg;
            return Usage(problem.c_str());
        } else {
            if (fileCount == 2) return Usage("too many file names");
            files[fileCount++] = arg;
        }
    }
    if (info ? fileCount != 1 : fileCount != 2) return Usage(nullptr);
    try {
        return info ? Info(files[0]) : Convert(files[0], files[1], depth, jpeg);
    } catch (const CTextException& e) {
        return Fail(e);
    } catch (const std::bad_alloc&) {
        return Fail(CTextException(PLErr::NoMemory, "Out of memory."));
    }
}
