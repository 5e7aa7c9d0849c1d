#include "decode/PngInflateReader.h"

#include <cstring>
#include <memory>

#include <emmintrin.h>
#include <libdeflate.h>

#include "PixelMemory.h"
#include "PixelRows.h"

namespace {

constexpr uint32_t kLargestLength = 0x7FFFFFFFu;  // larger chunk lengths are errors for libpng
constexpr size_t kReadSlack = 16;                 // readable bytes after the filtered rows
constexpr uint64_t kLargestRatio = 1100;          // above deflate's largest expansion

uint32_t ReadBE32(const uint8_t* p) {
    return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | uint32_t{p[3]};
}

bool IsType(const uint8_t* type, const char (&name)[5]) { return std::memcmp(type, name, 4) == 0; }

// Chunk types are four ASCII letters; libpng refuses anything else.
bool IsValidType(const uint8_t* type) {
    for (int i = 0; i < 4; ++i) {
        const uint8_t c = type[i] & 0xDF;
        if (c < 'A' || c > 'Z') return false;
    }
    return true;
}

bool CrcMatches(const uint8_t* type, const uint8_t* data, uint32_t length, const uint8_t* stored) {
    uint32_t crc = libdeflate_crc32(0, type, 4);
    crc = libdeflate_crc32(crc, data, length);
    return crc == ReadBE32(stored);
}

struct DecompressorFree {
    void operator()(libdeflate_decompressor* d) const { libdeflate_free_decompressor(d); }
};

// --- Unfiltering. row is the filtered row (without its filter byte), prev the row above,
// already unfiltered (zeros above the first row).

template <int Bpp>
void UnfilterSub(uint8_t* row, size_t n) {
    for (size_t i = Bpp; i < n; ++i) row[i] = static_cast<uint8_t>(row[i] + row[i - Bpp]);
}

void UnfilterUp(uint8_t* row, const uint8_t* prev, size_t n) {
    for (size_t i = 0; i < n; ++i) row[i] = static_cast<uint8_t>(row[i] + prev[i]);
}

template <int Bpp>
void UnfilterAverage(uint8_t* row, const uint8_t* prev, size_t n) {
    for (size_t i = 0; i < Bpp && i < n; ++i) row[i] = static_cast<uint8_t>(row[i] + (prev[i] >> 1));
    for (size_t i = Bpp; i < n; ++i) row[i] = static_cast<uint8_t>(row[i] + ((row[i - Bpp] + prev[i]) >> 1));
}

template <int Bpp>
void UnfilterPaeth(uint8_t* row, const uint8_t* prev, size_t n) {
    for (size_t i = 0; i < Bpp && i < n; ++i) row[i] = static_cast<uint8_t>(row[i] + prev[i]);
    for (size_t i = Bpp; i < n; ++i) {
        const int a = row[i - Bpp], b = prev[i], c = prev[i - Bpp];
        const int pb = a - c, pa = b - c;
        const int pc = pa + pb < 0 ? -(pa + pb) : pa + pb;
        const int aa = pa < 0 ? -pa : pa, ab = pb < 0 ? -pb : pb;
        const int predictor = (aa <= ab && aa <= pc) ? a : (ab <= pc ? b : c);
        row[i] = static_cast<uint8_t>(row[i] + predictor);
    }
}

// Pixels of three and four bytes go through SSE2 one pixel at a time, each byte in a 16-bit lane.
// A pixel is always loaded as four bytes (a three-byte load would go through memory and stall
// on the stores before it): the fourth lane then holds a byte of the next pixel, which no other
// lane depends on and which is never stored. So every row, and the buffer, must be followed by
// a readable byte.
template <int Bpp>
__m128i LoadPixel(const uint8_t* p) {
    uint32_t v;
    std::memcpy(&v, p, 4);
    return _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(v)), _mm_setzero_si128());
}

template <int Bpp>
void StorePixel(uint8_t* p, __m128i lanes) {
    const uint32_t v = static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_packus_epi16(lanes, lanes)));
    if constexpr (Bpp == 4) {
        std::memcpy(p, &v, 4);
    } else {
        const uint16_t low = static_cast<uint16_t>(v);
        std::memcpy(p, &low, 2);
        p[2] = static_cast<uint8_t>(v >> 16);
    }
}

// The bytes of a sum are kept modulo 256 in their 16-bit lanes.
__m128i AddBytes(__m128i x, __m128i y) { return _mm_and_si128(_mm_add_epi16(x, y), _mm_set1_epi16(0xFF)); }

__m128i Abs16(__m128i x) { return _mm_max_epi16(x, _mm_sub_epi16(_mm_setzero_si128(), x)); }

__m128i Select(__m128i mask, __m128i yes, __m128i no) {
    return _mm_or_si128(_mm_and_si128(mask, yes), _mm_andnot_si128(mask, no));
}

template <int Bpp>
void UnfilterSubPixels(uint8_t* row, size_t n) {
    __m128i a = _mm_setzero_si128();
    for (size_t i = 0; i < n; i += Bpp) {
        a = AddBytes(LoadPixel<Bpp>(row + i), a);
        StorePixel<Bpp>(row + i, a);
    }
}

