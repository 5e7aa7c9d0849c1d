#include "encode/PngDeflateWriter.h"

#include <cstring>
#include <memory>
#include <new>
#include <utility>

#include <libdeflate.h>

#include "PixelRows.h"

namespace {

// Bytes of the largest IDAT chunk: big enough that the chunk overhead is negligible, small
// enough for every reader.
constexpr size_t kIdatChunk = 1u << 20;

// Filtered data above this size go the streaming way: two blocks of it would crowd a 32-bit
// address space.
constexpr size_t kMaxFilteredBytes = 96u << 20;

void PutBE32(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v >> 24);
    p[1] = static_cast<uint8_t>(v >> 16);
    p[2] = static_cast<uint8_t>(v >> 8);
    p[3] = static_cast<uint8_t>(v);
}

void WriteChunk(CByteSink& sink, const char* type, const uint8_t* data, size_t size) {
    uint8_t head[8];
    PutBE32(head, static_cast<uint32_t>(size));
    std::memcpy(head + 4, type, 4);
    uint32_t crc = libdeflate_crc32(0, head + 4, 4);
    if (size) crc = libdeflate_crc32(crc, data, size);
    uint8_t tail[4];
    PutBE32(tail, crc);
    sink.WriteNBytes(sizeof head, head);
    if (size) sink.WriteNBytes(size, data);
    sink.WriteNBytes(sizeof tail, tail);
}

struct CompressorDeleter {
    void operator()(libdeflate_compressor* c) const { libdeflate_free_compressor(c); }
};

// |v| of a filtered byte read as signed: the measure of how well a filter did.
inline unsigned Magnitude(uint8_t v) {
    uint8_t negated = static_cast<uint8_t>(-v);
    return v < negated ? v : negated;
}

// One row in the file's sample order; the bytes before row[0] are zero (the left neighbour of
// the first pixel).
void LoadRow(const PLPngImage& image, const uint8_t* src, uint8_t* row, size_t rowBytes) {
    if (image.bitDepth < 8 || image.colorType == 0 || image.colorType == 3) {
        std::memcpy(row, src, rowBytes);
        // Bits of the last byte beyond the width are not part of the picture.
        const unsigned used = static_cast<unsigned>((static_cast<uint64_t>(image.width) * image.bitDepth) % 8);
        if (used) row[rowBytes - 1] &= static_cast<uint8_t>(0xFF00u >> used);
        return;
    }
    const uint32_t width = image.width;
    if (image.colorType == 6) {
        for (uint32_t x = 0; x < width; ++x, src += 4, row += 4) {
            row[0] = src[2];
            row[1] = src[1];
            row[2] = src[0];
            row[3] = src[3];
        }
    } else {
        PLPack32ToRGB(src, row, width);
    }
}

// The four predicting filters of one row into out[1..4]; returns the filter with the smallest
// sum of magnitudes (none first, ties to the earlier filter, as libpng decides).
int ChooseFilter(const uint8_t* cur, const uint8_t* prev, size_t n, size_t bpp, uint8_t* const out[5]) {
    unsigned long sums[5] = {0, 0, 0, 0, 0};
    for (size_t i = 0; i < n; ++i) sums[0] += Magnitude(cur[i]);
    uint8_t* sub = out[1];
    uint8_t* up = out[2];
    uint8_t* avg = out[3];
    uint8_t* paeth = out[4];
    for (size_t i = 0; i < n; ++i) {
        const uint8_t v = static_cast<uint8_t>(cur[i] - cur[i - bpp]);
        sub[i] = v;
        sums[1] += Magnitude(v);
    }
    for (size_t i = 0; i < n; ++i) {
        const uint8_t v = static_cast<uint8_t>(cur[i] - prev[i]);
        up[i] = v;
        sums[2] += Magnitude(v);
    }
    for (size_t i = 0; i < n; ++i) {
        const uint8_t v = static_cast<uint8_t>(cur[i] - ((cur[i - bpp] + prev[i]) >> 1));
        avg[i] = v;
        sums[3] += Magnitude(v);
    }
    for (size_t i = 0; i < n; ++i) {
        const int a = cur[i - bpp], b = prev[i], c = prev[i - bpp];
        const int pa = b > c ? b - c : c - b;
        const int pb = a > c ? a - c : c - a;
        const int pcRaw = a + b - 2 * c;
        const int pc = pcRaw < 0 ? -pcRaw : pcRaw;
        const int predicted = (pa <= pb && pa <= pc) ? a : (pb <= pc ? b : c);
        const uint8_t v = static_cast<uint8_t>(cur[i] - predicted);
        paeth[i] = v;
        sums[4] += Magnitude(v);
    }
    int best = 0;
    for (int f = 1; f < 5; ++f)
        if (sums[f] < sums[best]) best = f;
    return best;
}

}  // namespace

