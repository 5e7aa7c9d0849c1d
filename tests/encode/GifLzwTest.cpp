// The GIF decoder's own LZW decompression against giflib's row by row: the same pixels for
// pictures of every code size, with table resets and a full table, and the same rows kept and
// the same kind of failure when the data is cut or damaged.

#include <gtest/gtest.h>

#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <vector>

#include "decode/GifLzw.h"

namespace {

using Bytes = std::vector<uint8_t>;

int WriteToVector(GifFileType* gif, const GifByteType* data, int length) {
    auto* out = static_cast<Bytes*>(gif->UserData);
    out->insert(out->end(), data, data + length);
    return length;
}

// A GIF of one image of the given indices, written by giflib.
Bytes EncodeGif(int width, int height, int bitsPerPixel, const Bytes& indices, bool interlace) {
    Bytes out;
    int error = 0;
    GifFileType* gif = EGifOpen(&out, WriteToVector, &error);
    EXPECT_NE(gif, nullptr);
    ColorMapObject* map = GifMakeMapObject(1 << bitsPerPixel, nullptr);
    EGifSetGifVersion(gif, true);
    EXPECT_EQ(EGifPutScreenDesc(gif, width, height, bitsPerPixel, 0, map), GIF_OK);
    EXPECT_EQ(EGifPutImageDesc(gif, 0, 0, width, height, interlace, nullptr), GIF_OK);
    Bytes row(static_cast<size_t>(width));
    for (int y = 0; y < height; ++y) {
        std::memcpy(row.data(), indices.data() + static_cast<size_t>(y) * width, static_cast<size_t>(width));
        EXPECT_EQ(EGifPutLine(gif, row.data(), width), GIF_OK);
    }
    EGifCloseFile(gif, &error);
    GifFreeMapObject(map);
    return out;
}

struct Reader {
    const Bytes* data;
    size_t at;
};

int ReadFromVector(GifFileType* gif, GifByteType* buffer, int length) {
    auto* r = static_cast<Reader*>(gif->UserData);
    const size_t n = std::min(static_cast<size_t>(length), r->data->size() - r->at);
    std::memcpy(buffer, r->data->data() + r->at, n);
    r->at += n;
    return static_cast<int>(n);
}

// What a decode of the first image gave: the rows in stream order, and whether it failed.
struct Decoded {
    Bytes pixels;
    bool failed = false;
    int error = 0;
};

// giflib reading file up to the data of its first image (its descriptor read); null when it
// cannot open the file. The image's width is 0 when there is no image descriptor.
GifFileType* OpenFirstImage(Reader& reader) {
    int error = 0;
    GifFileType* gif = DGifOpen(&reader, ReadFromVector, &error);
    if (gif == nullptr) return nullptr;
    GifRecordType record;
    while (DGifGetRecordType(gif, &record) == GIF_OK && record != IMAGE_DESC_RECORD_TYPE && record != TERMINATE_RECORD_TYPE) {
    }
    if (DGifGetImageDesc(gif) != GIF_OK) gif->Image.Width = 0;
    return gif;
}

// giflib, a row at a time.
Decoded DecodeWithGiflib(const Bytes& file) {
    Decoded result;
    Reader reader{&file, 0};
    GifFileType* gif = OpenFirstImage(reader);
    if (gif == nullptr) return result;
    if (gif->Image.Width > 0) {
        Bytes row(static_cast<size_t>(gif->Image.Width));
        for (int y = 0; y < gif->Image.Height; ++y) {
            if (DGifGetLine(gif, row.data(), gif->Image.Width) != GIF_OK) {
                result.failed = true;
                result.error = gif->Error;
                break;
            }
            result.pixels.insert(result.pixels.end(), row.begin(), row.end());
        }
    }
    int error = 0;
    DGifCloseFile(gif, &error);
    return result;
}

// Ours: the data blocks through giflib, the decompression in one go; complete rows only.
Decoded DecodeWithOurs(const Bytes& file) {
    Decoded result;
    Reader reader{&file, 0};
    GifFileType* gif = OpenFirstImage(reader);
    if (gif == nullptr) return result;
    if (gif->Image.Width > 0) {
        const size_t width = static_cast<size_t>(gif->Image.Width);
        const size_t pixels = width * static_cast<size_t>(gif->Image.Height);
        int codeSize = 0;
        GifByteType* block = nullptr;
        Bytes data;
        bool readFailed = DGifGetCode(gif, &codeSize, &block) != GIF_OK;
        while (!readFailed && block != nullptr) {
            data.insert(data.end(), block + 1, block + 1 + block[0]);
            readFailed = DGifGetCodeNext(gif, &block) != GIF_OK;
        }
        Bytes out(pixels + kGifLzwSlack);
        const GifLzwResult r = DecodeGifLzw(data.data(), data.size(), codeSize, out.data(), pixels);
        result.pixels.assign(out.begin(), out.begin() + static_cast<long>(r.written / width * width));
        result.failed = r.status != GifLzwStatus::Complete;
        result.error = r.status == GifLzwStatus::Defect       ? D_GIF_ERR_IMAGE_DEFECT
                       : r.status == GifLzwStatus::EndTooSoon ? D_GIF_ERR_EOF_TOO_SOON
                       : readFailed                           ? D_GIF_ERR_READ_FAILED
                                                              : D_GIF_ERR_IMAGE_DEFECT;
    }
    int error = 0;
    DGifCloseFile(gif, &error);
    return result;
}

// Pictures from plain noise (short strings, many table resets) to long runs (strings of
// hundreds of pixels), at every code size.
Bytes MakeIndices(int width, int height, int bitsPerPixel, int runLength, std::mt19937& random) {
    Bytes indices(static_cast<size_t>(width) * height);
    std::uniform_int_distribution<int> colour(0, (1 << bitsPerPixel) - 1);
    uint8_t current = 0;
    for (size_t i = 0; i < indices.size(); ++i) {
        if (runLength <= 1 || i % static_cast<size_t>(runLength) == 0) current = static_cast<uint8_t>(colour(random));
        indices[i] = current;
    }
    return indices;
}

TEST(GifLzw, SamePixelsAsGiflib) {
    const struct {
        int width, height, bits, run;
        bool interlace;
    } cases[] = {
        {1, 1, 1, 1, false},   {7, 3, 1, 1, false},      {300, 200, 1, 1, false}, {300, 200, 2, 1, true},
        {257, 199, 4, 3, false}, {640, 480, 8, 1, false}, {640, 480, 8, 40, true}, {1000, 300, 8, 700, false},
        {33, 1000, 3, 5, false}, {4096, 2, 8, 4096, false}, {2, 4096, 7, 1, true},
    };
    std::mt19937 random(17);
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << " bits " << c.bits << " run " << c.run);
        const Bytes indices = MakeIndices(c.width, c.height, c.bits, c.run, random);
        const Bytes file = EncodeGif(c.width, c.height, c.bits, indices, c.interlace);
        const Decoded theirs = DecodeWithGiflib(file);
        const Decoded ours = DecodeWithOurs(file);
        ASSERT_FALSE(theirs.failed);
        EXPECT_FALSE(ours.failed);
        EXPECT_EQ(ours.pixels, theirs.pixels);
    }
}