template <int Bpp>
void UnfilterAveragePixels(uint8_t* row, const uint8_t* prev, size_t n) {
    __m128i a = _mm_setzero_si128();
    for (size_t i = 0; i < n; i += Bpp) {
        const __m128i b = LoadPixel<Bpp>(prev + i);
        a = AddBytes(LoadPixel<Bpp>(row + i), _mm_srli_epi16(_mm_add_epi16(a, b), 1));
        StorePixel<Bpp>(row + i, a);
    }
}

template <int Bpp>
void UnfilterPaethPixels(uint8_t* row, const uint8_t* prev, size_t n) {
    __m128i a = _mm_setzero_si128(), c = _mm_setzero_si128();
    for (size_t i = 0; i < n; i += Bpp) {
        const __m128i b = LoadPixel<Bpp>(prev + i);
        const __m128i pa0 = _mm_sub_epi16(b, c);  // p - a
        const __m128i pb0 = _mm_sub_epi16(a, c);  // p - b
        const __m128i pc = Abs16(_mm_add_epi16(pa0, pb0));
        const __m128i pa = Abs16(pa0), pb = Abs16(pb0);
        const __m128i smallest = _mm_min_epi16(pc, _mm_min_epi16(pa, pb));
        const __m128i nearest =
            Select(_mm_cmpeq_epi16(pa, smallest), a, Select(_mm_cmpeq_epi16(pb, smallest), b, c));
        a = AddBytes(LoadPixel<Bpp>(row + i), nearest);
        StorePixel<Bpp>(row + i, a);
        c = b;
    }
}

template <int Bpp>
bool UnfilterRow(uint8_t filter, uint8_t* row, const uint8_t* prev, size_t n) {
    switch (filter) {
    case 0: break;
    case 1:
        if constexpr (Bpp == 1) UnfilterSub<1>(row, n);
        else UnfilterSubPixels<Bpp>(row, n);
        break;
    case 2: UnfilterUp(row, prev, n); break;
    case 3:
        if constexpr (Bpp == 1) UnfilterAverage<1>(row, prev, n);
        else UnfilterAveragePixels<Bpp>(row, prev, n);
        break;
    case 4:
        if constexpr (Bpp == 1) UnfilterPaeth<1>(row, prev, n);
        else UnfilterPaethPixels<Bpp>(row, prev, n);
        break;
    default: return false;  // libpng stops with "bad adaptive filter value"
    }
    return true;
}

// --- Rows into bitmap pixels (blue, green, red, alpha in memory).

void GrayTo32(const uint8_t* src, uint8_t* dst, size_t width) {
    for (size_t x = 0; x < width; ++x) {
        const uint32_t pixel = 0xFF000000u | (uint32_t{src[x]} * 0x010101u);
        std::memcpy(dst + 4 * x, &pixel, 4);
    }
}

void SwapRedBlue(const uint8_t* src, uint8_t* dst, size_t width) {
    for (size_t x = 0; x < width; ++x) {
        uint32_t pixel;
        std::memcpy(&pixel, src + 4 * x, 4);
        pixel = (pixel & 0xFF00FF00u) | ((pixel >> 16) & 0xFFu) | ((pixel & 0xFFu) << 16);
        std::memcpy(dst + 4 * x, &pixel, 4);
    }
}

template <int Bpp>
bool UnfilterAll(uint8_t* filtered, size_t rowBytes, uint32_t width, uint32_t height,
                 CPngInflateReader::Layout layout, uint8_t* const* rows) {
    using Layout = CPngInflateReader::Layout;
    std::unique_ptr<uint8_t[]> zeros(new (std::nothrow) uint8_t[rowBytes + kReadSlack]());
    if (!zeros) return false;
    const uint8_t* prev = zeros.get();
    for (uint32_t y = 0; y < height; ++y) {
        uint8_t* row = filtered + static_cast<size_t>(y) * (rowBytes + 1);
        if (!UnfilterRow<Bpp>(row[0], row + 1, prev, rowBytes)) return false;
        prev = row + 1;
        switch (layout) {
        case Layout::Index8: std::memcpy(rows[y], row + 1, rowBytes); break;
        case Layout::GrayTo32: GrayTo32(row + 1, rows[y], width); break;
        case Layout::RGBTo32: PLExpandRGBTo32(row + 1, rows[y], width); break;
        case Layout::RGBATo32: SwapRedBlue(row + 1, rows[y], width); break;
        }
    }
    return true;
}

// Steps through the chunks of the rest of a file, never past its end.
struct ChunkCursor {
    const uint8_t* data;
    size_t available;
    size_t at;  // the data of the current chunk
    uint32_t length;
    const uint8_t* type;

    // Whether the current chunk's data and CRC are all there.
    bool Whole() const { return length <= kLargestLength && available - at >= size_t{length} + 4; }
    bool CrcSound() const { return CrcMatches(type, data + at, length, data + at + length); }
    // To the next chunk; false when its length and type are not all there.
    bool Next() {
        at += size_t{length} + 4;
        if (available - at < 8) return false;
        length = ReadBE32(data + at);
        type = data + at + 4;
        at += 8;
        return true;
    }
};

