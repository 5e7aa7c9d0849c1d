#include "encode/PNGEncoder.h"

#include <csetjmp>
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include <png.h>

#include "encode/PngDeflateWriter.h"

namespace {

// zlib's default level, which the files have always been written at.
constexpr int kDeflateLevel = 6;

struct WriteState {
    CByteSink* sink;
    std::exception_ptr failure;
    char message[256];
};

void ErrorFn(png_structp png, png_const_charp text) {
    auto* state = static_cast<WriteState*>(png_get_error_ptr(png));
    std::snprintf(state->message, sizeof state->message, "%s", text ? text : "libpng error");
    png_longjmp(png, 1);
}

void WarningFn(png_structp, png_const_charp) {}

bool PassToSink(WriteState* state, png_bytep data, size_t length) {
    try {
        state->sink->WriteNBytes(length, data);
        return true;
    } catch (...) {
        state->failure = std::current_exception();
    }
    return false;
}

void WriteFn(png_structp png, png_bytep data, size_t length) {
    auto* state = static_cast<WriteState*>(png_get_io_ptr(png));
    if (!PassToSink(state, data, length)) png_error(png, "Error writting file");
}

void FlushFn(png_structp) {}

struct WriteParams {
    uint32_t width;
    uint32_t height;
    int bitDepth;
    int colorType;
    const png_color* palette;  // for palette images
    int paletteSize;
    bool stripFiller;          // 32-bit rows without alpha
    bool bgr;                  // 32-bit rows
    bool alpha;
    png_bytepp rows;
};

// Every libpng call of one encode; a library error jumps back here. Nothing with a destructor
// lives in this frame or in the callbacks it reaches.
bool WritePng(png_structp png, png_infop info, const WriteParams* p) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_IHDR(png, info, p->width, p->height, p->bitDepth, p->colorType, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_color_8 sig = {};
    if (p->colorType == PNG_COLOR_TYPE_PALETTE) {
        png_set_PLTE(png, info, p->palette, p->paletteSize);
        sig.red = sig.green = sig.blue = 8;
    } else if (p->colorType == PNG_COLOR_TYPE_GRAY) {
        sig.gray = static_cast<png_byte>(p->bitDepth);
    } else {
        sig.red = sig.green = sig.blue = static_cast<png_byte>(p->bitDepth);
        sig.alpha = p->alpha ? 8 : 0;
    }
    png_set_sBIT(png, info, &sig);
    png_write_info(png, info);
    // 64 KB IDAT chunks instead of libpng's 8 KB: 12 bytes of chunk framing per 64 KB.
    png_set_compression_buffer_size(png, 1u << 16);
    if (p->stripFiller) png_set_filler(png, 0, PNG_FILLER_AFTER);
    if (p->bgr) png_set_bgr(png);
    png_write_image(png, p->rows);
    png_write_end(png, info);
    return true;
}

// The whole file through libdeflate (see PngDeflateWriter.h); false when that path cannot take
// the picture and libpng's stream has to.
bool WriteWithDeflate(const WriteParams& p, CByteSink& sink) {
    PLPngImage image;
    image.width = p.width;
    image.height = p.height;
    image.bitDepth = static_cast<uint8_t>(p.bitDepth);
    image.colorType = static_cast<uint8_t>(p.colorType);
    image.rows = p.rows;
    std::vector<uint8_t> palette;
    if (p.colorType == PNG_COLOR_TYPE_PALETTE) {
        for (int i = 0; i < p.paletteSize; ++i) {
            palette.push_back(p.palette[i].red);
            palette.push_back(p.palette[i].green);
            palette.push_back(p.palette[i].blue);
        }
        image.palette = palette.data();
        image.paletteSize = p.paletteSize;
    }
    uint8_t sig[4];
    size_t sigSize;
    if (p.colorType == PNG_COLOR_TYPE_PALETTE) {
        sig[0] = sig[1] = sig[2] = 8;
        sigSize = 3;
    } else if (p.colorType == PNG_COLOR_TYPE_GRAY) {
        sig[0] = static_cast<uint8_t>(p.bitDepth);
        sigSize = 1;
    } else {
        sig[0] = sig[1] = sig[2] = static_cast<uint8_t>(p.bitDepth);
        sig[3] = 8;
        sigSize = p.alpha ? 4 : 3;
    }
    image.significantBits = sig;
    image.significantBitsSize = sigSize;
    return PLWritePngWithDeflate(image, kDeflateLevel, sink);
}

}  // namespace

CPNGEncoder::CPNGEncoder() = default;
CPNGEncoder::~CPNGEncoder() = default;

void CPNGEncoder::DoEncode(const CDibBitmap& bitmap, CByteSink& sink) {
    const uint16_t depth = bitmap.GetBitsPerPixel();
    if (depth != 1 && depth != 4 && depth != 8 && depth != 32)
        throw CTextException::Format(PLErr::Unsupported, "Can't write a %u bit bitmap as PNG.",
                                     static_cast<unsigned>(depth));

    WriteParams params{};
    params.width = static_cast<uint32_t>(bitmap.GetWidth());
    params.height = static_cast<uint32_t>(bitmap.GetHeight());
    params.rows = const_cast<png_bytepp>(bitmap.GetLineArray());

    std::vector<png_color> palette;
    if (depth == 32) {
        params.bitDepth = 8;
        params.alpha = bitmap.HasAlpha();
        params.colorType = params.alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB;
        params.stripFiller = !params.alpha;
        params.bgr = true;
    } else {
        params.bitDepth = depth;
        const PLRGBQuad* table = bitmap.GetColorTable();
        const int count = 1 << depth;
        bool blackWhite = depth == 1 && table && table[0].rgbRed == 0 && table[0].rgbGreen == 0 &&
                          table[0].rgbBlue == 0 && table[1].rgbRed == 255 && table[1].rgbGreen == 255 &&
                          table[1].rgbBlue == 255;
        if (blackWhite) {
            params.colorType = PNG_COLOR_TYPE_GRAY;
        } else {
            params.colorType = PNG_COLOR_TYPE_PALETTE;
            palette.resize(count);
            for (int i = 0; i < count; ++i) {
                PLPixel32 c = table ? PLQuadToPixel(table[i]) : 0;
                palette[i] = png_color{PLPixelRed(c), PLPixelGreen(c), PLPixelBlue(c)};
            }
            params.palette = palette.data();
            params.paletteSize = count;
        }
    }

    if (WriteWithDeflate(params, sink)) return;

    WriteState state{&sink, nullptr, {}};
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &state, ErrorFn, WarningFn);
    if (!png) throw CTextException(PLErr::NoMemory, "Out of memory creating the PNG writer.");
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        throw CTextException(PLErr::NoMemory, "Out of memory creating the PNG writer.");
    }
    png_set_write_fn(png, &state, WriteFn, FlushFn);
    bool ok = WritePng(png, info, &params);
    png_destroy_write_struct(&png, &info);
    if (!ok) {
        if (state.failure) std::rethrow_exception(state.failure);
        throw CTextException(PLErr::Unsupported, state.message);
    }
}
