#pragma once

// A 32-bit top-down DIB section selected into a memory DC: a surface to draw into and read back.

#include <windows.h>

#include <cstdint>

#include "framework/Handles.h"

class TestCanvas {
public:
    TestCanvas(int width, int height, COLORREF fill = RGB(1, 2, 3)) : m_width(width), m_height(height) {
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        bi.bmiHeader.biWidth = width;
        bi.bmiHeader.biHeight = -height;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        m_bitmap.reset(::CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
        m_bits = static_cast<uint32_t*>(bits);
        m_dc.reset(::CreateCompatibleDC(nullptr));
        m_selection = SelectObjectGuard(m_dc.get(), m_bitmap.get());
        Fill(fill);
    }
    HDC dc() const { return m_dc.get(); }
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

private:
    int m_width, m_height;
    UniqueBitmap m_bitmap;
    uint32_t* m_bits = nullptr;
    UniqueDC m_dc;
    SelectObjectGuard m_selection;
};

inline uint32_t Rgb(uint8_t r, uint8_t g, uint8_t b) { return (uint32_t{r} << 16) | (uint32_t{g} << 8) | b; }
