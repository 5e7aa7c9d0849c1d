#include "decode/PNGDecoder.h"

#include <atomic>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <exception>

#include <png.h>

#include "decode/PngInflateReader.h"

namespace {

// Largest ancillary chunk (text, colour profile) that is read; larger ones are skipped.
constexpr png_alloc_size_t kMaxChunkBytes = 16u << 20;

struct ReadState {
    CByteSource* source;
    std::exception_ptr failure;  // an exception of the source (end of data), rethrown later
    char message[256];
    uint8_t lastHeader[8];  // the last chunk length and type libpng read
};

std::atomic<bool> g_useInflateReader{true};

// The type of an IDAT chunk as libpng's chunk functions give it.
constexpr png_uint_32 kIdatType = (png_uint_32{'I'} << 24) | (png_uint_32{'D'} << 16) | (png_uint_32{'A'} << 8) | 'T';

void ErrorFn(png_structp png, png_const_charp text) {
    auto* state = static_cast<ReadState*>(png_get_error_ptr(png));
    std::snprintf(state->message, sizeof state->message, "%s", text ? text : "libpng error");
    png_longjmp(png, 1);
}

void WarningFn(png_structp, png_const_charp) {}

const uint8_t* ReadFromSource(ReadState* state, size_t length) {
    try {
        if (length > 0xFFFFFFFFu) CImageDecoder::RaiseEndOfFile();
        return state->source->ReadNBytes(static_cast<uint32_t>(length));
    } catch (...) {
        state->failure = std::current_exception();
    }
    return nullptr;
}

void ReadFn(png_structp png, png_bytep data, size_t length) {
    auto* state = static_cast<ReadState*>(png_get_io_ptr(png));
    const uint8_t* bytes = ReadFromSource(state, length);
    if (!bytes) png_error(png, "Read error");
    std::memcpy(data, bytes, length);
    if (length == 8) std::memcpy(state->lastHeader, bytes, 8);
}

struct Header {
    uint32_t width;
    uint32_t height;
    int bitDepth;
    int colorType;
    int interlace;
    int outChannels;    // after the transformations
    bool outAlpha;
    png_colorp palette;  // owned by libpng
    int paletteSize;
};

// Reads the header and sets the transformations. Every libpng call of one decode happens in
// ReadHeader and ReadImage; a library error jumps back to their setjmp. Nothing with a
// destructor lives in these frames or in the callbacks they reach.
bool ReadHeader(png_structp png, png_infop info, bool want32, Header* h) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_read_info(png, info);
    png_uint_32 width = 0, height = 0;
    int interlace = 0;
    png_get_IHDR(png, info, &width, &height, &h->bitDepth, &h->colorType, &interlace, nullptr, nullptr);
    h->width = width;
    h->height = height;
    h->interlace = interlace;
    h->palette = nullptr;
    h->paletteSize = 0;
    if (h->colorType == PNG_COLOR_TYPE_PALETTE) png_get_PLTE(png, info, &h->palette, &h->paletteSize);

    if (h->bitDepth == 16) png_set_strip_16(png);
    switch (h->colorType) {
    case PNG_COLOR_TYPE_GRAY:
        if (want32) {
            png_set_expand(png);
            png_set_gray_to_rgb(png);
        } else if (h->bitDepth < 8) {
            png_set_packing(png);
        }
        break;
    case PNG_COLOR_TYPE_PALETTE:
        if (want32) png_set_expand(png);
        else if (h->bitDepth < 8) png_set_packing(png);
        break;
    case PNG_COLOR_TYPE_GRAY_ALPHA:
        png_set_expand(png);
        png_set_gray_to_rgb(png);
        break;
    default:
        break;
    }
    const bool rgbOut = want32 || h->colorType == PNG_COLOR_TYPE_RGB || h->colorType == PNG_COLOR_TYPE_RGB_ALPHA ||
                        h->colorType == PNG_COLOR_TYPE_GRAY_ALPHA;
    if (rgbOut) {
        png_set_bgr(png);
        png_set_filler(png, 0xFF, PNG_FILLER_AFTER);  // only where there is no alpha
    }
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    h->outChannels = png_get_channels(png, info);
    h->outAlpha = (png_get_color_type(png, info) & PNG_COLOR_MASK_ALPHA) != 0;
    return true;
}

