#include "decode/JPEGDecoder.h"

#include <string>
#include <vector>

#include "PixelConvert.h"
#include "encode/JpegCommon.h"

namespace {

const JOCTET kEndOfImage[2] = {0xFF, JPEG_EOI};

// Source manager: libjpeg gets all remaining bytes of the source at once. When it asks for
// more, the data ended early: a warning, then an end-of-image marker so that it can finish.
struct MemorySource {
    jpeg_source_mgr pub;
    const JOCTET* data;
    size_t size;
    bool ranOut;  // the end-of-image marker had to be supplied
};

void InitSource(j_decompress_ptr) {}

boolean FillInputBuffer(j_decompress_ptr cinfo) {
    reinterpret_cast<MemorySource*>(cinfo->src)->ranOut = true;
    WARNMS(cinfo, JWRN_JPEG_EOF);
    cinfo->src->next_input_byte = kEndOfImage;
    cinfo->src->bytes_in_buffer = 2;
    return TRUE;
}

void SkipInputData(j_decompress_ptr cinfo, long count) {
    if (count <= 0) return;
    jpeg_source_mgr* src = cinfo->src;
    while (static_cast<size_t>(count) > src->bytes_in_buffer) {
        count -= static_cast<long>(src->bytes_in_buffer);
        FillInputBuffer(cinfo);
    }
    src->next_input_byte += count;
    src->bytes_in_buffer -= static_cast<size_t>(count);
}

void TermSource(j_decompress_ptr) {}

struct Progress {
    jpeg_progress_mgr pub;
    CProgressSink* sink;
};

void Report(CProgressSink* sink, double done) {
    try {
        sink->OnProgress(done);
    } catch (...) {
        // Progress display is a courtesy; it never ends a decode.
    }
}

void ProgressMonitor(j_common_ptr cinfo) {
    auto* progress = reinterpret_cast<Progress*>(cinfo->progress);
    auto* dinfo = reinterpret_cast<j_decompress_ptr>(cinfo);
    if (dinfo->input_scan_number > CJPEGDecoder::MaxScans) ERREXIT(cinfo, JERR_BAD_PROGRESSION);
    if (progress->sink && progress->pub.pass_limit > 0 && progress->pub.total_passes > 0) {
        double done = (static_cast<double>(progress->pub.pass_counter) / progress->pub.pass_limit +
                       progress->pub.completed_passes) / progress->pub.total_passes;
        Report(progress->sink, done > 1.0 ? 1.0 : done);
    }
}

enum class Output { Grey, BGRX, CMYK, InvertedCMYK };

struct HeaderInfo {
    int width;
    int height;
    Output output;
};

// Reads the header and starts decompression. Every libjpeg call of one decode happens inside
// StartDecode and ReadRows; a library error jumps back to their setjmp. Nothing with a
// destructor lives in these frames or in the callbacks they reach.
bool StartDecode(j_decompress_ptr cinfo, PLJpegErrorManager* err, bool fastUpsampling, HeaderInfo* info,
                 uint64_t maxPixels) {
    if (setjmp(err->jump)) return false;
    jpeg_read_header(cinfo, TRUE);
    if (static_cast<uint64_t>(cinfo->image_width) * cinfo->image_height > maxPixels) {
        info->width = static_cast<int>(cinfo->image_width);
        info->height = static_cast<int>(cinfo->image_height);
        return true;  // refused by the caller before libjpeg allocates anything for it
    }
    cinfo->dct_method = JDCT_FLOAT;
    if (fastUpsampling) cinfo->do_fancy_upsampling = FALSE;
    switch (cinfo->jpeg_color_space) {
    case JCS_GRAYSCALE:
        cinfo->out_color_space = JCS_GRAYSCALE;
        info->output = Output::Grey;
        break;
    case JCS_CMYK:
    case JCS_YCCK:
        cinfo->out_color_space = JCS_CMYK;
        info->output = cinfo->saw_Adobe_marker ? Output::InvertedCMYK : Output::CMYK;
        break;
    default:
#ifdef JCS_EXTENSIONS
        cinfo->out_color_space = JCS_EXT_BGRX;  // blue, green, red, 0xFF: the bitmap's layout
        info->output = Output::BGRX;
#else
        cinfo->out_color_space = JCS_RGB;
        info->output = Output::BGRX;
#endif
        break;
    }
    jpeg_start_decompress(cinfo);
    info->width = static_cast<int>(cinfo->output_width);
    info->height = static_cast<int>(cinfo->output_height);
    return true;
}

struct RowParams {
    uint8_t** rows;        // the bitmap's row table
    uint8_t* buffer;       // one row of library output when it cannot go straight into a row
    bool direct;           // library output goes straight into the bitmap's rows
    Output output;
    int targetBits;        // 8 or 32
};

void ConvertRow(const RowParams* p, const uint8_t* src, uint8_t* dst, int width) {
    switch (p->output) {
    case Output::Grey:  // only here for a 32-bit target
        for (int x = 0; x < width; ++x) PLStorePixel(dst + 4 * x, PLMakePixel(src[x], src[x], src[x]));
        break;
    case Output::BGRX:  // 3-byte RGB from a library without the extended colour spaces
        for (int x = 0; x < width; ++x)
            PLStorePixel(dst + 4 * x, PLMakePixel(src[3 * x], src[3 * x + 1], src[3 * x + 2]));
        break;
    case Output::CMYK:
    case Output::InvertedCMYK: {
        const bool inverted = p->output == Output::InvertedCMYK;
        for (int x = 0; x < width; ++x, src += 4) {
            unsigned c = src[0], m = src[1], y = src[2], k = src[3];
            if (!inverted) {
                c = 255 - c;
                m = 255 - m;
                y = 255 - y;
                k = 255 - k;
            }
            PLStorePixel(dst + 4 * x, PLMakePixel(static_cast<uint8_t>((c * k + 127) / 255),
                                                  static_cast<uint8_t>((m * k + 127) / 255),
                                                  static_cast<uint8_t>((y * k + 127) / 255)));
        }
        break;
    }
    }
}

bool ReadRows(j_decompress_ptr cinfo, PLJpegErrorManager* err, const RowParams* p) {
    if (setjmp(err->jump)) return false;
    while (cinfo->output_scanline < cinfo->output_height) {
        JDIMENSION y = cinfo->output_scanline;
        if (p->direct) {
            jpeg_read_scanlines(cinfo, reinterpret_cast<JSAMPARRAY>(p->rows) + y, cinfo->output_height - y);
        } else {
            JSAMPROW row = p->buffer;
            if (jpeg_read_scanlines(cinfo, &row, 1) == 1)
                ConvertRow(p, p->buffer, p->rows[y], static_cast<int>(cinfo->output_width));
        }
    }
    jpeg_finish_decompress(cinfo);
    return true;
}

bool CreateDecompress(j_decompress_ptr cinfo, PLJpegErrorManager* err) {
    if (setjmp(err->jump)) return false;
    jpeg_create_decompress(cinfo);
    return true;
}

}  // namespace

