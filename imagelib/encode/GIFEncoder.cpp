#include "encode/GIFEncoder.h"

#include <cstring>
#include <exception>
#include <vector>

#include <gif_lib.h>

#include "PixelConvert.h"

namespace {

[[noreturn]] void ThrowGifError(int code) {
    const char* text = GifErrorString(code);
    if (text) throw CTextException::Format(PLErr::Unsupported, "GIF-LIB error: %s.", text);
    throw CTextException::Format(PLErr::Unsupported, "GIF-LIB undefined error %d.", code);
}

// Maps the picture's colours to indices when it has 256 colours or fewer. False (and indices
// incomplete) as soon as a 257th colour turns up.
bool MapExactColors(const CDibBitmap& bitmap, uint8_t* indices, GifColorType* colors, int* count) {
    constexpr uint32_t kSlots = 1024;  // open addressing, at most a quarter full
    uint32_t keys[kSlots];
    uint8_t values[kSlots];
    std::memset(keys, 0xFF, sizeof keys);  // 0xFFFFFFFF: empty (real keys have a zero top byte)
    int used = 0;
    uint32_t lastKey = 0xFFFFFFFFu;
    uint8_t lastIndex = 0;
    const int32_t width = bitmap.GetWidth();
    for (int32_t y = 0; y < bitmap.GetHeight(); ++y) {
        const uint8_t* src = bitmap.GetLine(y);
        for (int32_t x = 0; x < width; ++x, src += 4) {
            uint32_t key = PLLoadPixel(src) & 0x00FFFFFFu;
            if (key != lastKey) {
                uint32_t slot = (key * 2654435761u) >> 22;
                while (keys[slot] != key && keys[slot] != 0xFFFFFFFFu) slot = (slot + 1) & (kSlots - 1);
                if (keys[slot] != key) {
                    if (used == 256) return false;
                    keys[slot] = key;
                    values[slot] = static_cast<uint8_t>(used);
                    colors[used].Red = PLPixelRed(key);
                    colors[used].Green = PLPixelGreen(key);
                    colors[used].Blue = PLPixelBlue(key);
                    ++used;
                }
                lastKey = key;
                lastIndex = values[slot];
            }
            *indices++ = lastIndex;
        }
    }
    *count = used;
    return true;
}

// giflib's median cut over the three colour planes.
void Quantize(const CDibBitmap& bitmap, uint8_t* indices, GifColorType* colors, int* count) {
    const size_t pixels = static_cast<size_t>(bitmap.GetWidth()) * static_cast<size_t>(bitmap.GetHeight());
    std::vector<GifByteType> red(pixels), green(pixels), blue(pixels);
    size_t i = 0;
    for (int32_t y = 0; y < bitmap.GetHeight(); ++y) {
        const uint8_t* src = bitmap.GetLine(y);
        for (int32_t x = 0; x < bitmap.GetWidth(); ++x, src += 4, ++i) {
            red[i] = src[PL_RED];
            green[i] = src[PL_GREEN];
            blue[i] = src[PL_BLUE];
        }
    }
    int size = 256;
    if (GifQuantizeBuffer(static_cast<unsigned>(bitmap.GetWidth()), static_cast<unsigned>(bitmap.GetHeight()),
                          &size, red.data(), green.data(), blue.data(), indices, colors) != GIF_OK)
        throw CTextException(PLErr::NoMemory, "Out of memory quantizing the GIF colours.");
    *count = size;
}

struct WriteState {
    CByteSink* sink;
    std::exception_ptr failure;
};

int WriteFn(GifFileType* gif, const GifByteType* data, int length) {
    auto* state = static_cast<WriteState*>(gif->UserData);
    if (length <= 0) return 0;
    try {
        state->sink->WriteNBytes(static_cast<size_t>(length), data);
        return length;
    } catch (...) {
        if (!state->failure) state->failure = std::current_exception();
    }
    return 0;
}

// Closes gif and throws for code, or rethrows the sink's own failure.
[[noreturn]] void Fail(GifFileType* gif, int code, WriteState& state) {
    int ignored = 0;
    EGifCloseFile(gif, &ignored);
    if (state.failure) std::rethrow_exception(state.failure);
    ThrowGifError(code);
}

}  // namespace

CGIFEncoder::CGIFEncoder() = default;
CGIFEncoder::~CGIFEncoder() = default;

void CGIFEncoder::DoEncode(const CDibBitmap& bitmap, CByteSink& sink) {
    if (bitmap.GetWidth() > 65535 || bitmap.GetHeight() > 65535)
        throw CTextException(PLErr::UnknownVariant, "GIF images can't be larger than 65535 x 65535 pixels.");
    CPLEncoderInput input(bitmap);
    const CDibBitmap& pixels = input.Get();
    const int width = pixels.GetWidth();
    const int height = pixels.GetHeight();

    std::vector<uint8_t> indices(static_cast<size_t>(width) * static_cast<size_t>(height));
    GifColorType colors[256] = {};
    int count = 0;
    if (!MapExactColors(pixels, indices.data(), colors, &count)) Quantize(pixels, indices.data(), colors, &count);
    int mapSize = 2;
    while (mapSize < count) mapSize *= 2;

    WriteState state{&sink, nullptr};
    int error = 0;
    GifFileType* gif = EGifOpen(&state, WriteFn, &error);
    if (!gif) ThrowGifError(error);
    ColorMapObject* map = GifMakeMapObject(mapSize, colors);
    if (!map) Fail(gif, E_GIF_ERR_NOT_ENOUGH_MEM, state);
    int result = EGifPutScreenDesc(gif, width, height, 8, 0, map);
    GifFreeMapObject(map);  // giflib keeps its own copy
    if (result != GIF_OK) Fail(gif, gif->Error, state);
    if (EGifPutImageDesc(gif, 0, 0, width, height, false, nullptr) != GIF_OK) Fail(gif, gif->Error, state);
    for (int y = 0; y < height; ++y) {
        if (EGifPutLine(gif, indices.data() + static_cast<size_t>(y) * width, width) != GIF_OK)
            Fail(gif, gif->Error, state);
    }
    if (EGifCloseFile(gif, &error) != GIF_OK) {
        if (state.failure) std::rethrow_exception(state.failure);
        ThrowGifError(error);
    }
    if (state.failure) std::rethrow_exception(state.failure);
}
