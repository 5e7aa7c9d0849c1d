// The whole-stream PNG reader against libpng's own decoding of the same files: every filter on
// every colour type it takes on, widths of one and odd widths, data split into many IDAT
// chunks, chunks after the data; and damaged or cut files, which must end exactly as they do
// through libpng alone (the same pixels, or the same error code and text).

#include <gtest/gtest.h>

#include <libdeflate.h>

#include "CodecTestUtil.h"
#include "HeapBitmap.h"
#include "decode/PNGDecoder.h"
#include "decode/PngInflateReader.h"

using namespace codectest;

namespace {

constexpr int kMixedFilters = -1;  // every row another filter

struct Sample {
    uint32_t width, height;
    int colorType;  // 0 grey, 2 RGB, 3 palette, 6 RGBA
    int filter;     // 0..4, or kMixedFilters
    size_t idatBytes;
    bool textAfter = false;  // a tEXt chunk between the data and IEND
    bool trns = false;
};

int Channels(int colorType) { return colorType == 2 ? 3 : colorType == 6 ? 4 : 1; }

void PutBE32(Bytes& out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(v >> shift));
}

void PutChunk(Bytes& out, const char* type, const uint8_t* data, size_t length) {
    PutBE32(out, static_cast<uint32_t>(length));
    const size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    if (length) out.insert(out.end(), data, data + length);
    PutBE32(out, libdeflate_crc32(0, out.data() + start, length + 4));
}

// Filtered rows of noise mixed with runs of small values (so that Paeth meets its ties).
Bytes FilteredRows(const Sample& s) {
    const size_t rowBytes = size_t{s.width} * static_cast<size_t>(Channels(s.colorType));
    Bytes raw;
    uint32_t seed = s.width * 7919u + s.height * 31u + static_cast<uint32_t>(s.colorType);
    for (uint32_t y = 0; y < s.height; ++y) {
        raw.push_back(static_cast<uint8_t>(s.filter == kMixedFilters ? y % 5 : s.filter));
        for (size_t i = 0; i < rowBytes; ++i) {
            seed = seed * 1103515245u + 12345u;
            const uint8_t noise = static_cast<uint8_t>(seed >> 16);
            raw.push_back((seed >> 28) < 5 ? noise : static_cast<uint8_t>(noise & 1));
        }
    }
    return raw;
}

Bytes Compress(const Bytes& raw) {
    libdeflate_compressor* c = libdeflate_alloc_compressor(6);
    Bytes out(libdeflate_zlib_compress_bound(c, raw.size()));
    out.resize(libdeflate_zlib_compress(c, raw.data(), raw.size(), out.data(), out.size()));
    libdeflate_free_compressor(c);
    return out;
}

Bytes MakePng(const Sample& s, const Bytes& zlib) {
    Bytes png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    Bytes ihdr;
    PutBE32(ihdr, s.width);
    PutBE32(ihdr, s.height);
    ihdr.insert(ihdr.end(), {8, static_cast<uint8_t>(s.colorType), 0, 0, 0});
    PutChunk(png, "IHDR", ihdr.data(), ihdr.size());
    if (s.colorType == 3) {
        Bytes plte;
        for (int i = 0; i < 200; ++i) plte.insert(plte.end(), {uint8_t(i), uint8_t(255 - i), uint8_t(i * 7)});
        PutChunk(png, "PLTE", plte.data(), plte.size());
    }
    if (s.trns) {
        const Bytes trns = s.colorType == 0 ? Bytes{0, 1} : s.colorType == 2 ? Bytes{0, 1, 0, 0, 0, 0} : Bytes{0, 128};
        PutChunk(png, "tRNS", trns.data(), trns.size());
    }
    for (size_t at = 0; at < zlib.size(); at += s.idatBytes)
        PutChunk(png, "IDAT", zlib.data() + at, std::min(s.idatBytes, zlib.size() - at));
    if (s.textAfter) {
        static const char kText[] = "Comment\0made after the picture";
        PutChunk(png, "tEXt", reinterpret_cast<const uint8_t*>(kText), sizeof kText - 1);
    }
    PutChunk(png, "IEND", nullptr, 0);
    return png;
}

struct Outcome {
    int code = 0;
    std::string text;
    int depth = 0;
    bool alpha = false;
    Bytes pixels;  // the rows, then the colour table
};