bool ReadImage(png_structp png, png_infop info, png_bytepp rows) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_read_image(png, rows);
    png_read_end(png, nullptr);
    return true;
}

// Frees libpng's structures on every path out of a decode.
struct ReadStructs {
    png_structp png = nullptr;
    png_infop info = nullptr;
    ~ReadStructs() { png_destroy_read_struct(&png, info ? &info : nullptr, nullptr); }
};

}  // namespace

CPNGDecoder::CPNGDecoder() = default;
CPNGDecoder::~CPNGDecoder() = default;

bool CPNGDecoder::UseInflateReader(bool wanted) { return g_useInflateReader.exchange(wanted); }

void CPNGDecoder::DoDecode(CDibBitmap& bitmap, PLPaletteBlock& palette, int& wantedDepth, CByteSource& source) {
    PLTrace(2, "Decoding PNG.\n");
    const uint32_t startPosition = source.GetPosition();
    const uint32_t startLeft = source.GetBytesLeft();
    const uint8_t* start = startLeft ? source.GetBufferPtr(0) : nullptr;
    const int wanted = wantedDepth;
    if (Decode(bitmap, palette, wantedDepth, source, g_useInflateReader.load())) return;

    // The whole-stream reader gave up on data libpng has to judge (damage, unusual chunks):
    // the file is read again from its start through libpng alone, which then gives the
    // picture or the error it always gave.
    PLTrace(2, "Decoding PNG again through libpng.\n");
    CMemoryByteSource again;
    again.Open(start, startLeft);
    wantedDepth = wanted;
    Decode(bitmap, palette, wantedDepth, again, false);
    const uint32_t readAlready = source.GetPosition() - startPosition;
    if (again.GetPosition() > readAlready) source.Skip(again.GetPosition() - readAlready);
}

bool CPNGDecoder::Decode(CDibBitmap& bitmap, PLPaletteBlock& palette, int& wantedDepth, CByteSource& source,
                         bool tryInflateReader) {
    ReadState state{&source, nullptr, {}, {}};
    ReadStructs structs;
    structs.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &state, ErrorFn, WarningFn);
    if (!structs.png) RaiseError(PLErr::NoMemory, "Out of memory creating the PNG reader.");
    structs.info = png_create_info_struct(structs.png);
    if (!structs.info) RaiseError(PLErr::NoMemory, "Out of memory creating the PNG reader.");
    png_set_read_fn(structs.png, &state, ReadFn);
#ifdef PNG_HANDLE_AS_UNKNOWN_SUPPORTED
    // Chunks whose contents the picture does not need are skipped unread: libpng would
    // allocate what their length field claims (a hostile one claims gigabytes).
    static const png_byte kSkipped[] = {'t', 'E', 'X', 't', 0, 'z', 'T', 'X', 't', 0, 'i', 'T', 'X', 't', 0,
                                        'i', 'C', 'C', 'P', 0, 's', 'P', 'L', 'T', 0, 'e', 'X', 'I', 'f', 0};
    png_set_keep_unknown_chunks(structs.png, PNG_HANDLE_CHUNK_NEVER, nullptr, 0);
    png_set_keep_unknown_chunks(structs.png, PNG_HANDLE_CHUNK_NEVER, kSkipped, 6);
#endif
#ifdef PNG_SET_USER_LIMITS_SUPPORTED
    // Pictures larger than the bitmap can hold are refused before any row is allocated.
    png_set_chunk_malloc_max(structs.png, kMaxChunkBytes);
    png_set_user_limits(structs.png, static_cast<png_uint_32>(CDibBitmap::MaxDimension),
                        static_cast<png_uint_32>(CDibBitmap::MaxDimension));
#endif

#if defined(PNG_SET_OPTION_SUPPORTED) && defined(PNG_IGNORE_ADLER32)
    // Every IDAT chunk's CRC already covers the compressed bytes; zlib's second checksum over
    // the whole inflated picture adds a pass and no safety.
    png_set_option(structs.png, PNG_IGNORE_ADLER32, PNG_OPTION_ON);
