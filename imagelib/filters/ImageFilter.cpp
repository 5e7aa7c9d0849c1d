#include "ImageFilter.h"

#include <memory>
#include <utility>

PLFilterRect PLFilterRect::Normalized() const {
    PLFilterRect r = *this;
    if (r.left > r.right) std::swap(r.left, r.right);
    if (r.top > r.bottom) std::swap(r.top, r.bottom);
    return r;
}

CImageFilter::~CImageFilter() = default;

void CImageFilter::ApplyInPlace(CDibBitmap& bitmap) {
    // Where the kind allows it, the result is made in a bitmap of the same kind whose rows the
    // bitmap then takes over: no copy of the result, and no second new block.
    if (std::unique_ptr<CDibBitmap> result = bitmap.NewOfSameKind()) {
        Apply(bitmap, *result);
        bitmap.SwapContent(*result);
        return;
    }
    CHeapBitmap scratch;
    Apply(bitmap, scratch);
    bitmap.CreateCopy(scratch, 0);
}

void CInPlaceFilter::Apply(const CDibBitmap& source, CDibBitmap& target) {
    if (&source != &target) target.CreateCopy(source, 0);
    ApplyInPlace(target);
}