Outcome Decode(const Bytes& file, int wantedDepth, bool inflateReader) {
    const bool before = CPNGDecoder::UseInflateReader(inflateReader);
    Outcome o;
    CHeapBitmap bmp;
    o.code = CaughtCode([&] { CPNGDecoder().MakeBmpFromMemory(file.data(), file.size(), bmp, wantedDepth); },
                        &o.text);
    CPNGDecoder::UseInflateReader(before);
    if (o.code != 0) return o;
    o.depth = bmp.GetBitsPerPixel();
    o.alpha = bmp.HasAlpha();
    const size_t rowBytes = static_cast<size_t>(bmp.GetWidth()) * o.depth / 8;
    for (int32_t y = 0; y < bmp.GetHeight(); ++y) o.pixels.insert(o.pixels.end(), bmp.GetLine(y), bmp.GetLine(y) + rowBytes);
    if (o.depth == 8) {
        const uint8_t* table = reinterpret_cast<const uint8_t*>(bmp.GetPalette());
        o.pixels.insert(o.pixels.end(), table, table + 256 * 4);
    }
    return o;
}

void ExpectSameOutcome(const Bytes& file, int wantedDepth, const std::string& what) {
    const Outcome fast = Decode(file, wantedDepth, true);
    const Outcome slow = Decode(file, wantedDepth, false);
    EXPECT_EQ(fast.code, slow.code) << what;
    EXPECT_EQ(fast.text, slow.text) << what;
    EXPECT_EQ(fast.depth, slow.depth) << what;
    EXPECT_EQ(fast.alpha, slow.alpha) << what;
    EXPECT_TRUE(fast.pixels == slow.pixels) << what;
}

uint32_t ReadBE32(const uint8_t* p) { return (uint32_t{p[0]} << 24) | (p[1] << 16) | (p[2] << 8) | p[3]; }

// Where the first IDAT chunk's data starts (0 when there is none).
size_t FirstIdatData(const Bytes& png) {
    for (size_t at = 8; at + 8 <= png.size();) {
        const uint32_t length = ReadBE32(&png[at]);
        if (std::memcmp(&png[at + 4], "IDAT", 4) == 0) return at + 8;
        at += 12 + size_t{length};
    }
    return 0;
}

// Runs the reader on a file of RGB, RGBA, grey or palette pixels; what it returns.
size_t ReadDirectly(const Sample& s, const Bytes& png) {
    const size_t data = FirstIdatData(png);
    if (data == 0) return 0;
    const uint32_t firstLength = ReadBE32(&png[data - 8]);
    const int bpp = s.colorType == 2 || s.colorType == 6 ? 4 : 1;
    const auto layout = s.colorType == 2   ? CPngInflateReader::Layout::RGBTo32
                        : s.colorType == 6 ? CPngInflateReader::Layout::RGBATo32
                                           : CPngInflateReader::Layout::Index8;
    Bytes pixels(size_t{s.width} * s.height * static_cast<size_t>(bpp));
    std::vector<uint8_t*> rows(s.height);
    for (uint32_t y = 0; y < s.height; ++y) rows[y] = pixels.data() + size_t{y} * s.width * static_cast<size_t>(bpp);
    return CPngInflateReader::Decode(png.data() + data, png.size() - data, firstLength, s.width, s.height, layout,
                                     rows.data());
}

const Sample kSamples[] = {
    {1, 1, 2, 0, 64},         {1, 9, 2, 4, 64},         {1, 9, 6, 3, 64},        {1, 7, 0, 4, 64},
    {33, 17, 2, kMixedFilters, 1 << 20},                {33, 17, 6, kMixedFilters, 50},
    {33, 17, 0, kMixedFilters, 7},                      {33, 17, 3, kMixedFilters, 1 << 20},
    {64, 16, 2, 0, 1 << 20},  {64, 16, 2, 1, 1 << 20},  {64, 16, 2, 2, 1 << 20}, {64, 16, 2, 3, 1 << 20},
    {64, 16, 2, 4, 1 << 20},  {64, 16, 6, 1, 300},      {64, 16, 6, 2, 300},     {64, 16, 6, 3, 300},
    {64, 16, 6, 4, 300},      {5, 40, 0, 1, 99},        {5, 40, 0, 3, 99},       {5, 40, 3, 4, 99},
    {301, 5, 2, kMixedFilters, 4096, true},             {301, 5, 6, kMixedFilters, 4096, true},
    {20, 20, 2, kMixedFilters, 1 << 20, false, true},   {20, 20, 0, kMixedFilters, 1 << 20, false, true},
    {20, 20, 3, kMixedFilters, 1 << 20, false, true},
};

TEST(PngInflateReader, DecodesEveryFilterLikeLibpng) {
    for (const Sample& s : kSamples) {
        const std::string what = "width " + std::to_string(s.width) + " height " + std::to_string(s.height) +
                                 " type " + std::to_string(s.colorType) + " filter " + std::to_string(s.filter);
        const Bytes png = MakePng(s, Compress(FilteredRows(s)));
        for (int wanted : {0, 32}) ExpectSameOutcome(png, wanted, what + " wanted " + std::to_string(wanted));

        // The reader itself takes every one of these files, to its very end.
        EXPECT_EQ(ReadDirectly(s, png), png.size() - FirstIdatData(png)) << what;
    }
    // Deflate's longest runs: a blank picture packs nearly a thousand to one.
    const Sample blank{2000, 500, 6, 0, 1 << 20};
    const Bytes png = MakePng(blank, Compress(Bytes(size_t{500} * (2000 * 4 + 1), 0)));
    EXPECT_EQ(ReadDirectly(blank, png), png.size() - FirstIdatData(png));
}

