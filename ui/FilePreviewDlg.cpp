#include "FilePreviewDlg.h"

#include "FileFilters.h"
#include "resources/FileDialogsIds.h"
#include "resources/resource.h"
#include "win/DisplayBitmap.h"

BEGIN_MESSAGE_MAP(CFilePreviewDlg, CFileDialog)
  ON_BN_CLICKED(IDC_PREVIEW_CHECK, OnPreviewToggle)
  ON_WM_QUERYNEWPALETTE()
  ON_WM_PALETTECHANGED()
END_MESSAGE_MAP()

CFilePreviewDlg::CFilePreviewDlg(LPCSTR lpszFileName, DWORD lFlags, CWnd* pParentWnd)
    : CFileDialog(TRUE, nullptr, lpszFileName, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | lFlags, nullptr, pParentWnd) {
  SetFilter(JoinFilter(OpenFilterEntries(LoadResString(AFX_IDS_ALLFILTER))));
  m_ofn.nFilterIndex = kOpenFilterStartIndex;
  m_ofn.Flags |= OFN_ENABLETEMPLATE;
  m_ofn.hInstance = AfxGetResourceHandle();
  m_ofn.lpTemplateName = MAKEINTRESOURCEA(IDD_FILEPREVIEW);
}

BOOL CFilePreviewDlg::OnInitDialog() {
  CFileDialog::OnInitDialog();
  m_preview.SubclassDlgItem(IDC_PREVIEW_AREA, this);
  CheckDlgButton(IDC_PREVIEW_CHECK, m_bPreview ? BST_CHECKED : BST_UNCHECKED);
  return TRUE;
}

void CFilePreviewDlg::OnInitDone() {
  if (m_laidOut) return;
  m_laidOut = true;
  // The group and the picture take the width of the system's file list.
  HWND list = ::GetDlgItem(::GetParent(m_hWnd), IDC_FILEDLG_FILELIST);
  if (list) {
    RECT listRect;
    ::GetWindowRect(list, &listRect);
    ScreenToClient(&listRect);
    for (int id : {IDC_PREVIEW_GROUP, IDC_PREVIEW_AREA}) {
      HWND control = GetDlgItemHwnd(id);
      if (!control) continue;
      RECT r;
      ::GetWindowRect(control, &r);
      ScreenToClient(&r);
      RECT moved = AlignToFileList(r, listRect);
      ::MoveWindow(control, moved.left, moved.top, moved.right - moved.left, moved.bottom - moved.top, TRUE);
    }
  }
  ShowTexts();
}

void CFilePreviewDlg::ShowTexts() {
  const bool has = m_bPreview && m_preview.HasImage();
  const CDisplayBitmap& bitmap = m_preview.GetBitmap();
  SetDlgItemText(IDC_PREVIEW_BITS,
                 PreviewDepthText(LoadResString(IDS_COLOR_BITS), has, has ? bitmap.GetBitsPerPixel() : 0).c_str());
  SetDlgItemText(IDC_PREVIEW_SIZE, PreviewSizeText(LoadResString(IDS_IMAGE_SIZE), has, has ? bitmap.GetWidth() : 0,
                                                   has ? bitmap.GetHeight() : 0)
                                       .c_str());
}

void CFilePreviewDlg::ShowPreviewOf(const std::string& path) {
  if (!path.empty()) m_preview.LoadFile(path.c_str());
  ShowTexts();
}

void CFilePreviewDlg::OnSelChange() {
  if (m_bPreview) ShowPreviewOf(GetPathName());
}

void CFilePreviewDlg::OnPreviewToggle() {
  m_bPreview = !m_bPreview;
  CheckDlgButton(IDC_PREVIEW_CHECK, m_bPreview ? BST_CHECKED : BST_UNCHECKED);
  if (m_bPreview) {
    ShowPreviewOf(GetPathName());
  } else {
    m_preview.Clear();
    ShowTexts();
  }
}

BOOL CFilePreviewDlg::OnQueryNewPalette() {
  return static_cast<BOOL>(m_preview.SendMessage(WM_QUERYNEWPALETTE));
}

void CFilePreviewDlg::OnPaletteChanged(HWND focusWnd) {
  m_preview.SendMessage(WM_PALETTECHANGED, reinterpret_cast<WPARAM>(focusWnd));
}
