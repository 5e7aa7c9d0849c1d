#include "ResizeFilter.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "../PixelMemory.h"
#include "FilterSupport.h"
#include "ResizeKernels.h"

using namespace FilterDetail;

namespace {
constexpr double Pi = 3.14159265358979323846;
}

// ---------------------------------------------------------------------------------------------
// Kernels

double CBoxKernel::operator()(double x) const { return std::abs(x) <= m_radius ? 1.0 : 0.0; }

double CBilinearKernel::operator()(double x) const {
    const double ax = std::abs(x);
    return ax < m_radius ? m_radius - ax : 0.0;
}

double CGaussianKernel::operator()(double x) const {
    if (!(std::abs(x) <= m_radius)) return 0.0;
    // x = 0 is written out so that a radius of 0 does not divide 0 by 0.
    const double q = x == 0.0 ? 0.0 : x * x / m_radius;
    return std::exp(-q - 1.0) / std::sqrt(2.0 * Pi);
}

double CHammingKernel::operator()(double x) const {
    if (!(std::abs(x) <= m_radius)) return 0.0;
    const double window = 0.54 + 0.46 * std::cos(2.0 * Pi * x);
    if (x == 0.0) return window;
    const double px = Pi * x;
    return window * (std::sin(px) / px);
}

// ---------------------------------------------------------------------------------------------
// Weight table

CResizeWeights::CResizeWeights(int32_t targetSize, int32_t sourceSize, const CResizeKernel& kernel)
    : m_targetSize(targetSize), m_window(1) {
    if (targetSize < 1 || sourceSize < 1) ThrowBadRequest("An image side must be at least one pixel.");
    const double scale = static_cast<double>(targetSize) / sourceSize;
    double width, factor;
    if (scale >= 1.0) {
        width = kernel.Radius();
        factor = 1.0;
    } else {
        width = kernel.Radius() / scale;
        factor = scale;
    }
    // A negative (or undefined) radius reaches no neighbour; beyond the source's size a wider
    // window changes nothing, so the window is held to what can be stored.
    if (!(width >= 0.0)) width = 0.0;
    if (width > sourceSize) width = sourceSize;
    const int64_t window = 2 * static_cast<int64_t>(std::ceil(width)) + 1;
    m_window = static_cast<int32_t>(std::min<int64_t>(window, sourceSize));
    const size_t n = static_cast<size_t>(targetSize);
    m_first = MakeBuffer<int32_t>(n);
    m_count = MakeBuffer<int32_t>(n);
    m_weights = MakeBuffer<double>(CheckedMul(n, static_cast<size_t>(m_window)));

    for (int32_t i = 0; i < targetSize; ++i) {
        const double center = i / scale;
        int64_t left = std::max<int64_t>(0, static_cast<int64_t>(std::floor(center - width)));
        int64_t right = std::min<int64_t>(sourceSize - 1, static_cast<int64_t>(std::ceil(center + width)));
        if (right - left + 1 > window) {
            if (left < sourceSize)
                ++left;
            else
                --right;
        }
        double* w = m_weights.data() + static_cast<size_t>(i) * static_cast<size_t>(m_window);
        const int32_t count = static_cast<int32_t>(right - left + 1);
        double sum = 0.0;
        for (int32_t k = 0; k < count; ++k) {
            w[k] = factor * kernel((center - static_cast<double>(left + k)) * factor);
            sum += w[k];
        }
        if (sum > 0.0) {
            for (int32_t k = 0; k < count; ++k) w[k] /= sum;
            m_first[i] = static_cast<int32_t>(left);
            m_count[i] = count;
        } else {
            // The kernel reaches no source index (a radius below half a pixel): the nearest
            // source pixel is taken instead of leaving the pixel black.
            m_first[i] = ClampInt(RoundHalfUp(center), 0, sourceSize - 1);
            m_count[i] = 1;
            w[0] = 1.0;
        }
    }
}

// ---------------------------------------------------------------------------------------------
// The two passes