TEST(PngInflateReader, DamagedAndCutFilesEndAsThroughLibpng) {
    const Sample s{37, 23, 2, kMixedFilters, 500, true};
    const Bytes raw = FilteredRows(s);
    const Bytes zlib = Compress(raw);
    const Bytes good = MakePng(s, zlib);
    const size_t data = FirstIdatData(good);

    struct Damage {
        const char* what;
        Bytes file;
    };
    std::vector<Damage> cases;
    for (size_t cut : {data - 4, data + 10, data + 600, good.size() - 40, good.size() - 12, good.size() - 1})
        cases.push_back({"cut", Bytes(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(cut))});
    Bytes flipped = good;
    flipped[data + 100] ^= 0x10;  // the chunk's CRC no longer matches
    cases.push_back({"IDAT data", flipped});
    flipped = good;
    flipped[data + s.idatBytes + 1] ^= 1;  // the sound data of the first chunk, its CRC damaged
    cases.push_back({"IDAT CRC", flipped});
    flipped = good;
    flipped[good.size() - 2] ^= 1;  // IEND's CRC
    cases.push_back({"IEND CRC", flipped});
    flipped = good;
    flipped[good.size() - 20] ^= 1;  // tEXt's CRC: only a warning for libpng
    cases.push_back({"tEXt CRC", flipped});

    // Streams that need rewriting: an Adler-32 that is wrong (libpng ignores it), a filter
    // type that does not exist, a stream too short and one too long, a small window.
    Bytes stream = zlib;
    stream.back() ^= 1;
    cases.push_back({"Adler-32", MakePng(s, stream)});
    Bytes badFilter = raw;
    badFilter[(s.width * 3 + 1) * 5] = 5;
    cases.push_back({"filter 5", MakePng(s, Compress(badFilter))});
    cases.push_back({"short stream", MakePng(s, Compress(Bytes(raw.begin(), raw.end() - 40)))});
    Bytes longer = raw;
    longer.insert(longer.end(), 300, 7);
    cases.push_back({"long stream", MakePng(s, Compress(longer))});
    const Sample wide{400, 60, 2, 0, 1 << 20};  // matches reach further back than 4 KiB
    stream = Compress(FilteredRows(wide));
    stream[0] = 0x48;  // a 4 KiB window; the check bits follow the header
    stream[1] = static_cast<uint8_t>(stream[1] & 0xE0);
    stream[1] = static_cast<uint8_t>(stream[1] + (31 - (stream[0] * 256 + stream[1]) % 31) % 31);
    cases.push_back({"small window", MakePng(wide, stream)});
    Bytes twoRuns = good;  // a second run of IDAT chunks after the tEXt chunk
    const Bytes extra = MakePng(Sample{1, 1, 2, 0, 64}, Compress(Bytes{0, 1, 2, 3}));
    const size_t extraIdat = FirstIdatData(extra) - 8;
    twoRuns.insert(twoRuns.end() - 12, extra.begin() + static_cast<std::ptrdiff_t>(extraIdat), extra.end() - 12);
    cases.push_back({"IDAT after tEXt", twoRuns});

    for (const Damage& d : cases)
        for (int wanted : {0, 32}) ExpectSameOutcome(d.file, wanted, d.what);
}

// Files of other writers (ImageMagick's fixtures, with their own chunks), damaged ones among them.
TEST(PngInflateReader, FixturesDecodeLikeLibpng) {
    for (const std::string& name : ListFolder(LUMATRE_CODEC_TESTDATA))
        if (name.size() > 4 && name.compare(name.size() - 4, 4, ".png") == 0)
            for (int wanted : {0, 32}) ExpectSameOutcome(ReadFile(DataPath(name)), wanted, name);
    // Their small pictures declare small zlib windows, which the reader takes where they cover
    // the picture; the text chunks after the data are passed over.
    for (const char* name : {"png_rgb8.png", "png_rgba8.png", "png_g8.png", "png_p8.png"}) {
        const Bytes file = ReadFile(DataPath(name));
        ASSERT_GT(file.size(), 26u);
        const Sample s{ReadBE32(&file[16]), ReadBE32(&file[20]), file[25], 0, 0};
        EXPECT_EQ(ReadDirectly(s, file), file.size() - FirstIdatData(file)) << name;
    }
}

}  // namespace
