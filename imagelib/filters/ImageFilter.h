#pragma once

// Filters: the pixel operations of the editor and the colour quantiser.
//
// A filter is a small object that is given its parameters and an optional progress sink when
// it is made, is applied once from a source bitmap to a target bitmap (or to one bitmap in
// place), and is then deleted. Filters throw CTextException: code 10 when memory runs out,
// code 2 when asked for a result that cannot exist (a size below one pixel, a rectangle with
// no pixels inside the bitmap). A filter never reads or writes outside a bitmap's rows.

#include <cstdint>

#include "../DibBitmap.h"

// A rectangle in pixel coordinates, row 0 at the top; right and bottom are exclusive.
struct PLFilterRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;

    int32_t Width() const { return right - left; }
    int32_t Height() const { return bottom - top; }
    bool IsEmpty() const { return right <= left || bottom <= top; }
    // Swaps the edges where needed so that left <= right and top <= bottom.
    PLFilterRect Normalized() const;
    friend bool operator==(const PLFilterRect&, const PLFilterRect&) = default;
};

class CImageFilter : public CPLObject {
public:
    explicit CImageFilter(CProgressSink* progress = nullptr) : m_progress(progress) {}
    ~CImageFilter() override;
    CImageFilter(const CImageFilter&) = delete;
    CImageFilter& operator=(const CImageFilter&) = delete;

    // Runs the filter on bitmap, replacing its content with the result. The base runs Apply
    // into a scratch bitmap and copies the result back.
    virtual void ApplyInPlace(CDibBitmap& bitmap);

    // Creates target with the filter's result size, depth and alpha flag and fills it from
    // source. Applying a filter from a bitmap to itself works like ApplyInPlace.
    virtual void Apply(const CDibBitmap& source, CDibBitmap& target) = 0;

    CProgressSink* GetProgressSink() const { return m_progress; }

protected:
    void ReportProgress(double done) const {
        if (m_progress) m_progress->OnProgress(done);
    }

private:
    CProgressSink* m_progress;
};

// Base of filters that change a bitmap in place: Apply copies the source into the target and
// runs ApplyInPlace on the target, which each subclass provides.
class CInPlaceFilter : public CImageFilter {
public:
    using CImageFilter::CImageFilter;
    void ApplyInPlace(CDibBitmap& bitmap) override = 0;
    void Apply(const CDibBitmap& source, CDibBitmap& target) override;
};
