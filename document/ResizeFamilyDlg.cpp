#include "ResizeFamilyDlg.h"

#include <algorithm>

#include "DocumentHost.h"
#include "QuorvaCaptureDoc.h"
#include "resources/FileDialogsIds.h"
#include "resources/resource.h"
#include "win/DisplayBitmap.h"

namespace {

constexpr char kCollapsedText[] = "A&dvanced >>";
constexpr char kExpandedText[] = "A&dvanced <<";
constexpr int kResizeHelpTopic = 2;

const CResizeFamilyDlg::Ids kResizeIds{
    IDD_RESIZE, IDC_RESIZE_ADVANCED, IDC_RESIZE_MARKER, IDC_RESIZE_APPLY, IDC_RESIZE_REVERT, IDC_RESIZE_HELP,
    {IDC_RESIZE_BILINEAR, IDC_RESIZE_BOX, IDC_RESIZE_GAUSSIAN, IDC_RESIZE_HAMMING},
    {{IDC_RESIZE_WIDTH, IDC_RESIZE_WIDTH_SPIN, IDC_RESIZE_WIDTH_SLIDER},
     {IDC_RESIZE_HEIGHT, IDC_RESIZE_HEIGHT_SPIN, IDC_RESIZE_HEIGHT_SLIDER}},
    {IDC_RESIZE_RADIUS, IDC_RESIZE_RADIUS_SPIN, IDC_RESIZE_RADIUS_SLIDER}};
const CResizeFamilyDlg::Ids kScaleIds{
    IDD_SCALE, IDC_SCALE_ADVANCED, IDC_SCALE_MARKER, IDC_SCALE_APPLY, IDC_SCALE_REVERT, IDC_SCALE_HELP,
    {IDC_SCALE_BILINEAR, IDC_SCALE_BOX, IDC_SCALE_GAUSSIAN, IDC_SCALE_HAMMING},
    {{IDC_SCALE_VALUE, IDC_SCALE_SPIN, IDC_SCALE_SLIDER}, {0, 0, 0}},
    {IDC_SCALE_RADIUS, IDC_SCALE_RADIUS_SPIN, IDC_SCALE_RADIUS_SLIDER}};
const CResizeFamilyDlg::Ids kStretchIds{
    IDD_STRETCH, IDC_STRETCH_ADVANCED, IDC_STRETCH_MARKER, IDC_STRETCH_APPLY, IDC_STRETCH_REVERT, IDC_STRETCH_HELP,
    {IDC_STRETCH_BILINEAR, IDC_STRETCH_BOX, IDC_STRETCH_GAUSSIAN, IDC_STRETCH_HAMMING},
    {{IDC_STRETCH_HORZ, IDC_STRETCH_HORZ_SPIN, IDC_STRETCH_HORZ_SLIDER},
     {IDC_STRETCH_VERT, IDC_STRETCH_VERT_SPIN, IDC_STRETCH_VERT_SLIDER}},
    {IDC_STRETCH_RADIUS, IDC_STRETCH_RADIUS_SPIN, IDC_STRETCH_RADIUS_SLIDER}};

OperationValueRange SizeRange(ResizeKind kind) {
  switch (kind) {
    case ResizeKind::kScale: return op_values::kScalePercent;
    case ResizeKind::kStretch: return op_values::kStretchPercent;
    case ResizeKind::kResize: break;
  }
  return op_values::kResizeSide;
}

}  // namespace

const CResizeFamilyDlg::Ids& CResizeFamilyDlg::IdsOf(ResizeKind kind) {
  switch (kind) {
    case ResizeKind::kScale: return kScaleIds;
    case ResizeKind::kStretch: return kStretchIds;
    case ResizeKind::kResize: break;
  }
  return kResizeIds;
}

BEGIN_MESSAGE_MAP(CResizeFamilyDlg, CExpandDialog)
  ON_WM_HSCROLL()
END_MESSAGE_MAP()

CResizeFamilyDlg::CResizeFamilyDlg(ResizeKind kind, CQuorvaCaptureDoc* doc, CWnd* pParent)
    : CExpandDialog(IdsOf(kind).dialog, IdsOf(kind).toggle, IdsOf(kind).marker, kCollapsedText, kExpandedText,
                    pParent),
      m_kind(kind),
      m_doc(doc),
      m_ids(IdsOf(kind)),
      m_radius(m_ids.radius[0], m_ids.radius[1], m_ids.radius[2],
               kind == ResizeKind::kScale ? op_values::kScaleRadius : op_values::kResizeRadius) {
  const int count = kind == ResizeKind::kScale ? 1 : 2;
  for (int i = 0; i < count; ++i)
    m_sizes.emplace_back(m_ids.values[i][0], m_ids.values[i][1], m_ids.values[i][2], SizeRange(kind));
}

