#include "decode/GIFDecoder.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <vector>

#include <gif_lib.h>

#include "PixelConvert.h"
#include "PixelMemory.h"
#include "decode/GifLzw.h"

namespace {

struct ReadState {
    CByteSource* source;
    std::exception_ptr failure;
    bool ranOut;  // giflib asked for more bytes than were left
};

int ReadFn(GifFileType* gif, GifByteType* buffer, int length) {
    auto* state = static_cast<ReadState*>(gif->UserData);
    if (length <= 0) return 0;
    try {
        uint32_t n = std::min<uint32_t>(static_cast<uint32_t>(length), state->source->GetBytesLeft());
        if (n < static_cast<uint32_t>(length)) state->ranOut = true;
        if (n == 0) return 0;
        std::memcpy(buffer, state->source->ReadNBytes(n), n);
        return static_cast<int>(n);
    } catch (...) {
        if (!state->failure) state->failure = std::current_exception();
    }
    return 0;
}

// Closes the giflib handle on every path out of a decode.
struct GifCloser {
    GifFileType* gif;
    ~GifCloser() {
        int ignored = 0;
        if (gif) DGifCloseFile(gif, &ignored);
    }
};

[[noreturn]] void ThrowGifError(int code, const ReadState& state) {
    // The source's own failure has been traced and thrown through the decoder error path.
    if (state.failure) std::rethrow_exception(state.failure);
    if (state.ranOut || code == D_GIF_ERR_READ_FAILED || code == D_GIF_ERR_EOF_TOO_SOON)
        CImageDecoder::RaiseEndOfFile();
    int plCode = PLErr::CorruptData;
    if (code == D_GIF_ERR_NOT_GIF_FILE) plCode = PLErr::WrongSignature;
    if (code == D_GIF_ERR_NOT_ENOUGH_MEM) plCode = PLErr::NoMemory;
    const char* text = GifErrorString(code);
    if (text) CImageDecoder::RaiseErrorF(plCode, "GIF-LIB error: %s.", text);
    CImageDecoder::RaiseErrorF(plCode, "GIF-LIB undefined error %d.", code);
}

// The most pixels one byte of GIF image data can stand for: a 12-bit code from a full string
// table names a string of up to 4096 pixels, so 8 bits carry at most 4096 * 8 / 12 of them.
constexpr uint64_t kMaxPixelsPerDataByte = 2731;
// Screens up to this many pixels are made even when the data is shorter than they are large:
// a small picture may sit on a wider background.
constexpr uint64_t kFreeScreenPixels = 1u << 20;

// Refuses a logical screen larger than the rest of the data can stand for (code 11), before
// anything of its size is allocated.
void CheckScreenAgainstData(int64_t width, int64_t height, uint32_t bytesLeft) {
    const uint64_t pixels = static_cast<uint64_t>(width) * static_cast<uint64_t>(height);
    if (pixels > kFreeScreenPixels && pixels / kMaxPixelsPerDataByte > bytesLeft) {
        PLTraceF(0, "GIF screen of %lld x %lld pixels is larger than its %u data bytes can describe.\n",
                 static_cast<long long>(width), static_cast<long long>(height), bytesLeft);
        CImageDecoder::RaiseEndOfFile();
    }
}

void CopyColorMap(const ColorMapObject* map, PLRGBQuad* palette) {
    for (int i = 0; i < 256; ++i) palette[i] = PLRGBQuad{0, 0, 0, 255};
    if (!map || !map->Colors) return;
    for (int i = 0; i < map->ColorCount && i < 256; ++i)
        palette[i] = PLRGBQuad{map->Colors[i].Blue, map->Colors[i].Green, map->Colors[i].Red, 255};
}

// Appends the remaining data sub-blocks of the image giflib is reading, read from the source
// directly (giflib reads nothing ahead, and a call per block through it costs more than decoding
// them). Leaves the source after the block terminator; false when the data ends first.
bool GatherImageData(CByteSource& source, CPixelMemoryBlock& data, size_t& used) {
    const uint32_t left = source.GetBytesLeft();
    if (left == 0) return false;
    const uint8_t* p = source.GetBufferPtr(1);
    uint32_t at = 0;
    bool complete = false;
    while (at < left) {
        const uint32_t length = p[at];
        if (length == 0) {
            ++at;
            complete = true;
            break;
        }
        const uint32_t available = std::min(length, left - at - 1);
        std::memcpy(data.data() + used, p + at + 1, available);
        used += available;
        at += 1 + available;
        if (available < length) break;
    }
    source.Skip(at);
    return complete;
}

}  // namespace