namespace {

// The work buffer between the passes: memory for rows that are all written before they are read.
class CWorkRows {
public:
    explicit CWorkRows(size_t bytes) : m_bytes(bytes), m_data(static_cast<uint8_t*>(CPixelMemory::Allocate(bytes, false))) {
        if (m_data == nullptr) ThrowOutOfMemory();
    }
    ~CWorkRows() { CPixelMemory::Free(m_data, m_bytes); }
    CWorkRows(const CWorkRows&) = delete;
    CWorkRows& operator=(const CWorkRows&) = delete;
    uint8_t* Data() { return m_data; }

private:
    size_t m_bytes;
    uint8_t* m_data;
};

void Resize32(const CDibBitmap& source, CDibBitmap& target, int32_t newWidth, int32_t newHeight,
              const CResizeKernel& kernel, CProgressSink* sink) {
    const int32_t sw = source.GetWidth(), sh = source.GetHeight();
    target.CreateForOverwrite(newWidth, newHeight, 32, source.HasAlpha());
    CPLBitmapLock targetLock(target, false, true);

    const ResizeDetail::KernelSet kernels = ResizeDetail::CurrentKernelSet();
    const ResizeDetail::RowKernel resampleRow = ResizeDetail::RowKernelOf(kernels);
    const ResizeDetail::ColumnKernel resampleColumns = ResizeDetail::ColumnKernelOf(kernels);

    // Horizontal pass into the work buffer: source height rows of new width pixels.
    const size_t workRow = CheckedMul(static_cast<size_t>(newWidth), 4);
    CWorkRows work(CheckedMul(workRow, static_cast<size_t>(sh)));
    {
        const ResizeDetail::CTapTable taps(CResizeWeights(newWidth, sw, kernel));
        const ResizeDetail::TapView view = taps.View();
        std::vector<double> scratch = MakeBuffer<double>(ResizeDetail::RowScratchDoubles(sw, taps.Taps()));
        const CProgressSchedule progress(sink, 0.0, 0.5, sh);
        for (int32_t y = 0; y < sh; ++y) {
            resampleRow(source.GetLine(y), sw, work.Data() + workRow * static_cast<size_t>(y), view, scratch.data());
            progress.Step(y);
        }
        progress.Report(0.5);
    }

    // Vertical pass, in strips of columns so that progress can follow the columns.
    const CResizeWeights weights(newHeight, sh, kernel);
    const CProgressSchedule progress(sink, 0.5, 0.5, newWidth);
    std::vector<const uint8_t*> rows = MakeBuffer<const uint8_t*>(static_cast<size_t>(weights.WindowSize()));
    constexpr int32_t strip = 256;
#if defined(LUMATRE_AVX2_KERNELS)
    if (kernels == ResizeDetail::KernelSet::Avx2) {
        const ResizeDetail::CTapTable taps(weights);
        const int32_t window = taps.Taps();
        std::vector<double> ring = MakeBuffer<double>(ResizeDetail::RingDoubles(window, std::min(strip, newWidth)));
        std::vector<int32_t> owner = MakeBuffer<int32_t>(static_cast<size_t>(window));
        std::vector<const double*> ringRows = MakeBuffer<const double*>(static_cast<size_t>(window));
        const ResizeDetail::StripScratch scratch{ring.data(), owner.data(), ringRows.data()};
        for (int32_t x0 = 0; x0 < newWidth; x0 += strip) {
            const int32_t x1 = std::min(newWidth, x0 + strip);
            ResizeDetail::ResampleStripAvx2(work.Data(), workRow, sh, taps.View(), x0, x1, target.GetLineArray(), scratch);
            for (int32_t x = x0; x < x1; ++x) progress.Step(x);
        }
        progress.Finish();
        return;
    }
#endif
    for (int32_t x0 = 0; x0 < newWidth; x0 += strip) {
        const int32_t x1 = std::min(newWidth, x0 + strip);
        for (int32_t ty = 0; ty < newHeight; ++ty) {
            const int32_t first = weights.First(ty), n = weights.Count(ty);
            for (int32_t k = 0; k < n; ++k) rows[static_cast<size_t>(k)] = work.Data() + workRow * static_cast<size_t>(first + k);
            resampleColumns(rows.data(), weights.Weights(ty), n, x0, x1, target.GetLine(ty));
        }
        for (int32_t x = x0; x < x1; ++x) progress.Step(x);
    }
    progress.Finish();
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Filters

CResizeFilter::CResizeFilter(int32_t newWidth, int32_t newHeight, double radius, CProgressSink* progress)
    : CImageFilter(progress), m_newWidth(newWidth), m_newHeight(newHeight), m_radius(radius) {}

CResizeFilter::~CResizeFilter() = default;

void CResizeFilter::Resize(const CDibBitmap& source, CDibBitmap& target, const CResizeKernel& kernel) {
    if (&source == &target) {
        ApplyInPlace(target);
        return;
    }
    if (m_newWidth < 1 || m_newHeight < 1) ThrowBadRequest("The new size must be at least one pixel.");
    if (source.IsEmpty()) ThrowBadRequest("Cannot resize an empty image.");
    CPLBitmapLock sourceLock(source, true, false);
    if (source.GetBitsPerPixel() == 32) {
        Resize32(source, target, m_newWidth, m_newHeight, kernel, GetProgressSink());
        return;
    }
    const CTrueColorSource trueColor(source);
    CHeapBitmap resized;
    Resize32(trueColor.Get(), resized, m_newWidth, m_newHeight, kernel, GetProgressSink());
    target.Create(m_newWidth, m_newHeight, source.GetBitsPerPixel(), source.HasAlpha());
    CPLBitmapLock targetLock(target, false, true);
    CopyColorTable(source, target);
    MapToPalette(resized, target);
}

void CBoxResizeFilter::Apply(const CDibBitmap& source, CDibBitmap& target) {
    const CBoxKernel kernel(m_radius);
    Resize(source, target, kernel);
}

void CBilinearResizeFilter::Apply(const CDibBitmap& source, CDibBitmap& target) {
    const CBilinearKernel kernel;
    Resize(source, target, kernel);
}

void CGaussianResizeFilter::Apply(const CDibBitmap& source, CDibBitmap& target) {
    const CGaussianKernel kernel(m_radius);
    Resize(source, target, kernel);
}

void CHammingResizeFilter::Apply(const CDibBitmap& source, CDibBitmap& target) {
    const CHammingKernel kernel(m_radius);
    Resize(source, target, kernel);
}
