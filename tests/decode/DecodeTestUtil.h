#pragma once

// Helpers shared by the decoder tests: a byte builder for hand-made files and decode calls
// that report the exception's code and text.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "PackedDibBitmap.h"
#include "PixelConvert.h"
#include "decode/AutoDecoder.h"

// Little- and big-endian building of test files.
class Bytes {
public:
    Bytes& u8(unsigned v) {
        m_data.push_back(static_cast<uint8_t>(v));
        return *this;
    }
    Bytes& le16(unsigned v) { return u8(v & 0xFF).u8((v >> 8) & 0xFF); }
    Bytes& le32(uint32_t v) { return le16(v & 0xFFFF).le16(v >> 16); }
    Bytes& be16(unsigned v) { return u8((v >> 8) & 0xFF).u8(v & 0xFF); }
    Bytes& be32(uint32_t v) { return be16(v >> 16).be16(v & 0xFFFF); }
    Bytes& str(const char* s) {
        while (*s) u8(static_cast<uint8_t>(*s++));
        return *this;
    }
    Bytes& fill(size_t n, unsigned v) {
        m_data.insert(m_data.end(), n, static_cast<uint8_t>(v));
        return *this;
    }
    Bytes& raw(const std::vector<uint8_t>& v) {
        m_data.insert(m_data.end(), v.begin(), v.end());
        return *this;
    }
    size_t size() const { return m_data.size(); }
    void patch32(size_t offset, uint32_t v) {
        for (int i = 0; i < 4; ++i) m_data[offset + i] = static_cast<uint8_t>(v >> (8 * i));
    }
    const std::vector<uint8_t>& data() const { return m_data; }
    operator const std::vector<uint8_t>&() const { return m_data; }

private:
    std::vector<uint8_t> m_data;
};

// The outcome of a decode that should fail.
struct DecodeFailure {
    bool threw = false;
    int code = 0;
    std::string text;
};

template <typename Decoder = CAutoDecoder>
inline DecodeFailure DecodeExpectingFailure(const std::vector<uint8_t>& file, int wantedDepth = 0) {
    Decoder decoder;
    CPackedDibBitmap bitmap;
    DecodeFailure f;
    try {
        decoder.MakeBmpFromMemory(file.data(), file.size(), bitmap, wantedDepth);
    } catch (const CTextException& e) {
        f.threw = true;
        f.code = e.GetCode();
        f.text = e.GetText();
    }
    return f;
}

template <typename Decoder = CAutoDecoder>
inline void Decode(const std::vector<uint8_t>& file, CDibBitmap& bitmap, int wantedDepth = 0) {
    Decoder decoder;
    decoder.MakeBmpFromMemory(file.data(), file.size(), bitmap, wantedDepth);
}

#define EXPECT_DECODE_ERROR(file, expectedCode, expectedText)   \
    do {                                                       \
        DecodeFailure f_ = DecodeExpectingFailure(file);       \
        EXPECT_TRUE(f_.threw);                                 \
        EXPECT_EQ(f_.code, (expectedCode));                    \
        EXPECT_EQ(f_.text, std::string(expectedText));         \
    } while (0)

inline PLPixel32 Rgb(uint8_t r, uint8_t g, uint8_t b, uint8_t a = 255) { return PLMakePixel(r, g, b, a); }

// Pixel of a 32-bit bitmap as stored.
inline PLPixel32 Stored(const CDibBitmap& bmp, int x, int y) { return PLLoadPixel(bmp.GetLine(y) + 4 * x); }
