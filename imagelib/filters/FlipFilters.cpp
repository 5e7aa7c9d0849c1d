#include "FlipFilters.h"

#include <cstring>
#include <vector>

#include "FilterSupport.h"

using namespace FilterDetail;

namespace {

void MirrorRow(const uint8_t* src, uint8_t* dst, int32_t w) {
    if (src == dst) {
        for (int32_t x = 0, z = w - 1; x < z; ++x, --z) {
            const PLPixel32 a = LoadPixel(dst + 4 * x);
            StorePixel(dst + 4 * x, LoadPixel(dst + 4 * z));
            StorePixel(dst + 4 * z, a);
        }
        return;
    }
    const uint8_t* s = src + 4 * static_cast<size_t>(w);
    for (int32_t x = 0; x < w; ++x) {
        s -= 4;
        StorePixel(dst + 4 * x, LoadPixel(s));
    }
}

// Row y of to becomes row y of from mirrored; from and to may be the same bitmap.
void MirrorLine(const CDibBitmap& from, CDibBitmap& to, int32_t y) {
    MirrorRow(from.GetLine(y), to.GetLine(y), from.GetWidth());
}

}  // namespace

CFlipHorizontalFilter::CFlipHorizontalFilter(CProgressSink* progress) : CImageFilter(progress) {}

CFlipHorizontalFilter::~CFlipHorizontalFilter() = default;

void CFlipHorizontalFilter::Apply(const CDibBitmap& source, CDibBitmap& target) {
    if (&source == &target) {
        ApplyInPlace(target);
        return;
    }
    FillRows32(source, target, GetProgressSink(), 0.04, 0.96, MirrorLine);
}

void CFlipHorizontalFilter::ApplyInPlace(CDibBitmap& bitmap) {
    if (bitmap.GetBitsPerPixel() != 32) {
        CImageFilter::ApplyInPlace(bitmap);
        return;
    }
    RewriteRows32(bitmap, GetProgressSink(), 0.04, 0.96, MirrorLine);
}

CFlipVerticalFilter::CFlipVerticalFilter(CProgressSink* progress) : CImageFilter(progress) {}

CFlipVerticalFilter::~CFlipVerticalFilter() = default;

void CFlipVerticalFilter::Apply(const CDibBitmap& source, CDibBitmap& target) {
    if (&source == &target) {
        ApplyInPlace(target);
        return;
    }
    FillRows32(source, target, GetProgressSink(), 0.05, 0.95, [](const CDibBitmap& src, CDibBitmap& dst, int32_t y) {
        std::memcpy(dst.GetLine(dst.GetHeight() - 1 - y), src.GetLine(y), 4 * static_cast<size_t>(src.GetWidth()));
    });
}

void CFlipVerticalFilter::ApplyInPlace(CDibBitmap& bitmap) {
    if (bitmap.GetBitsPerPixel() != 32) {
        CImageFilter::ApplyInPlace(bitmap);
        return;
    }
    CPLBitmapLock lock(bitmap, true, true);
    const int32_t w = bitmap.GetWidth(), h = bitmap.GetHeight();
    const CProgressSchedule progress(GetProgressSink(), 0.05, 0.95, h);
    progress.Start();
    bitmap.SetHasAlpha(false);
    const size_t bytes = 4 * static_cast<size_t>(w);
    std::vector<uint8_t> spare = MakeBuffer<uint8_t>(bytes);
    // Row y and row h - 1 - y trade places; progress follows the rows of the top half and
    // then those of the bottom half, which the swaps have already finished.
    for (int32_t y = 0; y < h / 2; ++y) {
        uint8_t* top = bitmap.GetLine(y);
        uint8_t* bottom = bitmap.GetLine(h - 1 - y);
        std::memcpy(spare.data(), top, bytes);
        std::memcpy(top, bottom, bytes);
        std::memcpy(bottom, spare.data(), bytes);
        progress.Step(y);
    }
    for (int32_t y = h / 2; y < h; ++y) progress.Step(y);
    progress.Finish();
}
