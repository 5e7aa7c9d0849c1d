#pragma once

// GDI helpers of the tests: 32-bit pixels read back from bitmaps and a memory surface to draw
// into.

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "framework/Handles.h"

// The header of a 32-bit top-down DIB of width x height pixels (BI_RGB).
inline BITMAPINFO TopDown32BitmapInfo(int width, int height) {
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    return bi;
}

// The width x height pixels of a bitmap (device-dependent or DIB section) top row first, each
// as 0x00RRGGBB, read through a 32-bit DIB copy; empty when GDI cannot read them.
inline std::vector<uint32_t> ReadBitmapPixels(HBITMAP bitmap, int width, int height) {
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
    BITMAPINFO bi = TopDown32BitmapInfo(width, height);
    WindowDC screen(nullptr);
    if (::GetDIBits(screen.get(), bitmap, 0, height, pixels.data(), &bi, DIB_RGB_COLORS) != height) return {};
    for (auto& p : pixels) p &= 0x00FFFFFF;
    return pixels;
}

// A 32-bit top-down DIB section selected into a memory DC: a surface to draw into and read back.
class TestCanvas {
public:
    TestCanvas(int width, int height, COLORREF fill = RGB(1, 2, 3)) : m_width(width), m_height(height) {
        BITMAPINFO bi = TopDown32BitmapInfo(width, height);
        void* bits = nullptr;
        m_bitmap.reset(::CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
        m_bits = static_cast<uint32_t*>(bits);
        m_dc.reset(::CreateCompatibleDC(nullptr));
        m_selection = SelectObjectGuard(m_dc.get(), m_bitmap.get());
        Fill(fill);
    }
    HDC dc() const { return m_dc.get(); }
    HBITMAP bitmap() const { return m_bitmap.get(); }
    int width() const { return m_width; }
    int height() const { return m_height; }
    // Whether the section was made and selected into its DC.
    bool Ok() const { return m_bits && m_dc && m_selection; }
    void Fill(COLORREF color) {
        RECT r{0, 0, m_width, m_height};
        UniqueBrush brush(::CreateSolidBrush(color));
        ::FillRect(m_dc.get(), &r, brush.get());
        ::GdiFlush();
    }
    // The pixel as 0x00RRGGBB.
    uint32_t At(int x, int y) const {
        ::GdiFlush();
        return m_bits[y * m_width + x] & 0x00FFFFFF;
    }

protected:
    // The pixels, top row first (GdiFlush before touching them).
    uint32_t* bits() const { return m_bits; }

private:
    int m_width, m_height;
    UniqueBitmap m_bitmap;
    uint32_t* m_bits = nullptr;
    UniqueDC m_dc;
    SelectObjectGuard m_selection;
};

inline uint32_t Rgb(uint8_t r, uint8_t g, uint8_t b) { return (uint32_t{r} << 16) | (uint32_t{g} << 8) | b; }
