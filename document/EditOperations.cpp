#include "EditOperations.h"

#include <algorithm>
#include <new>

#include "DocumentHost.h"
#include "QuorvaCaptureDoc.h"
#include "QuorvaCommand.h"
#include "TextException.h"
#include "filters/ColorFilters.h"
#include "filters/RegionFilters.h"
#include "filters/ResizeFilter.h"
#include "filters/RotateFilter.h"
#include "win/DisplayBitmap.h"

namespace {

PLFilterRect ToFilterRect(const RECT& r) { return PLFilterRect{r.left, r.top, r.right, r.bottom}; }

bool HasImage(const CQuorvaCaptureDoc& doc) { return doc.image && !doc.image->IsEmpty(); }

SIZE ImageSize(const CQuorvaCaptureDoc& doc) {
  return HasImage(doc) ? SIZE{doc.image->GetWidth(), doc.image->GetHeight()} : SIZE{0, 0};
}

COLORREF ImageBackgroundColor() {
  if (auto* app = dynamic_cast<IImageDocumentApp*>(AfxGetApp()))
    return app->GetDocumentSettings().m_capture.colorImageBackground;
  return kDefaultColorImageBackground;
}

void ReportFailure(const char* text) { AfxMessageBox(text, MB_OK | MB_ICONEXCLAMATION); }

// Shows what a filter threw; false.
template <typename Action>
bool Guarded(Action action) {
  try {
    return action();
  } catch (const CTextException& e) {
    ReportFailure(e.GetText());
  } catch (const std::bad_alloc&) {
    AfxMessageBox(AFX_IDP_FAILED_MEMORY_ALLOC, MB_OK | MB_ICONEXCLAMATION);
  }
  return false;
}

}  // namespace

// --- The dialog operations ---

BOOL RotateImageByDegrees(CQuorvaCaptureDoc& doc, int degrees, COLORREF background) {
  const PLPixel32 fill = PLMakePixel(GetRValue(background), GetGValue(background), GetBValue(background), 255);
  return doc.RunImageFilter(
      std::make_unique<CRotateFilter>(degrees * edit_ops::kRadiansPerDegree, fill, GetMainProgressSink()),
      edit_ops::kRotateAnyDescription);
}

BOOL ChangeBrightness(CQuorvaCaptureDoc& doc, int value) {
  const int amount = static_cast<int>(value * 0.36);  // toward zero
  return doc.RunImageFilter(std::make_unique<CBrightnessFilter>(amount, GetMainProgressSink()),
                            edit_ops::kBrightnessDescription);
}

BOOL AdjustContrast(CQuorvaCaptureDoc& doc, int contrast, int offset) {
  return doc.RunImageFilter(std::make_unique<CContrastFilter>(contrast * 0.1, offset, GetMainProgressSink()),
                            edit_ops::kContrastDescription);
}

BOOL AdjustIntensity(CQuorvaCaptureDoc& doc, int intensity, int offset, int exponent) {
  return doc.RunImageFilter(std::make_unique<CIntensityFilter>(static_cast<double>(intensity), offset,
                                                               exponent * 0.1, GetMainProgressSink()),
                            edit_ops::kIntensityDescription);
}

// --- The resize family ---

SIZE ScaledSize(SIZE backup, int percent) {
  return SIZE{static_cast<LONG>(static_cast<long long>(backup.cx) * percent / 100),
              static_cast<LONG>(static_cast<long long>(backup.cy) * percent / 100)};
}

SIZE StretchedSize(SIZE backup, int horizontalPercent, int verticalPercent) {
  return SIZE{static_cast<LONG>(static_cast<long long>(backup.cx) * horizontalPercent / 100),
              static_cast<LONG>(static_cast<long long>(backup.cy) * verticalPercent / 100)};
}

std::unique_ptr<CImageFilter> MakeResizeFilter(ResizeMethod method, int width, int height, int radius) {
  CProgressSink* progress = GetMainProgressSink();
  const double r = radius * 0.01;
  switch (method) {
    case ResizeMethod::kBox: return std::make_unique<CBoxResizeFilter>(width, height, r, progress);
    case ResizeMethod::kGaussian: return std::make_unique<CGaussianResizeFilter>(width, height, r, progress);
    case ResizeMethod::kHamming: return std::make_unique<CHammingResizeFilter>(width, height, r, progress);
    case ResizeMethod::kBilinear: break;
  }
  return std::make_unique<CBilinearResizeFilter>(width, height, progress);
}

const char* ResizeDescription(ResizeKind kind) {
  switch (kind) {
    case ResizeKind::kScale: return edit_ops::kScaleDescription;
    case ResizeKind::kStretch: return edit_ops::kStretchDescription;
    case ResizeKind::kResize: break;
  }
  return edit_ops::kResizeDescription;
}

BOOL ApplyPendingResize(CQuorvaCaptureDoc& doc, ResizeKind kind, ResizeMethod method, SIZE size, int radius) {
  if (!HasImage(doc) || size.cx < 1 || size.cy < 1) return FALSE;
  return Guarded([&] {
    CHistoryWaitCursor wait(doc);  // the copy for undoing, then the resize
    auto* command = new CQuorvaCommand(doc, MakeResizeFilter(method, size.cx, size.cy, radius), ResizeDescription(kind));
    return doc.DoPending(command, true);
  }) ? TRUE : FALSE;
}