struct CJPEGDecoder::Impl {
    jpeg_decompress_struct cinfo;
    PLJpegErrorManager err;
    MemorySource source;
    Progress progress;
};

CJPEGDecoder::CJPEGDecoder(bool fastUpsampling) : m_impl(std::make_unique<Impl>()), m_fastUpsampling(fastUpsampling) {
    m_impl->cinfo.err = PLJpegInitErrorManager(&m_impl->err);
    if (!CreateDecompress(&m_impl->cinfo, &m_impl->err)) RaiseError(PLErr::Unsupported, m_impl->err.message);
}

CJPEGDecoder::~CJPEGDecoder() { jpeg_destroy_decompress(&m_impl->cinfo); }

void CJPEGDecoder::DoDecode(CDibBitmap& bitmap, PLPaletteBlock&, int& wantedDepth, CByteSource& source) {
    PLTrace(2, "Decoding JPEG.\n");
    jpeg_decompress_struct* cinfo = &m_impl->cinfo;
    PLJpegErrorManager* err = &m_impl->err;
    err->warnings = 0;

    MemorySource& src = m_impl->source;
    src.size = source.GetBytesLeft();
    src.data = source.ReadEverything();
    src.pub.init_source = InitSource;
    src.pub.fill_input_buffer = FillInputBuffer;
    src.pub.skip_input_data = SkipInputData;
    src.pub.resync_to_restart = jpeg_resync_to_restart;
    src.pub.term_source = TermSource;
    src.pub.next_input_byte = src.data;
    src.pub.bytes_in_buffer = src.size;
    src.ranOut = false;
    cinfo->src = &src.pub;

    Progress& progress = m_impl->progress;
    progress.pub.progress_monitor = ProgressMonitor;
    progress.sink = source.GetProgressSink();
    cinfo->progress = &progress.pub;

    // Whatever happens below, the object is ready for the next decode afterwards.
    struct Reset {
        j_decompress_ptr cinfo;
        ~Reset() {
            jpeg_abort_decompress(cinfo);
            cinfo->src = nullptr;
            cinfo->progress = nullptr;
        }
    } reset{cinfo};

    const uint64_t maxPixels = GetMaxPixelBytes() / 4;
    HeaderInfo info{0, 0, Output::BGRX};
    if (!StartDecode(cinfo, err, m_fastUpsampling, &info, maxPixels)) RaiseError(PLErr::Unsupported, err->message);
    if (static_cast<uint64_t>(info.width) * static_cast<uint64_t>(info.height) > maxPixels)
        RaiseErrorF(PLErr::NoMemory, "Image of %d x %d pixels is too large.", info.width, info.height);

    const bool grey = info.output == Output::Grey;
    const int depth = grey ? ChooseDepth(wantedDepth, 8) : 32;
    wantedDepth = depth;
    // Every row is written before the decode succeeds; 8 bits: the grey ramp.
    CreateBitmapForOverwrite(bitmap, info.width, info.height, depth, false);

    RowParams rows{};
    rows.rows = bitmap.GetLineArray();
    rows.output = info.output;
    rows.targetBits = depth;
#ifdef JCS_EXTENSIONS
    rows.direct = (grey && depth == 8) || info.output == Output::BGRX;
#else
    rows.direct = grey && depth == 8;
#endif
    std::vector<uint8_t> buffer;
    if (!rows.direct) {
        buffer.resize(static_cast<size_t>(info.width) * static_cast<size_t>(cinfo->output_components));
        rows.buffer = buffer.data();
    }
    CPLBitmapLock lock(bitmap, false, true);
    if (!ReadRows(cinfo, err, &rows)) RaiseError(PLErr::Unsupported, err->message);
    if (err->warnings) PLTraceF(2, "JPEG decoded with %d warning(s).\n", err->warnings);
    // The source ends where libjpeg stopped reading.
    size_t consumed = src.ranOut ? src.size : src.size - src.pub.bytes_in_buffer;
    source.Skip(static_cast<uint32_t>(consumed));
}
