#pragma once

// Resizing in two separable passes (rows, then columns) with one of four kernels.
//
// For every target index the weight table lists the source indices that contribute and their
// weights: scale = target / source; shrinking widens the kernel by 1 / scale and scales its
// weights by scale; the weights of each index are divided by their sum. Each pass sums
// weight x byte for the four bytes of a pixel and stores the sum + 0.5, truncated and held to
// 0..255. Both passes run also when a dimension does not change.

#include <cstdint>
#include <vector>

#include "ImageFilter.h"

// A resampling kernel with support radius r.
class CResizeKernel {
public:
    explicit CResizeKernel(double radius) : m_radius(radius) {}
    virtual ~CResizeKernel() = default;
    double Radius() const { return m_radius; }
    virtual double operator()(double x) const = 0;

protected:
    double m_radius;
};

// 1 for |x| <= r.
class CBoxKernel : public CResizeKernel {
public:
    using CResizeKernel::CResizeKernel;
    double operator()(double x) const override;
};

// r - |x| for |x| < r, with r = 1.
class CBilinearKernel : public CResizeKernel {
public:
    CBilinearKernel() : CResizeKernel(1.0) {}
    double operator()(double x) const override;
};

// exp(-x^2 / r - 1) / sqrt(2 pi) for |x| <= r.
class CGaussianKernel : public CResizeKernel {
public:
    using CResizeKernel::CResizeKernel;
    double operator()(double x) const override;
};

// (0.54 + 0.46 cos(2 pi x)) sinc(x) for |x| <= r.
class CHammingKernel : public CResizeKernel {
public:
    using CResizeKernel::CResizeKernel;
    double operator()(double x) const override;
};

// Weights of one pass: target index i takes Count(i) source indices from First(i) on.
class CResizeWeights {
public:
    // Throws code 10 when the table cannot be held.
    CResizeWeights(int32_t targetSize, int32_t sourceSize, const CResizeKernel& kernel);

    int32_t TargetSize() const { return m_targetSize; }
    int32_t WindowSize() const { return m_window; }
    int32_t First(int32_t i) const { return m_first[static_cast<size_t>(i)]; }
    int32_t Count(int32_t i) const { return m_count[static_cast<size_t>(i)]; }
    const double* Weights(int32_t i) const { return m_weights.data() + static_cast<size_t>(i) * static_cast<size_t>(m_window); }

private:
    int32_t m_targetSize;
    int32_t m_window;
    std::vector<int32_t> m_first;
    std::vector<int32_t> m_count;
    std::vector<double> m_weights;
};

// The family's frame. Target: the new size, same depth and alpha flag; bitmaps with a colour
// table are resized at 32 bits and mapped back to their own colour table.
class CResizeFilter : public CImageFilter {
public:
    CResizeFilter(int32_t newWidth, int32_t newHeight, double radius, CProgressSink* progress = nullptr);
    ~CResizeFilter() override;

    int32_t GetNewWidth() const { return m_newWidth; }
    int32_t GetNewHeight() const { return m_newHeight; }
    double GetRadius() const { return m_radius; }

protected:
    void Resize(const CDibBitmap& source, CDibBitmap& target, const CResizeKernel& kernel);

    int32_t m_newWidth;
    int32_t m_newHeight;
    double m_radius;
};

class CBoxResizeFilter : public CResizeFilter {
public:
    using CResizeFilter::CResizeFilter;
    void Apply(const CDibBitmap& source, CDibBitmap& target) override;
};

class CBilinearResizeFilter : public CResizeFilter {
public:
    CBilinearResizeFilter(int32_t newWidth, int32_t newHeight, CProgressSink* progress = nullptr)
        : CResizeFilter(newWidth, newHeight, 1.0, progress) {}
    void Apply(const CDibBitmap& source, CDibBitmap& target) override;
};

class CGaussianResizeFilter : public CResizeFilter {
public:
    using CResizeFilter::CResizeFilter;
    void Apply(const CDibBitmap& source, CDibBitmap& target) override;
};

class CHammingResizeFilter : public CResizeFilter {
public:
    using CResizeFilter::CResizeFilter;
    void Apply(const CDibBitmap& source, CDibBitmap& target) override;
};