#endif

    auto fail = [&]() {
        if (state.failure) std::rethrow_exception(state.failure);
        RaiseError(PLErr::UnknownVariant, state.message);
    };

    // Only a 32-bit wish changes what grey and palette files become.
    const bool want32 = wantedDepth == 32;
    Header h{};
    if (!ReadHeader(structs.png, structs.info, want32, &h)) fail();

    const bool indexed = !want32 && (h.colorType == PNG_COLOR_TYPE_GRAY || h.colorType == PNG_COLOR_TYPE_PALETTE);
    const int depth = indexed ? 8 : 32;
    if ((indexed && h.outChannels != 1) || (!indexed && h.outChannels != 4))
        RaiseErrorF(PLErr::UnknownVariant, "Unexpected PNG pixel layout (%d channels).", h.outChannels);
    wantedDepth = depth;

    // The plain cases the whole-stream reader takes on: 8 bits, not interlaced, and nothing
    // libpng would change beyond the order of the colours (transparency only matters where
    // grey is expanded; RGB files keep it out of the pixels).
    using Layout = CPngInflateReader::Layout;
    bool fast = tryInflateReader && h.bitDepth == 8 && h.interlace == PNG_INTERLACE_NONE &&
                png_get_io_chunk_type(structs.png) == kIdatType &&
                std::memcmp(state.lastHeader + 4, "IDAT", 4) == 0;
    Layout layout = Layout::Index8;
    switch (h.colorType) {
    case PNG_COLOR_TYPE_GRAY:
        layout = indexed ? Layout::Index8 : Layout::GrayTo32;
        if (!indexed && png_get_valid(structs.png, structs.info, PNG_INFO_tRNS)) fast = false;
        break;
    case PNG_COLOR_TYPE_PALETTE: fast = fast && indexed; break;
    case PNG_COLOR_TYPE_RGB: layout = Layout::RGBTo32; break;
    case PNG_COLOR_TYPE_RGB_ALPHA: layout = Layout::RGBATo32; break;
    default: fast = false; break;
    }
    if (fast && h.outChannels != (indexed ? 1 : 4)) fast = false;

    if (fast) CreateBitmapForOverwrite(bitmap, h.width, h.height, depth, !indexed && h.outAlpha);
    else CreateBitmap(bitmap, h.width, h.height, depth, !indexed && h.outAlpha);

    if (indexed) {
        palette = AllocPalette();  // black, alpha 255
        if (h.colorType == PNG_COLOR_TYPE_GRAY) {
            const int count = h.bitDepth >= 8 ? 256 : 1 << h.bitDepth;
            for (int i = 0; i < count; ++i) {
                uint8_t v = static_cast<uint8_t>(i * 255 / (count - 1));
                palette[i] = PLRGBQuad{v, v, v, 255};
            }
        } else {
            for (int i = 0; i < h.paletteSize && i < 256; ++i)
                palette[i] = PLRGBQuad{h.palette[i].blue, h.palette[i].green, h.palette[i].red, 255};
        }
        bitmap.CopyPalette(palette.get());
    }

    CPLBitmapLock lock(bitmap, false, true);
    if (fast) {
        const uint32_t firstLength = (uint32_t{state.lastHeader[0]} << 24) | (uint32_t{state.lastHeader[1]} << 16) |
                                     (uint32_t{state.lastHeader[2]} << 8) | uint32_t{state.lastHeader[3]};
        const uint32_t left = source.GetBytesLeft();
        const uint8_t* data = left ? source.GetBufferPtr(0) : nullptr;
        const size_t used = data ? CPngInflateReader::Decode(data, left, firstLength, h.width, h.height, layout,
                                                             bitmap.GetLineArray())
                                 : 0;
        if (used == 0) return false;
        source.Skip(static_cast<uint32_t>(used));
        return true;
    }
    if (!ReadImage(structs.png, structs.info, bitmap.GetLineArray())) fail();
    return true;
}
