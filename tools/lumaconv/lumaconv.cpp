// lumaconv: converts image files with the program's own image library.
//
//   lumaconv [options] IN OUT     decodes IN (any format the program opens) and writes OUT in
//                                 the format of its extension (bmp, jpg, png, tif, gif)
//   lumaconv [options] --out DIR [--format png|jpg|bmp|tif|gif] IN...
//                                 converts every IN (wildcards allowed) into DIR, each under its
//                                 own name with the format's extension (without --format: the
//                                 input's own format where it can be written, else PNG)
//   lumaconv --info IN            prints the format, size, depth and alpha of IN
//   lumaconv --version            prints the program's version
//
// Options: --depth 8|32, --quality N (0-100, 0 = the library's default), --smoothing N (0-100),
// --optimize, --dpi X,Y, and the editor's operations (BatchOperations.h), applied in the order
// given. On failure the error's code and text go to stderr, the exit code is 1 and no output
// file is left behind (an existing OUT is kept as it was); usage errors exit 2. In a batch a
// failed file never stops the others: each gets a progress line, and a summary ends the run.

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <glob.h>
#include <climits>
#include <cstdlib>
#endif

#include "BatchOperations.h"
#include "LumatreVersion.h"
#include "DibBitmap.h"
#include "decode/AutoDecoder.h"
#include "encode/EncoderChoice.h"

namespace {

const char kUsage[] =
    "usage: lumaconv [options] [operations] IN OUT\n"
    "       lumaconv [options] [operations] --out DIR [--format png|jpg|bmp|tif|gif] IN...\n"
    "       lumaconv --info IN\n"
    "OUT's extension chooses the format: .bmp .jpg .png .tif .gif\n"
    "options: --depth 8|32  --quality N  --smoothing N  --optimize  --dpi X,Y\n";

int Usage(const char* problem) {
    if (problem) std::fprintf(stderr, "lumaconv: %s\n", problem);
    std::fputs(kUsage, stderr);
    std::fputs(lumaconv::kOperationsUsage, stderr);
    return 2;
}

bool HasWildcard(const std::string& name) { return name.find_first_of("*?") != std::string::npos; }

// The files a name stands for: itself, or the files its wildcards match, in name order. A
// pattern that matches nothing stands for itself (and fails as a missing file).
std::vector<std::string> Expand(const std::string& name) {
    if (!HasWildcard(name)) return {name};
    std::vector<std::string> files;
#ifdef _WIN32
    const size_t slash = name.find_last_of("\\/:");
    const std::string folder = slash == std::string::npos ? std::string() : name.substr(0, slash + 1);
    WIN32_FIND_DATAA found;
    HANDLE find = ::FindFirstFileA(name.c_str(), &found);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) files.push_back(folder + found.cFileName);
        } while (::FindNextFileA(find, &found));
        ::FindClose(find);
    }
#else
    glob_t matches{};
    if (::glob(name.c_str(), 0, nullptr, &matches) == 0)
        for (size_t i = 0; i < matches.gl_pathc; ++i) files.push_back(matches.gl_pathv[i]);
    ::globfree(&matches);
#endif
    std::sort(files.begin(), files.end());
    if (files.empty()) files.push_back(name);
    return files;
}

// DIR joined with IN's file name, its extension replaced by ext.
std::string OutputPath(const std::string& folder, const std::string& in, const char* ext) {
    const size_t slash = in.find_last_of("\\/:");
    std::string stem = slash == std::string::npos ? in : in.substr(slash + 1);
    const size_t dot = stem.find_last_of('.');
    if (dot != std::string::npos && dot > 0) stem.erase(dot);
    std::string path = folder;
    if (!path.empty() && path.back() != '\\' && path.back() != '/') path += '/';
    return path + stem + "." + ext;
}