SIZE CResizeFamilyDlg::ImageSize() const {
  if (!m_doc || !m_doc->image || m_doc->image->IsEmpty()) return SIZE{0, 0};
  return SIZE{m_doc->image->GetWidth(), m_doc->image->GetHeight()};
}

SIZE CResizeFamilyDlg::BackupSize() const {
  if (!m_doc || !m_doc->backupImage || m_doc->backupImage->IsEmpty()) return SIZE{0, 0};
  return SIZE{m_doc->backupImage->GetWidth(), m_doc->backupImage->GetHeight()};
}

BOOL CResizeFamilyDlg::OnInitDialog() {
  BOOL result = CExpandDialog::OnInitDialog();
  SIZE start{100, 100};
  if (m_kind == ResizeKind::kResize) {
    SIZE image = ImageSize();
    start = ResizeStartSize(image.cx > 0, image);
  }
  for (size_t i = 0; i < m_sizes.size(); ++i) m_sizes[i].Init(m_hWnd, i == 0 ? start.cx : start.cy);
  m_radius.Init(m_hWnd);
  CheckRadioButton(m_ids.methods[0], m_ids.methods[3], m_ids.methods[0]);
  // The ids of the methods are not in order in every dialog: check one, clear the others.
  for (int i = 0; i < 4; ++i) CheckDlgButton(m_ids.methods[i], i == 0 ? BST_CHECKED : BST_UNCHECKED);
  m_method = ResizeMethod::kBilinear;
  EnableItem(m_ids.apply, false);
  EnableItem(m_ids.revert, false);
  EnableBeyondMarker(IsExpanded());
  m_wasModified = m_doc && m_doc->IsModified();
  m_initialised = true;
  return result;
}

void CResizeFamilyDlg::EnableBeyondMarker(BOOL bEnable) {
  CExpandDialog::EnableBeyondMarker(bEnable);
  if (!bEnable || m_advancedEnabled) return;
  for (int id : m_ids.methods) EnableItem(id, false);
  m_radius.Enable(false);
}

void CResizeFamilyDlg::SetAdvancedEnabled(bool enable) {
  m_advancedEnabled = enable;
  const bool shown = enable && IsExpanded();
  for (int id : m_ids.methods) EnableItem(id, shown);
  m_radius.Enable(shown);
}

BOOL CResizeFamilyDlg::OnCommand(WPARAM wParam, LPARAM lParam) {
  const int id = LOWORD(wParam);
  const int code = HIWORD(wParam);
  if (lParam != 0 && code == EN_CHANGE) {
    for (CValueControls& size : m_sizes) {
      if (size.EditId() != id) continue;
      if (size.OnEditChanged() && m_initialised) OnSizeValueChanged();
      return TRUE;
    }
    if (id == m_radius.EditId()) {
      if (m_radius.OnEditChanged() && m_initialised) OnRadiusChanged();
      return TRUE;
    }
  }
  if (lParam != 0 && code == BN_CLICKED) {
    for (int i = 0; i < 4; ++i) {
      if (id == m_ids.methods[i]) {
        OnMethod(i);
        return TRUE;
      }
    }
    if (static_cast<UINT>(id) == m_ids.apply) {
      OnApply();
      return TRUE;
    }
    if (static_cast<UINT>(id) == m_ids.revert) {
      OnRevert();
      return TRUE;
    }
    if (static_cast<UINT>(id) == m_ids.help) {
      if (auto* app = dynamic_cast<IImageDocumentApp*>(AfxGetApp())) app->ShowHelpTopic(kResizeHelpTopic);
      return TRUE;
    }
  }
  return CExpandDialog::OnCommand(wParam, lParam);
}

void CResizeFamilyDlg::OnHScroll(UINT, UINT, HWND scrollBar) {
  for (CValueControls& size : m_sizes) {
    if (!size.OwnsSlider(scrollBar)) continue;
    if (size.OnSliderMoved() && m_initialised) OnSizeValueChanged();
    return;
  }
  if (m_radius.OwnsSlider(scrollBar) && m_radius.OnSliderMoved() && m_initialised) OnRadiusChanged();
}

void CResizeFamilyDlg::OnSizeValueChanged() {
  EnableItem(m_ids.apply, true);
  if (m_kind != ResizeKind::kScale) SetAdvancedEnabled(true);
}