size_t PLPngRowBytes(const PLPngImage& image) {
    unsigned bitsPerPixel = image.bitDepth;
    if (image.colorType == 2) bitsPerPixel = 24;
    if (image.colorType == 6) bitsPerPixel = 32;
    return static_cast<size_t>((static_cast<uint64_t>(image.width) * bitsPerPixel + 7) / 8);
}

void PLPngFilterRows(const PLPngImage& image, uint8_t* out) {
    const size_t rowBytes = PLPngRowBytes(image);
    const bool adaptive = image.bitDepth == 8 && image.colorType != 3;
    if (!adaptive) {
        for (uint32_t y = 0; y < image.height; ++y, out += rowBytes + 1) {
            out[0] = 0;
            LoadRow(image, image.rows[y], out + 1, rowBytes);
        }
        return;
    }
    const size_t bpp = image.colorType == 6 ? 4 : image.colorType == 2 ? 3 : 1;
    // Two raw rows with bpp zero bytes in front, and the four filtered candidates.
    const size_t stride = bpp + rowBytes;
    std::unique_ptr<uint8_t[]> work(new uint8_t[2 * stride + 4 * rowBytes]);
    std::memset(work.get(), 0, 2 * stride);
    uint8_t* prev = work.get() + bpp;
    uint8_t* cur = work.get() + stride + bpp;
    uint8_t* candidates[5] = {nullptr};
    for (int f = 1; f < 5; ++f) candidates[f] = work.get() + 2 * stride + (f - 1) * rowBytes;
    for (uint32_t y = 0; y < image.height; ++y, out += rowBytes + 1) {
        LoadRow(image, image.rows[y], cur, rowBytes);
        const int filter = ChooseFilter(cur, prev, rowBytes, bpp, candidates);
        out[0] = static_cast<uint8_t>(filter);
        std::memcpy(out + 1, filter == 0 ? cur : candidates[filter], rowBytes);
        std::swap(prev, cur);
    }
}

bool PLWritePngWithDeflate(const PLPngImage& image, int level, CByteSink& sink) {
    const uint64_t filteredSize = static_cast<uint64_t>(PLPngRowBytes(image) + 1) * image.height;
    if (filteredSize > kMaxFilteredBytes) return false;
    std::unique_ptr<libdeflate_compressor, CompressorDeleter> compressor(libdeflate_alloc_compressor(level));
    if (!compressor) return false;
    std::unique_ptr<uint8_t[]> filtered(new (std::nothrow) uint8_t[static_cast<size_t>(filteredSize)]);
    if (!filtered) return false;
    const size_t bound = libdeflate_zlib_compress_bound(compressor.get(), static_cast<size_t>(filteredSize));
    std::unique_ptr<uint8_t[]> compressed(new (std::nothrow) uint8_t[bound]);
    if (!compressed) return false;

    PLPngFilterRows(image, filtered.get());
    const size_t size = libdeflate_zlib_compress(compressor.get(), filtered.get(), static_cast<size_t>(filteredSize),
                                                 compressed.get(), bound);
    if (size == 0) return false;  // cannot happen with a buffer of the bound's size
    filtered.reset();

    static const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    sink.WriteNBytes(sizeof kSignature, kSignature);
    uint8_t header[13];
    PutBE32(header, image.width);
    PutBE32(header + 4, image.height);
    header[8] = image.bitDepth;
    header[9] = image.colorType;
    header[10] = header[11] = header[12] = 0;  // deflate, adaptive filtering, no interlacing
    WriteChunk(sink, "IHDR", header, sizeof header);
    if (image.significantBits) WriteChunk(sink, "sBIT", image.significantBits, image.significantBitsSize);
    if (image.colorType == 3) WriteChunk(sink, "PLTE", image.palette, static_cast<size_t>(image.paletteSize) * 3);
    for (size_t done = 0; done < size;) {
        const size_t part = size - done < kIdatChunk ? size - done : kIdatChunk;
        WriteChunk(sink, "IDAT", compressed.get() + done, part);
        done += part;
    }
    WriteChunk(sink, "IEND", nullptr, 0);
    return true;
}