bool IsWritableExtension(const std::string& ext) {
    static const char* const kExtensions[] = {"bmp", "jpg", "jpeg", "png", "tif", "tiff", "gif"};
    for (const char* e : kExtensions)
        if (ext == e) return true;
    return false;
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

std::string ErrorText(const CTextException& e);

int Fail(const CTextException& e) {
    std::fprintf(stderr, "lumaconv: error %d: %s\n", e.GetCode(), ErrorText(e).c_str());
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

int Convert(const char* in, const char* out, int depth, const PLJpegOptions& jpeg,
            const std::vector<lumaconv::Operation>& operations) {
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
    decoder.MakeBmpFromFile(in, bitmap, depth == 32 || !operations.empty() ? 32 : 0);
    lumaconv::ApplyOperations(bitmap, operations);
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

// Whether two names are the same file (a batch never writes over one of its inputs).
bool SameFile(const std::string& a, const std::string& b) {
#ifdef _WIN32
    char fullA[MAX_PATH * 2] = {}, fullB[MAX_PATH * 2] = {};
    if (!::GetFullPathNameA(a.c_str(), sizeof fullA, fullA, nullptr) ||
        !::GetFullPathNameA(b.c_str(), sizeof fullB, fullB, nullptr))
        return false;
    for (char* p : {fullA, fullB})
        for (; *p; ++p)
            if (*p == '/') *p = '\\';
    return ::lstrcmpiA(fullA, fullB) == 0;
#else
    char fullA[PATH_MAX] = {}, fullB[PATH_MAX] = {};
    return ::realpath(a.c_str(), fullA) && ::realpath(b.c_str(), fullB) && std::strcmp(fullA, fullB) == 0;
#endif
}

std::string ErrorText(const CTextException& e) {
    std::string text = e.GetText();
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    return text;
}

// Converts every input into folder; one line per file and a summary. 1 when any failed.
int Batch(const std::vector<std::string>& names, const std::string& folder, const std::string& format, int depth,
          const PLJpegOptions& jpeg, const std::vector<lumaconv::Operation>& operations) {
    std::vector<std::string> inputs;
    for (const std::string& name : names)
        for (std::string& file : Expand(name)) inputs.push_back(std::move(file));
    int done = 0, failed = 0;
    const size_t total = inputs.size();
    for (size_t i = 0; i < total; ++i) {
        const std::string& in = inputs[i];
        std::string ext = format;
        if (ext.empty()) {
            ext = PLFileExtension(in.c_str());
            if (!IsWritableExtension(ext)) ext = "png";
        }
        const std::string out = OutputPath(folder, in, ext.c_str());
        std::printf("[%zu/%zu] %s -> %s: ", i + 1, total, in.c_str(), out.c_str());
        std::fflush(stdout);
        try {
            if (SameFile(in, out))
                throw CTextException(PLErr::AccessDenied, "The output would replace the input.");
            Convert(in.c_str(), out.c_str(), depth, jpeg, operations);
            std::printf("done\n");
            ++done;
        } catch (const CTextException& e) {
            std::printf("failed: error %d: %s\n", e.GetCode(), ErrorText(e).c_str());
            ++failed;
        } catch (const std::bad_alloc&) {
            std::printf("failed: out of memory\n");
            ++failed;
        }
        std::fflush(stdout);
    }
    std::printf("%zu file%s: %d done, %d failed\n", total, total == 1 ? "" : "s", done, failed);
    return failed ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
    int depth = 0;
    bool info = false;
    PLJpegOptions jpeg;
    std::vector<std::string> files;
    std::vector<lumaconv::Operation> operations;
    lumaconv::ResizeMethod method = lumaconv::ResizeMethod::kBilinear;
    const char* outFolder = nullptr;
    std::string format;
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        const char* next = i + 1 < argc ? argv[i + 1] : nullptr;
        std::string problem;
        switch (lumaconv::ParseOperation(arg, next, operations, method, problem)) {
        case lumaconv::ParseResult::kTaken: continue;
        case lumaconv::ParseResult::kTakenWithValue: ++i; continue;
        case lumaconv::ParseResult::kBad: return Usage(problem.c_str());
        case lumaconv::ParseResult::kNotMine: break;
        }
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
        } else if (std::strcmp(arg, "--out") == 0) {
            if (!next || !*next) return Usage("--out takes a folder");
            outFolder = next;
            ++i;
        } else if (std::strcmp(arg, "--format") == 0) {
            if (!next || !IsWritableExtension(next)) return Usage("--format takes png, jpg, bmp, tif or gif");
            format = next;
            ++i;
        } else if (std::strcmp(arg, "--version") == 0) {
            std::printf("lumaconv %s\n", LUMATRE_VERSION_TEXT);
            return 0;
        } else if (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0 || std::strcmp(arg, "/?") == 0) {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (arg[0] == '-' && arg[1] == '-') {
            std::string problem = std::string("unknown option ") + arg;
            return Usage(problem.c_str());
        } else {
            files.push_back(arg);
        }
    }
    lumaconv::SetResizeMethod(operations, method);
    if (!format.empty() && !outFolder) return Usage("--format goes with --out");
    if (outFolder) {
        if (info) return Usage("--info takes no --out");
        if (files.empty()) return Usage("no input files");
        return Batch(files, outFolder, format, depth, jpeg, operations);
    }
    if (info ? files.size() != 1 : files.size() != 2) return Usage(files.size() > 2 ? "too many file names" : nullptr);
    try {
        return info ? Info(files[0].c_str()) : Convert(files[0].c_str(), files[1].c_str(), depth, jpeg, operations);
    } catch (const CTextException& e) {
        return Fail(e);
    } catch (const std::bad_alloc&) {
        return Fail(CTextException(PLErr::NoMemory, "Out of memory."));
    }
}
