#include "decode/GifLzw.h"

#include <cstring>

namespace {

constexpr int kMaxCodeBits = 12;
constexpr uint32_t kTableSize = 1u << kMaxCodeBits;

// Copies a string of length bytes from an earlier place of the output. The string ends at or
// before the destination's start, so every piece reads its bytes of the string when they are
// final; what a last piece writes beyond the string is overwritten by the next string.
inline void CopyString(uint8_t* dst, const uint8_t* src, uint32_t length) {
    for (uint32_t done = 0; done < length; done += 16) {
        uint8_t piece[16];
        std::memcpy(piece, src + done, 16);
        std::memcpy(dst + done, piece, 16);
    }
}

}  // namespace

GifLzwResult DecodeGifLzw(const uint8_t* data, size_t size, int minCodeSize, uint8_t* out, size_t capacity) {
    GifLzwResult result;
    if (minCodeSize < 0 || minCodeSize > 8) {
        result.status = GifLzwStatus::Defect;
        return result;
    }
    // Where each string of the table (codes above the end code) starts in the output, and its
    // length; roots are single pixels.
    uint32_t stringStart[kTableSize];
    uint16_t stringLength[kTableSize];
    const uint32_t clearCode = 1u << minCodeSize;
    const uint32_t endCode = clearCode + 1;
    // The code width grows as giflib grows it: counting every code read since the last clear
    // code, whether or not it defined a string.
    uint32_t codeBits = static_cast<uint32_t>(minCodeSize) + 1;
    uint32_t widthLimit = 1u << codeBits;
    uint32_t runningCode = endCode + 1;
    uint32_t definedEnd = clearCode + 2;  // one past the last string defined
    bool havePrevious = false;             // a string was written since the last clear code
    size_t previousStart = 0;              // where it was written
    uint32_t previousLength = 0;
    size_t written = 0;

    uint64_t bits = 0;
    uint32_t bitCount = 0;
    size_t at = 0;
    auto stop = [&](GifLzwStatus status) {
        result.written = written < capacity ? written : capacity;
        result.status = written >= capacity ? GifLzwStatus::Complete : status;
        return result;
    };
    while (written < capacity) {
        while (bitCount < codeBits) {
            if (at >= size) return stop(GifLzwStatus::DataEnded);
            bits |= static_cast<uint64_t>(data[at++]) << bitCount;
            bitCount += 8;
        }
        const uint32_t code = static_cast<uint32_t>(bits) & ((1u << codeBits) - 1);
        bits >>= codeBits;
        bitCount -= codeBits;
        if (runningCode < kTableSize + 1 && ++runningCode > widthLimit && codeBits < kMaxCodeBits) {
            widthLimit <<= 1;
            ++codeBits;
        }

        if (code == clearCode) {
            codeBits = static_cast<uint32_t>(minCodeSize) + 1;
            widthLimit = 1u << codeBits;
            runningCode = endCode + 1;
            definedEnd = clearCode + 2;
            havePrevious = false;
            continue;
        }
        if (code == endCode) return stop(GifLzwStatus::EndTooSoon);
        const size_t room = capacity - written;
        uint8_t* dst = out + written;
        uint32_t length;
        if (code < clearCode) {
            *dst = static_cast<uint8_t>(code);
            length = 1;
        } else if (!havePrevious) {
            // The first code after a clear code must name a single pixel.
            return stop(GifLzwStatus::Defect);
        } else if (code < definedEnd) {
            length = stringLength[code];
            CopyString(dst, out + stringStart[code], length < room ? length : static_cast<uint32_t>(room));
        } else if (code == definedEnd && definedEnd < kTableSize) {
            // The string being defined: the previous one and its own first pixel.
            length = previousLength + 1;
            const uint8_t first = out[previousStart];
            CopyString(dst, out + previousStart, previousLength < room ? previousLength : static_cast<uint32_t>(room));
            if (previousLength < room) dst[previousLength] = first;
        } else {
            return stop(GifLzwStatus::Defect);
        }
        if (havePrevious && definedEnd < kTableSize) {
            // The previous string and the first pixel of this one: in the output, the place
            // where the previous string was written, one longer.
            stringStart[definedEnd] = static_cast<uint32_t>(previousStart);
            stringLength[definedEnd] = static_cast<uint16_t>(previousLength + 1);
            ++definedEnd;
        }
        havePrevious = true;
        previousStart = written;
        previousLength = length;
        written += length;
    }
    return stop(GifLzwStatus::Complete);
}