CGIFDecoder::CGIFDecoder() = default;
CGIFDecoder::~CGIFDecoder() = default;

void CGIFDecoder::DoDecode(CDibBitmap& bitmap, PLPaletteBlock& palette, int& wantedDepth, CByteSource& source) {
    PLTrace(2, "Decoding GIF.\n");
    ReadState state{&source, nullptr, false};
    int error = 0;
    GifCloser closer{DGifOpen(&state, ReadFn, &error)};
    GifFileType* gif = closer.gif;
    if (!gif) ThrowGifError(error, state);

    // The picture is built as indices into one colour table. When a later image brings other
    // colours than the first, indices can no longer say it and the picture goes on in 32 bits.
    const bool want32 = wantedDepth == 32;
    CHeapBitmap scratch;  // the indices when the result has 32 bits
    CDibBitmap& indexed = want32 ? static_cast<CDibBitmap&>(scratch) : bitmap;
    CHeapBitmap trueColour;
    bool isTrueColour = false;
    int32_t screenWidth = gif->SWidth, screenHeight = gif->SHeight;
    bool created = false;
    // The screen is made when the first image arrives, and only when the data left can fill
    // it; its size is checked against the decoder limit before anything is allocated.
    auto createScreen = [&](int32_t width, int32_t height) {
        CheckBitmapSize(width, height, 8);
        CheckScreenAgainstData(width, height, source.GetBytesLeft());
        if (want32) CreateBitmap(bitmap, width, height, 32, false);  // checks the final size
        CreateBitmap(indexed, width, height, 8, false);
        uint8_t background = static_cast<uint8_t>(gif->SBackGroundColor);
        for (int32_t y = 0; y < height; ++y) std::memset(indexed.GetLine(y), background, static_cast<size_t>(width));
        created = true;
    };

    palette = AllocPalette();  // the colours the indices stand for
    CopyColorMap(gif->SColorMap, palette.get());
    PLRGBQuad imageColours[256];
    PLPixel32 lut[256];
    std::vector<GifPixelType> line;
    // An image's data blocks joined: never more than the bytes left in the file (and the first
    // block, which giflib has read already).
    CPixelMemoryBlock lzwData(size_t{source.GetBytesLeft()} + 256);
    if (!lzwData) RaiseError(PLErr::NoMemory, "Out of memory decoding GIF image.");
    int imageNumber = 0;
    int transparent = -1;  // of the next image, from its graphic control extension
    bool truncated = false;
    for (bool done = false; !done && !truncated;) {
        GifRecordType record = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(gif, &record) != GIF_OK) {
            if (imageNumber == 0) ThrowGifError(gif->Error, state);
            truncated = true;  // the images read so far stand
            break;
        }
        switch (record) {
        case IMAGE_DESC_RECORD_TYPE: {
            if (DGifGetImageDesc(gif) != GIF_OK) {
                if (imageNumber == 0) ThrowGifError(gif->Error, state);
                truncated = true;
                break;
            }
            ++imageNumber;
            const GifImageDesc& desc = gif->Image;
            if (!created) {
                // A screen of no size takes the size of its first image.
                if (screenWidth <= 0 || screenHeight <= 0) {
                    screenWidth = desc.Left + desc.Width;
                    screenHeight = desc.Top + desc.Height;
                }
                createScreen(screenWidth, screenHeight);
            }
            if (desc.Left + desc.Width > screenWidth || desc.Top + desc.Height > screenHeight)
                PLTraceF(0, "Image %d is not confined to screen dimension, clipped.\n", imageNumber);
            CopyColorMap(desc.ColorMap ? desc.ColorMap : gif->SColorMap, imageColours);
            if (imageNumber == 1) {
                std::memcpy(palette.get(), imageColours, sizeof imageColours);
            } else if (!isTrueColour && std::memcmp(palette.get(), imageColours, sizeof imageColours) != 0) {
                CheckBitmapSize(screenWidth, screenHeight, 32);
                trueColour.Create(screenWidth, screenHeight, 32, false);
                for (int i = 0; i < 256; ++i) lut[i] = PLQuadToPixel(palette[i]);
                for (int32_t y = 0; y < screenHeight; ++y)
                    PLExpand8To32(indexed.GetLine(y), trueColour.GetLine(y), screenWidth, lut);
                isTrueColour = true;
            }
            for (int i = 0; i < 256; ++i) lut[i] = PLQuadToPixel(imageColours[i]);
            if (desc.Width <= 0 || desc.Height <= 0) break;

            static const int kPassStart[4] = {0, 4, 2, 1};
            static const int kPassStep[4] = {8, 8, 4, 2};
            const int passes = desc.Interlace ? 4 : 1;
            const int32_t x0 = std::max<int32_t>(0, desc.Left);
            const int32_t x1 = std::min<int32_t>(screenWidth, desc.Left + desc.Width);
            // Screen column x is column x - Left of the image's row.
            auto placeRow = [&](int row, const GifPixelType* pixels) {
                const int32_t y = desc.Top + row;
                if (y < 0 || y >= screenHeight || x0 >= x1) return;
                if (isTrueColour) {
                    uint8_t* dst = trueColour.GetLine(y);
                    for (int32_t x = x0; x < x1; ++x) {
                        const GifPixelType index = pixels[x - desc.Left];
                        if (index != transparent) PLStorePixel(dst + 4 * x, lut[index]);
                    }
                } else if (transparent < 0) {
                    std::memcpy(indexed.GetLine(y) + x0, pixels + (x0 - desc.Left), static_cast<size_t>(x1 - x0));
                } else {
                    uint8_t* dst = indexed.GetLine(y);
                    for (int32_t x = x0; x < x1; ++x) {
                        const GifPixelType index = pixels[x - desc.Left];
                        if (index != transparent) dst[x] = index;
                    }
                }
            };
            const uint64_t imagePixels = static_cast<uint64_t>(desc.Width) * static_cast<uint64_t>(desc.Height);
            if (imagePixels <= static_cast<uint64_t>(screenWidth) * static_cast<uint64_t>(screenHeight)) {
                // The whole image at once (GifLzw.h); an image no larger than the screen, which was
                // checked against the data before it was made.
                int codeSize = 0;
                GifByteType* first = nullptr;
                bool readFailed = DGifGetCode(gif, &codeSize, &first) != GIF_OK;
                size_t lzwBytes = 0;
                if (!readFailed && first != nullptr) {
                    std::memcpy(lzwData.data(), first + 1, first[0]);
                    lzwBytes = first[0];
                    readFailed = !GatherImageData(source, lzwData, lzwBytes);
                    if (readFailed) state.ranOut = true;
                }
                CPixelMemoryBlock pixels(static_cast<size_t>(imagePixels) + kGifLzwSlack);
                if (!pixels) RaiseError(PLErr::NoMemory, "Out of memory decoding GIF image.");
                const GifLzwResult decoded = DecodeGifLzw(lzwData.data(), lzwBytes, codeSize, pixels.data(),
                                                          static_cast<size_t>(imagePixels));
                const size_t rows = decoded.written / static_cast<size_t>(desc.Width);
                if (decoded.status != GifLzwStatus::Complete || readFailed) {
                    // Cut short inside the image: keep the rows drawn (the first image still fails
                    // when not a single row of it could be read), with giflib's error codes.
                    int code = D_GIF_ERR_READ_FAILED;  // the file ended
                    if (decoded.status == GifLzwStatus::Defect) code = D_GIF_ERR_IMAGE_DEFECT;
                    if (decoded.status == GifLzwStatus::EndTooSoon) code = D_GIF_ERR_EOF_TOO_SOON;
                    // Data blocks that end before the image is full: the data is defective.
                    if (decoded.status == GifLzwStatus::DataEnded && !readFailed) code = D_GIF_ERR_IMAGE_DEFECT;
                    if (imageNumber == 1 && rows == 0) ThrowGifError(code, state);
                    truncated = true;
                }
                // Rows come in the order of the interlace passes.
                size_t streamRow = 0;
                for (int pass = 0; pass < passes && streamRow < rows; ++pass) {
                    const int start = desc.Interlace ? kPassStart[pass] : 0;
                    const int step = desc.Interlace ? kPassStep[pass] : 1;
                    for (int row = start; row < desc.Height && streamRow < rows; row += step, ++streamRow)
                        placeRow(row, pixels.data() + streamRow * static_cast<size_t>(desc.Width));
                }
            } else {
                line.resize(static_cast<size_t>(desc.Width));
                for (int pass = 0; pass < passes && !truncated; ++pass) {
                    const int start = desc.Interlace ? kPassStart[pass] : 0;
                    const int step = desc.Interlace ? kPassStep[pass] : 1;
                    for (int row = start; row < desc.Height; row += step) {
                        if (DGifGetLine(gif, line.data(), desc.Width) != GIF_OK) {
                            // Cut short inside the image: keep what was drawn (the first image
                            // still fails when not a single row of it could be read).
                            if (imageNumber == 1 && pass == 0 && row == start) ThrowGifError(gif->Error, state);
                            truncated = true;
                            break;
                        }
                        placeRow(row, line.data());
                    }
                }
            }
            transparent = -1;
            break;
        }
        case EXTENSION_RECORD_TYPE: {
            int code = 0;
            GifByteType* block = nullptr;
            if (DGifGetExtension(gif, &code, &block) != GIF_OK) {
                if (imageNumber == 0) ThrowGifError(gif->Error, state);
                truncated = true;
                break;
            }
            if (code == GRAPHICS_EXT_FUNC_CODE && block && block[0] >= 4)
                transparent = (block[1] & 1) ? block[4] : -1;
            while (block) {
                if (DGifGetExtensionNext(gif, &block) != GIF_OK) {
                    if (imageNumber == 0) ThrowGifError(gif->Error, state);
                    truncated = true;
                    break;
                }
            }
            break;
        }
        case TERMINATE_RECORD_TYPE:
            done = true;
            break;
        default:
            break;
        }
    }
    if (truncated) PLTrace(0, "GIF data ended early; the picture keeps what was read.\n");
    if (!created) RaiseError(PLErr::CorruptData, "GIF file holds no image.");

    if (isTrueColour) {
        if (!want32) CreateBitmap(bitmap, screenWidth, screenHeight, 32, false);
        CPLBitmapLock lock(bitmap, false, true);
        const size_t rowBytes = static_cast<size_t>(screenWidth) * 4;
        for (int32_t y = 0; y < screenHeight; ++y) std::memcpy(bitmap.GetLine(y), trueColour.GetLine(y), rowBytes);
        wantedDepth = 32;
        return;
    }
    indexed.CopyPalette(palette.get());
    if (want32) {
        for (int i = 0; i < 256; ++i) lut[i] = PLQuadToPixel(palette[i]);
        CPLBitmapLock lock(bitmap, false, true);
        for (int32_t y = 0; y < screenHeight; ++y) PLExpand8To32(indexed.GetLine(y), bitmap.GetLine(y), screenWidth, lut);
    }
    wantedDepth = want32 ? 32 : 8;
}
