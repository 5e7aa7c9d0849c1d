#include "decode/PGMDecoder.h"

#include "decode/DecoderSupport.h"

CPGMDecoder::CPGMDecoder() = default;

CPGMDecoder::~CPGMDecoder() = default;

namespace {

bool IsSeparator(uint8_t c) { return c == '\n' || c == '\r' || c == ' ' || c == '\t'; }

// Reads a decimal number after any separators and "#" comments (to the end of the line). A
// number may end at the end of the data. Throws code 11 when the data ends before a digit,
// code 7 for anything else than a digit or a number above 2^31 - 1.
uint32_t ReadNumber(CByteSource& source) {
    for (;;) {
        uint8_t c = *source.GetBufferPtr(1);
        if (IsSeparator(c)) {
            source.Skip(1);
        } else if (c == '#') {
            while (source.GetBytesLeft() > 0 && *source.GetBufferPtr(1) != '\n' && *source.GetBufferPtr(1) != '\r')
                source.Skip(1);
        } else {
            break;
        }
    }
    uint8_t c = *source.GetBufferPtr(1);
    if (c < '0' || c > '9') CImageDecoder::RaiseError(PLErr::CorruptData, "PGM decoder: Illegal number in file.");
    uint64_t value = 0;
    while (source.GetBytesLeft() > 0) {
        c = *source.GetBufferPtr(1);
        if (c < '0' || c > '9') break;
        value = value * 10 + static_cast<uint64_t>(c - '0');
        if (value > 0x7FFFFFFFu) CImageDecoder::RaiseError(PLErr::CorruptData, "PGM decoder: Number too large.");
        source.Skip(1);
    }
    return static_cast<uint32_t>(value);
}

}  // namespace

void CPGMDecoder::DoDecode(CDibBitmap& bitmap, PLPaletteBlock&, int& wantedDepth, CByteSource& source) {
    PLTrace(2, "Decoding PGM.\n");
    uint8_t p = source.ReadByte();
    uint8_t kind = source.ReadByte();
    if (p != 'P' || (kind != '2' && kind != '5'))
        RaiseError(PLErr::UnknownVariant, "PGM decoder: Is not the correct identifier P5 or P2.");
    const bool binary = kind == '5';
    const uint32_t width = ReadNumber(source);
    const uint32_t height = ReadNumber(source);
    uint32_t maxValue = ReadNumber(source);
    // Samples of maxima up to 65535 are scaled by their maximum (binary ones then take two
    // bytes, most significant first); any other maximum is taken as 255.
    if (maxValue < 1 || maxValue > 65535) maxValue = 255;
    const uint32_t sampleBytes = maxValue > 255 ? 2 : 1;
    if (binary) source.Skip(1);  // the one separator before the samples

    if (width < 1 || height < 1) RaiseErrorF(PLErr::UnknownVariant, "Illegal image size %u x %u.", width, height);
    // Binary samples must all be there; text samples take at least one byte each.
    const uint64_t samples = static_cast<uint64_t>(width) * height;
    if (samples * (binary ? sampleBytes : 1) > source.GetBytesLeft())
        RaiseEndOfFile();

    const int depth = ChooseDepth(wantedDepth, 8);
    wantedDepth = depth;
    CreateBitmap(bitmap, width, height, depth, false);  // 8 bits: the grey ramp
    CPLBitmapLock lock(bitmap, false, true);
    for (uint32_t y = 0; y < height; ++y) {
        uint8_t* dst = bitmap.GetLine(static_cast<int32_t>(y));
        const uint8_t* row = binary ? source.ReadNBytes(static_cast<uint32_t>(width * sampleBytes)) : nullptr;
        for (uint32_t x = 0; x < width; ++x) {
            uint32_t sample;
            if (!binary)
                sample = ReadNumber(source);
            else if (sampleBytes == 2)
                sample = static_cast<uint32_t>((row[2 * x] << 8) | row[2 * x + 1]);
            else
                sample = row[x];
            if (sample > maxValue) sample = maxValue;
            uint8_t v = static_cast<uint8_t>(sample * 255u / maxValue);
            if (depth == 8)
                dst[x] = v;
            else
                PLStorePixel(dst + 4 * x, PLMakePixel(v, v, v, 255));
        }
    }
}
