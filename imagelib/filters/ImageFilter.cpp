#include "ImageFilter.h"

#include <utility>

PLFilterRect PLFilterRect::Normalized() const {
    PLFilterRect r = *this;
    if (r.left > r.right) std::swap(r.left, r.right);
    if (r.top > r.bottom) std::swap(r.top, r.bottom);
    return r;
}

CImageFilter::~CImageFilter() = default;

void CImageFilter::ApplyInPlace(CDibBitmap& bitmap) {
    CHeapBitmap scratch;
    Apply(bitmap, scratch);
    bitmap.CreateCopy(scratch, 0);
}

void CInPlaceFilter::Apply(const CDibBitmap& source, CDibBitmap& target) {
    if (&source != &target) target.CreateCopy(source, 0);
    ApplyInPlace(target);
}
