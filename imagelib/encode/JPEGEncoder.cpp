#include "encode/JPEGEncoder.h"

#include <algorithm>
#include <exception>
#include <string>
#include <vector>

#include "encode/JpegCommon.h"

namespace {

constexpr size_t kBlockSize = 8192;

// Destination manager: libjpeg fills an 8192-byte block that goes to the sink whenever it is
// full, and the remainder at the end. A sink failure is kept and reported as libjpeg's write
// error, so that the exception itself never crosses the library.
struct SinkDestination {
    jpeg_destination_mgr pub;
    CByteSink* sink;
    std::exception_ptr failure;
    JOCTET block[kBlockSize];
};

bool PassToSink(SinkDestination* dest, size_t n) {
    try {
        dest->sink->WriteNBytes(n, dest->block);
        return true;
    } catch (...) {
        dest->failure = std::current_exception();
    }
    return false;
}

void InitDestination(j_compress_ptr cinfo) {
    auto* dest = reinterpret_cast<SinkDestination*>(cinfo->dest);
    dest->pub.next_output_byte = dest->block;
    dest->pub.free_in_buffer = kBlockSize;
}

boolean EmptyOutputBuffer(j_compress_ptr cinfo) {
    auto* dest = reinterpret_cast<SinkDestination*>(cinfo->dest);
    if (!PassToSink(dest, kBlockSize)) ERREXIT(cinfo, JERR_FILE_WRITE);
    dest->pub.next_output_byte = dest->block;
    dest->pub.free_in_buffer = kBlockSize;
    return TRUE;
}

void TermDestination(j_compress_ptr cinfo) {
    auto* dest = reinterpret_cast<SinkDestination*>(cinfo->dest);
    size_t n = kBlockSize - dest->pub.free_in_buffer;
    if (n && !PassToSink(dest, n)) ERREXIT(cinfo, JERR_FILE_WRITE);
}

struct CompressParams {
    int width;
    int height;
    int quality;
    bool optimize;
    int smoothing;
    uint16_t densityX;
    uint16_t densityY;
    const uint8_t* const* rows;  // 32-bit rows: blue, green, red, alpha
    uint8_t* rgbRow;             // width x 3 bytes, for libraries without BGRX input
};

// Every libjpeg call of one encode. A library error jumps back here; nothing with a destructor
// lives in this frame or in the callbacks it reaches.
bool Compress(j_compress_ptr cinfo, PLJpegErrorManager* err, const CompressParams* p) {
    if (setjmp(err->jump)) return false;
    cinfo->image_width = static_cast<JDIMENSION>(p->width);
    cinfo->image_height = static_cast<JDIMENSION>(p->height);
#ifdef JCS_EXTENSIONS
    cinfo->in_color_space = JCS_EXT_BGRX;
    cinfo->input_components = 4;
#else
    cinfo->in_color_space = JCS_RGB;
    cinfo->input_components = 3;
#endif
    jpeg_set_defaults(cinfo);
    cinfo->dct_method = JDCT_FLOAT;
    if (p->quality != 0) jpeg_set_quality(cinfo, p->quality, TRUE);
    cinfo->optimize_coding = p->optimize ? TRUE : FALSE;
    cinfo->smoothing_factor = p->smoothing;
    if (p->densityX != 0 || p->densityY != 0) {
        cinfo->density_unit = 1;
        cinfo->X_density = p->densityX;
        cinfo->Y_density = p->densityY;
    }
    jpeg_start_compress(cinfo, TRUE);
    while (cinfo->next_scanline < cinfo->image_height) {
#ifdef JCS_EXTENSIONS
        JSAMPARRAY rows = reinterpret_cast<JSAMPARRAY>(const_cast<uint8_t**>(p->rows)) + cinfo->next_scanline;
        jpeg_write_scanlines(cinfo, rows, cinfo->image_height - cinfo->next_scanline);
#else
        const uint8_t* src = p->rows[cinfo->next_scanline];
        for (int x = 0; x < p->width; ++x) {
            p->rgbRow[3 * x] = src[4 * x + 2];
            p->rgbRow[3 * x + 1] = src[4 * x + 1];
            p->rgbRow[3 * x + 2] = src[4 * x];
        }
        JSAMPROW row = p->rgbRow;
        jpeg_write_scanlines(cinfo, &row, 1);
#endif
    }
    jpeg_finish_compress(cinfo);
    return true;
}

bool CreateCompress(j_compress_ptr cinfo, PLJpegErrorManager* err) {
    if (setjmp(err->jump)) return false;
    jpeg_create_compress(cinfo);
    return true;
}

}  // namespace

struct CJPEGEncoder::Impl {
    jpeg_compress_struct cinfo;
    PLJpegErrorManager err;
};

CJPEGEncoder::CJPEGEncoder() : m_impl(std::make_unique<Impl>()) {
    m_impl->cinfo.err = PLJpegInitErrorManager(&m_impl->err);
    if (!CreateCompress(&m_impl->cinfo, &m_impl->err))
        throw CTextException(PLErr::Unsupported, std::string(m_impl->err.message) + "\n");
}

CJPEGEncoder::~CJPEGEncoder() { jpeg_destroy_compress(&m_impl->cinfo); }

void CJPEGEncoder::SetQuality(int quality) { m_quality = std::clamp(quality, 0, 100); }
void CJPEGEncoder::SetOptimizeCoding(bool optimize) { m_optimizeCoding = optimize; }
void CJPEGEncoder::SetSmoothingFactor(int smoothing) { m_smoothingFactor = std::clamp(smoothing, 0, 100); }
void CJPEGEncoder::SetDensity(uint16_t dpiX, uint16_t dpiY) {
    m_densityX = dpiX;
    m_densityY = dpiY;
}

void CJPEGEncoder::DoEncode(const CDibBitmap& bitmap, CByteSink& sink) {
    CPLEncoderInput input(bitmap);
    const CDibBitmap& pixels = input.Get();

    auto dest = std::make_unique<SinkDestination>();
    dest->pub.init_destination = InitDestination;
    dest->pub.empty_output_buffer = EmptyOutputBuffer;
    dest->pub.term_destination = TermDestination;
    dest->sink = &sink;

#ifdef JCS_EXTENSIONS
    std::vector<uint8_t> rgbRow;
#else
    std::vector<uint8_t> rgbRow(static_cast<size_t>(pixels.GetWidth()) * 3);
#endif
    CompressParams params{pixels.GetWidth(), pixels.GetHeight(), m_quality, m_optimizeCoding,
                          m_smoothingFactor, m_densityX, m_densityY, pixels.GetLineArray(),
                          rgbRow.data()};

    jpeg_compress_struct* cinfo = &m_impl->cinfo;
    cinfo->dest = &dest->pub;
    bool ok = Compress(cinfo, &m_impl->err, &params);
    cinfo->dest = nullptr;
    if (!ok) {
        jpeg_abort_compress(cinfo);
        if (dest->failure) std::rethrow_exception(dest->failure);
        throw CTextException(PLErr::Unsupported, std::string(m_impl->err.message) + "\n");
    }
}