// Cut files: the rows giflib returns before it fails are the rows we keep, with a failure of the
// same kind. Damaged bytes: giflib carries on past a code its table does not hold, making up the
// pixels of it (its "no such code" marker, cut to a byte); we stop there, so what we keep is the
// part of giflib's rows up to that code, never different pixels.
TEST(GifLzw, DamagedDataKeepsGiflibsRowsUpToTheDamage) {
    std::mt19937 random(4711);
    const Bytes indices = MakeIndices(200, 120, 8, 6, random);
    const Bytes file = EncodeGif(200, 120, 8, indices, false);
    // The image data starts after the header, the colour map and the image descriptor.
    const size_t dataStart = 13 + 3 * 256 + 10 + 1;
    std::uniform_int_distribution<size_t> where(dataStart, file.size() - 1);
    for (int trial = 0; trial < 300; ++trial) {
        SCOPED_TRACE(trial);
        Bytes damaged = file;
        const bool cut = trial % 3 == 0;
        if (cut)
            damaged.resize(where(random));
        else
            damaged[where(random)] ^= static_cast<uint8_t>(1u << (trial % 8));
        const Decoded theirs = DecodeWithGiflib(damaged);
        const Decoded ours = DecodeWithOurs(damaged);
        if (cut) {
            EXPECT_EQ(ours.pixels, theirs.pixels);
            EXPECT_EQ(ours.failed, theirs.failed);
            if (theirs.failed) {
                EXPECT_EQ(ours.error, theirs.error);
            }
        } else {
            ASSERT_LE(ours.pixels.size(), theirs.pixels.size());
            EXPECT_TRUE(std::equal(ours.pixels.begin(), ours.pixels.end(), theirs.pixels.begin()));
            if (theirs.failed) {
                EXPECT_TRUE(ours.failed);
            }
        }
    }
}