// The data of the run of IDAT chunks at the cursor, every CRC checked: where it lies when there
// is one chunk, else joined into joined. Leaves the cursor on the chunk after the run.
bool GatherImageData(ChunkCursor& c, CPixelMemoryBlock& joined, const uint8_t*& compressed, size_t& bytes) {
    const ChunkCursor first = c;
    size_t chunks = 0;
    bytes = 0;
    do {
        if (!c.Whole() || !c.CrcSound()) return false;
        ++chunks;
        bytes += c.length;
        if (!c.Next()) return false;
    } while (IsType(c.type, "IDAT"));
    compressed = first.data + first.at;
    if (chunks == 1) return true;
    joined = CPixelMemoryBlock(bytes ? bytes : 1);
    if (!joined) return false;
    ChunkCursor part = first;
    for (size_t i = 0, done = 0; i < chunks; ++i, part.Next()) {
        std::memcpy(joined.data() + done, part.data + part.at, part.length);
        done += part.length;
    }
    compressed = joined.data();
    return true;
}

// What follows the image data, up to IEND, must be chunks libpng passes over without complaint:
// ancillary ones (their CRC is not even an error for it), then an empty IEND with a sound CRC.
// Returns the bytes used up to the end of IEND, or 0.
size_t CheckChunksAfter(ChunkCursor& c) {
    for (;;) {
        if (!IsValidType(c.type) || !c.Whole()) return 0;
        if (IsType(c.type, "IEND")) return c.length == 0 && c.CrcSound() ? c.at + 4 : 0;
        if ((c.type[0] & 0x20) == 0) return 0;  // critical: IDAT after other chunks, PLTE, unknown ones
        if (!c.Next()) return 0;
    }
}

}  // namespace

int CPngInflateReader::BytesPerPixel(Layout layout) {
    switch (layout) {
    case Layout::RGBTo32: return 3;
    case Layout::RGBATo32: return 4;
    default: return 1;
    }
}

size_t CPngInflateReader::Decode(const uint8_t* data, size_t available, uint32_t firstLength, uint32_t width,
                                 uint32_t height, Layout layout, uint8_t* const* rows) {
    if (width == 0 || height == 0) return 0;
    const int bpp = BytesPerPixel(layout);
    const uint64_t rowBytes = uint64_t{width} * static_cast<uint64_t>(bpp);
    const uint64_t filteredBytes = uint64_t{height} * (rowBytes + 1);
    if (filteredBytes > (SIZE_MAX >> 2)) return 0;

    static const uint8_t kIdat[4] = {'I', 'D', 'A', 'T'};
    ChunkCursor cursor{data, available, 0, firstLength, kIdat};
    CPixelMemoryBlock joined;
    const uint8_t* compressed = nullptr;
    size_t compressedBytes = 0;
    if (!GatherImageData(cursor, joined, compressed, compressedBytes)) return 0;
    const size_t used = CheckChunksAfter(cursor);
    if (used == 0) return 0;

    // Deflate packs at most about 1032 bytes into one: data too short for the picture is
    // left to libpng to refuse, before the buffer for the rows is allocated.
    if (filteredBytes / kLargestRatio > compressedBytes + 16) return 0;

    // zlib (which libpng uses) holds a stream to the window its header declares, libdeflate
    // always allows the largest: a smaller window is taken only where it covers the whole
    // picture (libpng's writer declares one that just does for small pictures).
    if (compressedBytes < 2 || (compressed[0] & 0x0F) != 8) return 0;
    const int windowBits = (compressed[0] >> 4) + 8;
    if (windowBits > 15 || (windowBits < 15 && filteredBytes > (uint64_t{1} << windowBits))) return 0;

    CPixelMemoryBlock filtered(static_cast<size_t>(filteredBytes) + kReadSlack);
    if (!filtered) return 0;
    std::memset(filtered.data() + static_cast<size_t>(filteredBytes), 0, kReadSlack);
    std::unique_ptr<libdeflate_decompressor, DecompressorFree> decompressor(libdeflate_alloc_decompressor());
    if (!decompressor) return 0;
    // The stream must fill the buffer exactly and end there, its Adler-32 sound.
    if (libdeflate_zlib_decompress(decompressor.get(), compressed, compressedBytes, filtered.data(),
                                   static_cast<size_t>(filteredBytes), nullptr) != LIBDEFLATE_SUCCESS)
        return 0;
    decompressor.reset();
    joined.reset();

    bool done = false;
    switch (bpp) {
    case 3: done = UnfilterAll<3>(filtered.data(), static_cast<size_t>(rowBytes), width, height, layout, rows); break;
    case 4: done = UnfilterAll<4>(filtered.data(), static_cast<size_t>(rowBytes), width, height, layout, rows); break;
    default: done = UnfilterAll<1>(filtered.data(), static_cast<size_t>(rowBytes), width, height, layout, rows); break;
    }
    return done ? used : 0;
}
