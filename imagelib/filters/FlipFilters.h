#pragma once

#include "ImageFilter.h"

// Mirrors the picture left to right. Target: 32 bits, no alpha.
class CFlipHorizontalFilter : public CImageFilter {
public:
    explicit CFlipHorizontalFilter(CProgressSink* progress = nullptr);
    ~CFlipHorizontalFilter() override;
    void Apply(const CDibBitmap& source, CDibBitmap& target) override;
    void ApplyInPlace(CDibBitmap& bitmap) override;
};

// Turns the picture upside down. Target: 32 bits, no alpha.
class CFlipVerticalFilter : public CImageFilter {
public:
    explicit CFlipVerticalFilter(CProgressSink* progress = nullptr);
    ~CFlipVerticalFilter() override;
    void Apply(const CDibBitmap& source, CDibBitmap& target) override;
    void ApplyInPlace(CDibBitmap& bitmap) override;
};