// Hand-made streams at the edges of the code rules.
TEST(GifLzw, CodeRules) {
    // Codes of 3 bits (minimum size 2: clear 4, end 5), packed least significant bit first.
    auto pack = [](std::initializer_list<int> codes, int bits) {
        Bytes data;
        uint32_t acc = 0;
        int count = 0;
        for (int c : codes) {
            acc |= static_cast<uint32_t>(c) << count;
            count += bits;
            while (count >= 8) {
                data.push_back(static_cast<uint8_t>(acc));
                acc >>= 8;
                count -= 8;
            }
        }
        if (count) data.push_back(static_cast<uint8_t>(acc));
        return data;
    };
    const struct {
        const char* name;
        Bytes data;
        size_t capacity;
        GifLzwStatus status;
        Bytes pixels;
    } cases[] = {
        {"roots", pack({4, 1, 2, 3, 5}, 3), 3, GifLzwStatus::Complete, {1, 2, 3}},
        // 1 then code 6 (defined by the next code as 1 + its first pixel): the KwKwK case.
        {"string being defined", pack({4, 1, 6, 5}, 3), 3, GifLzwStatus::Complete, {1, 1, 1}},
        {"end code too soon", pack({4, 1, 5}, 3), 3, GifLzwStatus::EndTooSoon, {1}},
        {"code beyond the table", pack({4, 1, 7}, 3), 3, GifLzwStatus::Defect, {1}},
        {"string code right after clear", pack({4, 6}, 3), 3, GifLzwStatus::Defect, {}},
        // The padding of the last byte reads as two more codes of pixel 0 (the second of 4 bits).
        {"data runs out", pack({4, 1, 2}, 3), 10, GifLzwStatus::DataEnded, {1, 2, 0, 0}},
        {"later codes ignored when full", pack({4, 1, 2, 7, 7}, 3), 2, GifLzwStatus::Complete, {1, 2}},
        {"string cut at the end", pack({4, 3, 6, 6}, 3), 4, GifLzwStatus::Complete, {3, 3, 3, 3}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes out(c.capacity + kGifLzwSlack);
        const GifLzwResult r = DecodeGifLzw(c.data.data(), c.data.size(), 2, out.data(), c.capacity);
        EXPECT_EQ(static_cast<int>(r.status), static_cast<int>(c.status));
        ASSERT_EQ(r.written, c.pixels.size());
        EXPECT_EQ(Bytes(out.begin(), out.begin() + static_cast<long>(r.written)), c.pixels);
    }
    Bytes out(8 + kGifLzwSlack);
    EXPECT_EQ(static_cast<int>(DecodeGifLzw(nullptr, 0, 9, out.data(), 8).status), static_cast<int>(GifLzwStatus::Defect));
}

}  // namespace
