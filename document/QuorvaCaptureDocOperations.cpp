// The Operations commands of the image document that ask for their values first: the resize
// family (its dialog applies and keeps its own change) and the adjustments with a preview.
#include <new>

#include "AdjustmentDlg.h"
#include "EditOperations.h"
#include "QuorvaCaptureDoc.h"
#include "ResizeFamilyDlg.h"
#include "TextException.h"
#include "win/DisplayBitmap.h"

namespace {

void RunResizeFamily(CQuorvaCaptureDoc& doc, ResizeKind kind) {
  if (!doc.image || doc.image->IsEmpty() || !doc.EnsureTrueColor()) return;
  try {
    doc.MakeBackup();
  } catch (const CTextException& e) {
    AfxMessageBox(e.GetText(), MB_OK | MB_ICONEXCLAMATION);
    return;
  } catch (const std::bad_alloc&) {
    AfxMessageBox(AFX_IDP_FAILED_MEMORY_ALLOC, MB_OK | MB_ICONEXCLAMATION);
    return;
  }
  CResizeFamilyDlg dlg(kind, &doc);
  dlg.DoModal();
  doc.DropBackup();
  doc.UpdateAllViews(nullptr, CQuorvaCaptureDoc::kHintImage);
}

// Runs an adjustment dialog; true with its values when it ended with a change.
bool RunAdjustment(CQuorvaCaptureDoc& doc, CAdjustmentDlg& dlg) {
  if (!doc.image || doc.image->IsEmpty() || !doc.EnsureTrueColor()) return false;
  return dlg.DoModal() == IDOK;
}

}  // namespace

void CQuorvaCaptureDoc::OnImageResize() { RunResizeFamily(*this, ResizeKind::kResize); }

void CQuorvaCaptureDoc::OnImageScale() { RunResizeFamily(*this, ResizeKind::kScale); }

void CQuorvaCaptureDoc::OnImageStretch() { RunResizeFamily(*this, ResizeKind::kStretch); }

void CQuorvaCaptureDoc::OnImageRotateAnyAngle() {
  CAdjustmentDlg dlg(CAdjustmentDlg::Kind::kRotate, this);
  const bool confirmed = RunAdjustment(*this, dlg);
  if (confirmed) RotateImageByDegrees(*this, dlg.Angle(), dlg.Background());
  if (image) UpdateAllViews(nullptr, kHintImage);  // also after Cancel
}

void CQuorvaCaptureDoc::OnImageBrightness() {
  CAdjustmentDlg dlg(CAdjustmentDlg::Kind::kBrightness, this);
  if (RunAdjustment(*this, dlg)) ChangeBrightness(*this, dlg.Brightness());
}

void CQuorvaCaptureDoc::OnImageContrast() {
  CAdjustmentDlg dlg(CAdjustmentDlg::Kind::kContrast, this);
  if (RunAdjustment(*this, dlg)) AdjustContrast(*this, dlg.Contrast(), dlg.Offset());
}

void CQuorvaCaptureDoc::OnImageIntensity() {
  CAdjustmentDlg dlg(CAdjustmentDlg::Kind::kIntensity, this);
  if (RunAdjustment(*this, dlg)) AdjustIntensity(*this, dlg.Intensity(), dlg.Offset(), dlg.Exponent());
}