void CResizeFamilyDlg::OnRadiusChanged() {
  if (m_kind == ResizeKind::kScale) {
    EnableItem(m_ids.apply, true);
    SetAdvancedEnabled(true);
  } else if (m_method != ResizeMethod::kBilinear) {
    EnableItem(m_ids.apply, true);
  }
}

void CResizeFamilyDlg::OnMethod(int index) {
  const ResizeMethod method = static_cast<ResizeMethod>(index);
  for (int i = 0; i < 4; ++i) CheckDlgButton(m_ids.methods[i], i == index ? BST_CHECKED : BST_UNCHECKED);
  if (method == m_method) return;
  m_method = method;
  EnableItem(m_ids.apply, true);
}

SIZE CResizeFamilyDlg::CurrentValues() const {
  int values[2] = {0, 0};
  for (size_t i = 0; i < m_sizes.size(); ++i) {
    // The number typed counts (a 0 makes Apply do nothing); one above the range is held to it.
    int typed = 0;
    values[i] = m_sizes[i].EditValue(typed) ? std::min(typed, SizeRange(m_kind).maximum) : m_sizes[i].Value();
  }
  if (m_sizes.size() == 1) values[1] = values[0];
  return SIZE{values[0], values[1]};
}

void CResizeFamilyDlg::OnApply() {
  if (!IsItemEnabled(m_ids.apply)) return;
  const SIZE values = CurrentValues();
  if (values.cx < 1 || values.cy < 1) return;
  if (!m_doc || !m_doc->backupImage || m_doc->backupImage->IsEmpty()) return;
  const SIZE target = ResizeFamilyTarget(m_kind, values, BackupSize());
  if (!IsUsableTarget(target)) {
    // A scale or stretch of a very small image: nothing to make, and the user is told why.
    AfxMessageBox(IDS_SIZE_TOO_SMALL, MB_OK | MB_ICONEXCLAMATION);
    return;
  }
  if (!ApplyPendingResize(*m_doc, m_kind, m_method, target, m_radius.Value())) return;
  m_appliedAny = true;
  KeepFocusOffDisabled(m_ids.apply);
  EnableItem(m_ids.apply, false);
  EnableItem(m_ids.revert, true);
  SetAdvancedEnabled(false);
}

void CResizeFamilyDlg::ShowValues(SIZE values) {
  const bool initialised = m_initialised;
  m_initialised = false;  // the controls follow; nothing is "changed" by the user
  for (size_t i = 0; i < m_sizes.size(); ++i) m_sizes[i].SetValue(i == 0 ? values.cx : values.cy);
  m_initialised = initialised;
}

void CResizeFamilyDlg::OnRevert() {
  if (!m_doc || !IsItemEnabled(m_ids.revert)) return;
  m_doc->UndoPending();
  m_doc->UpdateAllViews(nullptr, CQuorvaCaptureDoc::kHintImage);
  ShowValues(ResizeFamilyRevertValues(m_kind, ImageSize(), BackupSize()));
  KeepFocusOffDisabled(m_ids.revert);
  EnableItem(m_ids.apply, false);
  EnableItem(m_ids.revert, false);
}

void CResizeFamilyDlg::OnOK() {
  if (m_doc) m_doc->CommitPending(IsItemEnabled(m_ids.revert));
  EndDialog(IDOK);
}

void CResizeFamilyDlg::KeepFocusOffDisabled(UINT id) {
  // A button that disables itself would leave the keyboard nowhere: Done takes the focus.
  if (::GetFocus() == GetDlgItemHwnd(static_cast<int>(id))) GotoDlgCtrl(GetDlgItemHwnd(IDOK));
}

void CResizeFamilyDlg::OnCancel() {
  if (m_doc) {
    // Nothing is kept, and the picture is the one the dialog was opened on: an applied change
    // must not stay in the image without an undo step.
    m_doc->CommitPending(false);
    if (m_appliedAny && m_doc->image && m_doc->backupImage && !m_doc->backupImage->IsEmpty()) {
      CHistoryWaitCursor wait(*m_doc);  // the whole picture is copied back
      m_doc->image->CreateCopy(*m_doc->backupImage, 0);
      m_doc->SetModifiedFlag(m_wasModified ? TRUE : FALSE);
    }
    m_doc->UpdateAllViews(nullptr, CQuorvaCaptureDoc::kHintImage);
  }
  EndDialog(IDCANCEL);
}
