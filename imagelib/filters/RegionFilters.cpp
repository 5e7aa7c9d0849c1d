#include "RegionFilters.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "FilterSupport.h"

using namespace FilterDetail;

namespace {

// The offsets k in [first, last) for which start + k lies inside [0, size) for both sides of a
// copy of count elements.
struct Span {
    int32_t first = 0;
    int32_t last = 0;
    bool IsEmpty() const { return last <= first; }
};

Span ClipSpan(int64_t count, int64_t fromStart, int64_t fromSize, int64_t toStart, int64_t toSize) {
    int64_t first = std::max<int64_t>({0, -fromStart, -toStart});
    int64_t last = std::min<int64_t>({count, fromSize - fromStart, toSize - toStart});
    Span s;
    if (last > first) {
        s.first = static_cast<int32_t>(first);
        s.last = static_cast<int32_t>(last);
    }
    return s;
}

PLFilterRect ClipToBitmap(const PLFilterRect& r, const CDibBitmap& bitmap) {
    PLFilterRect c;
    c.left = std::max(r.left, 0);
    c.top = std::max(r.top, 0);
    c.right = std::min(r.right, bitmap.GetWidth());
    c.bottom = std::min(r.bottom, bitmap.GetHeight());
    if (c.IsEmpty()) c = PLFilterRect{};
    return c;
}

// Copies count pixels of row fromY starting at column fromX into row toY at column toX; both
// bitmaps have the same depth and the span lies inside both.
void CopyRowPixels(const CDibBitmap& from, int32_t fromX, int32_t fromY, CDibBitmap& to, int32_t toX, int32_t toY,
                   int32_t count) {
    switch (to.GetBitsPerPixel()) {
    case 32:
        std::memmove(to.GetLine(toY) + 4 * static_cast<size_t>(toX), from.GetLine(fromY) + 4 * static_cast<size_t>(fromX),
                     4 * static_cast<size_t>(count));
        break;
    case 8:
        std::memmove(to.GetLine(toY) + toX, from.GetLine(fromY) + fromX, static_cast<size_t>(count));
        break;
    default:
        for (int32_t i = 0; i < count; ++i) to.SetPixelIndex(toX + i, toY, from.GetPixelIndex(fromX + i, fromY));
        break;
    }
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Move or copy a region

CRegionMoveFilter::CRegionMoveFilter(const PLFilterRect& selection, const PLFilterRect& source,
                                     const PLFilterRect& target, bool copy, uint32_t fillColor, CProgressSink* progress)
    : CImageFilter(progress),
      m_selection(selection.Normalized()),
      m_source(source.Normalized()),
      m_target(target.Normalized()),
      m_copy(copy),
      m_fillColor(fillColor) {}

CRegionMoveFilter::~CRegionMoveFilter() = default;

void CRegionMoveFilter::Apply(const CDibBitmap& source, CDibBitmap& target) {
    if (&source == &target) {
        ApplyInPlace(target);
        return;
    }
    CPLBitmapLock sourceLock(source, true, false);
    target.CreateCopy(source, 0);
    Run(target, &source);
}

void CRegionMoveFilter::ApplyInPlace(CDibBitmap& bitmap) { Run(bitmap, nullptr); }

void CRegionMoveFilter::Run(CDibBitmap& bitmap, const CDibBitmap* unchanged) {
    CPLBitmapLock lock(bitmap, true, true);
    const int32_t w = bitmap.GetWidth(), h = bitmap.GetHeight();
    const int64_t rows = std::min<int64_t>(m_selection.Height(), m_target.Height());
    const int64_t cols = std::min<int64_t>(m_selection.Width(), m_target.Width());
    const Span rowSpan = ClipSpan(rows, m_source.top, h, m_target.top, h);
    const Span colSpan = ClipSpan(cols, m_source.left, w, m_target.left, w);
    const bool copyAnything = !rowSpan.IsEmpty() && !colSpan.IsEmpty();

    // Working in place, the pixels to copy are saved before the fill can change them.
    CHeapBitmap saved;
    const CDibBitmap* from = unchanged;
    int32_t fromX = m_source.left, fromY = m_source.top;
    if (from == nullptr && copyAnything) {
        saved.Create(colSpan.last - colSpan.first, rowSpan.last - rowSpan.first, bitmap.GetBitsPerPixel(), false);
        for (int32_t k = rowSpan.first; k < rowSpan.last; ++k)
            CopyRowPixels(bitmap, m_source.left + colSpan.first, m_source.top + k, saved, 0, k - rowSpan.first,
                          colSpan.last - colSpan.first);
        from = &saved;
        fromX = -colSpan.first;
        fromY = -rowSpan.first;
    }

    double copyStart = 0.0;
    const PLFilterRect fill = ClipToBitmap(m_selection, bitmap);
    if (!m_copy) {
        const CProgressSchedule fillProgress(GetProgressSink(), 0.01, 0.49, fill.Height());
        fillProgress.Start();
        // COLORREF 0x00BBGGRR with red and blue exchanged is the pixel 0x00RRGGBB.
        const PLPixel32 pixel = (m_fillColor & 0xFFu) << 16 | (m_fillColor & 0xFF00u) | ((m_fillColor >> 16) & 0xFFu);
        const uint16_t bpp = bitmap.GetBitsPerPixel();
        const uint8_t index = bpp <= 8 ? static_cast<uint8_t>(bitmap.FindNearestColor(pixel)) : 0;
        for (int32_t y = fill.top; y < fill.bottom; ++y) {
            uint8_t* row = bitmap.GetLine(y);
            if (bpp == 32)
                for (int32_t x = fill.left; x < fill.right; ++x) StorePixel(row + 4 * static_cast<size_t>(x), pixel);
            else if (bpp == 8)
                std::memset(row + fill.left, index, static_cast<size_t>(fill.Width()));
            else
                for (int32_t x = fill.left; x < fill.right; ++x) bitmap.SetPixelIndex(x, y, index);
            fillProgress.Step(y - fill.top);
        }
        fillProgress.Report(0.5);
        copyStart = 0.5;
    }

    const CProgressSchedule copyProgress(GetProgressSink(), copyStart, 1.0 - copyStart,
                                         rowSpan.last - rowSpan.first);
    if (copyAnything) {
        for (int32_t k = rowSpan.first; k < rowSpan.last; ++k) {
            CopyRowPixels(*from, fromX + colSpan.first, fromY + k, bitmap, m_target.left + colSpan.first,
                          m_target.top + k, colSpan.last - colSpan.first);
            copyProgress.Step(k - rowSpan.first);
        }
    }
    copyProgress.Finish();
}

// ---------------------------------------------------------------------------------------------
// Paste

CPasteFilter::CPasteFilter(const CDibBitmap& pasted, const PLFilterRect& source, const PLFilterRect& target,
                           CProgressSink* progress)
    : CImageFilter(progress), m_source(source.Normalized()), m_target(target.Normalized()) {
    try {
        m_pasted = std::make_unique<CPackedDibBitmap>();
    } catch (const std::bad_alloc&) {
        ThrowOutOfMemory();
    }
    m_pasted->CreateCopy(pasted, 0);
}

CPasteFilter::~CPasteFilter() = default;

void CPasteFilter::Apply(const CDibBitmap& source, CDibBitmap& target) {
    if (&source != &target) {
        CPLBitmapLock sourceLock(source, true, false);
        target.CreateCopy(source, 0);
    }
    ApplyInPlace(target);
}

void CPasteFilter::ApplyInPlace(CDibBitmap& bitmap) {
    CPLBitmapLock lock(bitmap, true, true);
    const CDibBitmap& pasted = *m_pasted;
    CPLBitmapLock pastedLock(pasted, true, false);
    const int64_t rows = m_source.Height();
    const int64_t cols = std::min<int64_t>(m_source.Width(), m_target.Width());
    const Span rowSpan = ClipSpan(rows, m_source.top, pasted.GetHeight(), m_target.top, bitmap.GetHeight());
    const Span colSpan = ClipSpan(cols, m_source.left, pasted.GetWidth(), m_target.left, bitmap.GetWidth());
    const CProgressSchedule progress(GetProgressSink(), 0.08, 0.92, static_cast<int32_t>(std::max<int64_t>(rows, 1)));
    progress.Start();
    if (!rowSpan.IsEmpty() && !colSpan.IsEmpty()) {
        const uint16_t bpp = bitmap.GetBitsPerPixel();
        const int32_t count = colSpan.last - colSpan.first;
        const int32_t fromX = m_source.left + colSpan.first, toX = m_target.left + colSpan.first;
        bool samePalette = pasted.GetBitsPerPixel() == bpp && bpp <= 8;
        for (int i = 0; samePalette && i < bitmap.GetNumColors(); ++i)
            samePalette = (PaletteColor(pasted, i) & 0x00FFFFFFu) == (PaletteColor(bitmap, i) & 0x00FFFFFFu);
        if (bpp == 32 || samePalette) {
            // Same pixel format: rows are copied as they are (32-bit pictures are read at 32 bits).
            const CTrueColorSource trueColor(pasted);
            const CDibBitmap& from = bpp == 32 ? trueColor.Get() : pasted;
            for (int32_t k = rowSpan.first; k < rowSpan.last; ++k) {
                CopyRowPixels(from, fromX, m_source.top + k, bitmap, toX, m_target.top + k, count);
                progress.Step(k);
            }
        } else {
            // Other colours are matched to the bitmap's colour table.
            const CTrueColorSource trueColor(pasted);
            const CDibBitmap& from = trueColor.Get();
            CHeapBitmap part;
            part.Create(count, 1, 32, false);
            CHeapBitmap indices;  // one row of the bitmap's depth and colour table
            indices.Create(count, 1, bpp, false);
            CopyColorTable(bitmap, indices);
            for (int32_t k = rowSpan.first; k < rowSpan.last; ++k) {
                std::memcpy(part.GetLine(0), from.GetLine(m_source.top + k) + 4 * static_cast<size_t>(fromX),
                            4 * static_cast<size_t>(count));
                MapToPalette(part, indices);
                CopyRowPixels(indices, 0, 0, bitmap, toX, m_target.top + k, count);
                progress.Step(k);
            }
        }
    }
    progress.Finish();
}

// ---------------------------------------------------------------------------------------------
// Crop

CCropFilter::CCropFilter(int32_t left, int32_t right, int32_t top, int32_t bottom, CProgressSink* progress)
    : CImageFilter(progress), m_rect(PLFilterRect{left, top, right, bottom}.Normalized()) {}

CCropFilter::~CCropFilter() = default;

void CCropFilter::Apply(const CDibBitmap& source, CDibBitmap& target) {
    if (&source == &target) {
        ApplyInPlace(target);
        return;
    }
    CPLBitmapLock sourceLock(source, true, false);
    const PLFilterRect r = ClipToBitmap(m_rect, source);
    if (r.IsEmpty()) ThrowBadRequest("The area to cut out lies outside the image.");
    const CProgressSchedule progress = RowSchedule(GetProgressSink(), r.Height());
    progress.Start();
    const uint16_t bpp = source.GetBitsPerPixel();
    target.Create(r.Width(), r.Height(), bpp, source.HasAlpha());
    CPLBitmapLock targetLock(target, false, true);
    if (bpp <= 8) CopyColorTable(source, target);
    for (int32_t y = r.top; y < r.bottom; ++y) {
        CopyRowPixels(source, r.left, y, target, 0, y - r.top, r.Width());
        progress.Step(y - r.top);
    }
    progress.Finish();
}