BOOL ResizeImage(CQuorvaCaptureDoc& doc, ResizeKind kind, ResizeMethod method, SIZE values, int radius) {
  if (!HasImage(doc) || !doc.EnsureTrueColor()) return FALSE;
  BOOL done = FALSE;
  try {
    doc.MakeBackup();
  } catch (const CTextException& e) {
    ReportFailure(e.GetText());
    return FALSE;
  } catch (const std::bad_alloc&) {
    AfxMessageBox(AFX_IDP_FAILED_MEMORY_ALLOC, MB_OK | MB_ICONEXCLAMATION);
    return FALSE;
  }
  const SIZE backup{doc.backupImage->GetWidth(), doc.backupImage->GetHeight()};
  SIZE target = values;
  if (kind == ResizeKind::kScale) target = ScaledSize(backup, values.cx);
  if (kind == ResizeKind::kStretch) target = StretchedSize(backup, values.cx, values.cy);
  done = ApplyPendingResize(doc, kind, method, target, radius);
  doc.CommitPending(done != FALSE);
  doc.DropBackup();
  doc.UpdateAllViews(nullptr, CQuorvaCaptureDoc::kHintImage);
  return done;
}

// --- Selection commands ---

RECT ClipToImage(const RECT& selection, SIZE image) {
  RECT r{std::max<LONG>(std::min(selection.left, selection.right), 0),
         std::max<LONG>(std::min(selection.top, selection.bottom), 0),
         std::min<LONG>(std::max(selection.left, selection.right), image.cx),
         std::min<LONG>(std::max(selection.top, selection.bottom), image.cy)};
  if (r.right <= r.left || r.bottom <= r.top) return RECT{0, 0, 0, 0};
  return r;
}

CropResult CropToSelection(CQuorvaCaptureDoc& doc, const RECT& selection) {
  if (!HasImage(doc)) return CropResult::kNothing;
  RECT r = ClipToImage(selection, ImageSize(doc));
  if (::IsRectEmpty(&r)) return CropResult::kOutsideImage;
  BOOL done = doc.RunImageFilter(std::make_unique<CCropFilter>(r.left, r.right, r.top, r.bottom, GetMainProgressSink()),
                                 edit_ops::kCropDescription, false);
  return done ? CropResult::kCropped : CropResult::kFailed;
}

bool CopySelectionToClipboard(CQuorvaCaptureDoc& doc, const RECT& selection) {
  if (!HasImage(doc)) return false;
  RECT r = ClipToImage(selection, ImageSize(doc));
  if (::IsRectEmpty(&r)) return false;
  return Guarded([&] {
    CBusyCursor busy;  // gone before a failure is shown
    CDisplayBitmap part;
    CCropFilter crop(r.left, r.right, r.top, r.bottom, GetMainProgressSink());
    crop.Apply(*doc.image, part);
    part.CopyToClipboard();
    return true;
  });
}

bool CutSelectionToClipboard(CQuorvaCaptureDoc& doc, const RECT& selection) {
  if (!CopySelectionToClipboard(doc, selection)) return false;
  const RECT none{0, 0, 0, 0};
  return MoveOrCopyRegion(doc, ClipToImage(selection, ImageSize(doc)), none, none, false) != FALSE;
}

BOOL MoveOrCopyRegion(CQuorvaCaptureDoc& doc, const RECT& selection, const RECT& source, const RECT& target,
                      bool copy) {
  if (!HasImage(doc)) return FALSE;
  auto filter = std::make_unique<CRegionMoveFilter>(ToFilterRect(selection), ToFilterRect(source),
                                                    ToFilterRect(target), copy, ImageBackgroundColor(),
                                                    GetMainProgressSink());
  CHistoryWaitCursor wait(doc);
  return doc.RunImageFilter(std::move(filter), edit_ops::kRegionDescription, false);
}

std::unique_ptr<CDisplayBitmap> ReadClipboardPicture() {
  CBusyCursor busy;  // a big picture takes a while to convert
  auto picture = std::make_unique<CDisplayBitmap>();
  try {
    if (picture->PasteFromClipboard(CF_DIB) && !picture->IsEmpty()) return picture;
    if (picture->PasteFromClipboard(CF_BITMAP) && !picture->IsEmpty()) return picture;
  } catch (const CTextException&) {
    // An unreadable clipboard picture is no picture.
  } catch (const std::bad_alloc&) {
  }
  return nullptr;
}

bool PasteRectangles(const RECT& selection, SIZE image, RECT& source, RECT& target) {
  target = ClipToImage(selection, image);
  if (::IsRectEmpty(&target)) {
    source = target;
    return false;
  }
  const LONG left = std::min(selection.left, selection.right);
  const LONG top = std::min(selection.top, selection.bottom);
  source = RECT{target.left - left, target.top - top, target.right - left, target.bottom - top};
  return true;
}

BOOL CommitPaste(CQuorvaCaptureDoc& doc, const CDibBitmap& floating, const RECT& selection) {
  if (!HasImage(doc) || floating.IsEmpty()) return FALSE;
  RECT source, target;
  if (!PasteRectangles(selection, ImageSize(doc), source, target)) return FALSE;
  std::unique_ptr<CImageFilter> filter;
  if (!Guarded([&] {
        filter = std::make_unique<CPasteFilter>(floating, ToFilterRect(source), ToFilterRect(target),
                                                GetMainProgressSink());
        return true;
      }))
    return FALSE;
  CHistoryWaitCursor wait(doc);
  return doc.RunImageFilter(std::move(filter), edit_ops::kPasteDescription, false);
}
