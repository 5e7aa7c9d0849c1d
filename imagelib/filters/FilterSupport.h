#pragma once

// Helpers shared by the filters: the clamping and rounding rules, checked buffers, the
// progress schedule and access to bitmaps of other depths than 32 bits.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <stdexcept>
#include <vector>

#include "../PixelConvert.h"
#include "ImageFilter.h"

namespace FilterDetail {

// The clamping rule of the filters: 255 and above give 255, anything below 0 (and NaN) gives
// 0, everything else is truncated toward zero.
inline uint8_t ClampToByte(double v) {
    // Written as two selections so that the compiler can use min and max instructions.
    v = v > 0.0 ? v : 0.0;
    v = v < 255.0 ? v : 255.0;
    return static_cast<uint8_t>(static_cast<int32_t>(v));
}

inline int32_t ClampInt(int32_t v, int32_t lo, int32_t hi) { return v < lo ? lo : (v > hi ? hi : v); }

// floor(v) for values well inside the int32 range.
inline int32_t FloorToInt(double v) {
    int32_t i = static_cast<int32_t>(v);
    return i - (v < static_cast<double>(i) ? 1 : 0);
}

// Round(v) = floor(v + 0.5): halves go up, for negative values too.
inline int32_t RoundHalfUp(double v) { return FloorToInt(v + 0.5); }

[[noreturn]] void ThrowOutOfMemory();
// Code 2: a result that cannot exist, such as a size below one pixel.
[[noreturn]] void ThrowBadRequest(const char* text);

// a * b, throwing code 10 when the product does not fit in size_t.
size_t CheckedMul(size_t a, size_t b);

template <class T>
std::vector<T> MakeBuffer(size_t count, const T& value = T()) {
    try {
        return std::vector<T>(count, value);
    } catch (const std::bad_alloc&) {
        ThrowOutOfMemory();
    } catch (const std::length_error&) {
        ThrowOutOfMemory();
    }
}

// A progress schedule: Start reports first, Step(i) reports i * span / steps + first, Finish
// reports 1.0. Nothing happens without a sink.
class CProgressSchedule {
public:
    CProgressSchedule(CProgressSink* sink, double first, double span, int32_t steps)
        : m_sink(sink), m_first(first), m_span(span), m_steps(steps > 0 ? steps : 1) {}
    void Start() const { Report(m_first); }
    void Step(int32_t i) const { Report(i * m_span / m_steps + m_first); }
    void Finish() const { Report(1.0); }
    void Report(double done) const {
        if (m_sink) m_sink->OnProgress(done);
    }
    CProgressSink* Sink() const { return m_sink; }

private:
    CProgressSink* m_sink;
    double m_first;
    double m_span;
    int32_t m_steps;
};

// The standard schedule: 0.01 before the first row, i * 0.99 / rows + 0.01 after row i.
inline CProgressSchedule RowSchedule(CProgressSink* sink, int32_t rows) { return CProgressSchedule(sink, 0.01, 0.99, rows); }

// A 32-bit view of a bitmap: the bitmap itself when it has 32 bits, else a scratch copy
// converted through its colour table.
class CTrueColorSource {
public:
    explicit CTrueColorSource(const CDibBitmap& source);
    const CDibBitmap& Get() const { return *m_bitmap; }

private:
    const CDibBitmap* m_bitmap;
    std::unique_ptr<CHeapBitmap> m_copy;
};

// The frame of the filters that build a 32-bit result of the source's size row by row: source
// is read through a 32-bit view, target is created with 32 bits and no alpha, and row(src, target,
// y) fills the rows one by one, with progress from first to first + span between Start and
// Finish.
template <class RowFn>
void FillRows32(const CDibBitmap& source, CDibBitmap& target, CProgressSink* sink, double first, double span, RowFn row) {
    CPLBitmapLock sourceLock(source, true, false);
    const CTrueColorSource trueColor(source);
    const CDibBitmap& src = trueColor.Get();
    const int32_t w = src.GetWidth(), h = src.GetHeight();
    const CProgressSchedule progress(sink, first, span, h);
    progress.Start();
    target.CreateForOverwrite(w, h, 32, false);
    CPLBitmapLock targetLock(target, false, true);
    for (int32_t y = 0; y < h; ++y) {
        row(src, target, y);
        progress.Step(y);
    }
    progress.Finish();
}

// The in-place counterpart for a 32-bit bitmap: clears its alpha flag and runs row(bitmap,
// bitmap, y) over every row.
template <class RowFn>
void RewriteRows32(CDibBitmap& bitmap, CProgressSink* sink, double first, double span, RowFn row) {
    CPLBitmapLock lock(bitmap, true, true);
    const int32_t h = bitmap.GetHeight();
    const CProgressSchedule progress(sink, first, span, h);
    progress.Start();
    bitmap.SetHasAlpha(false);
    for (int32_t y = 0; y < h; ++y) {
        row(bitmap, bitmap, y);
        progress.Step(y);
    }
    progress.Finish();
}

// Colour of entry index of a bitmap's colour table (the library's default colours when it
// has none).
PLPixel32 PaletteColor(const CDibBitmap& bitmap, int index);

// Copies the colour table of source into target (both with a colour table), as many entries
// as target holds; missing entries of source read as its default colours.
void CopyColorTable(const CDibBitmap& source, CDibBitmap& target);

// Makes target an 8-bit bitmap holding the indices of source (1, 4 or 8 bits) with the same
// colour table entries.
void ExpandIndices(const CDibBitmap& source, CDibBitmap& target);

// Creates target with depth bitsPerPixel (1, 4 or 8) and the size of indexed (8 bits), takes
// the colour table from paletteOf and stores the indices of indexed, masked to the depth.
void PackIndices(const CDibBitmap& indexed, const CDibBitmap& paletteOf, uint16_t bitsPerPixel, CDibBitmap& target);

// Fills target (created, 8 bits or fewer, colour table set) from the 32-bit source of the same
// size, each pixel taking the nearest colour table entry.
void MapToPalette(const CDibBitmap& source, CDibBitmap& target);

inline PLPixel32 LoadPixel(const uint8_t* p) { return PLLoadPixel(p); }
inline void StorePixel(uint8_t* p, PLPixel32 v) { PLStorePixel(p, v); }

}  // namespace FilterDetail
