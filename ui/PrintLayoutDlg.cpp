#include "PrintLayoutDlg.h"

#include "common/AppHelpers.h"
#include "document/PrintLayoutMath.h"
#include "resources/PrintIds.h"
#include "resources/resource.h"
#include "win/DisplayBitmap.h"

BEGIN_MESSAGE_MAP(CPrintLayoutDlg, CDialog)
  ON_BN_CLICKED(IDC_LAYOUT_HELP, OnHelp)
END_MESSAGE_MAP()

CPrintLayoutDlg::CPrintLayoutDlg(const PrintLayoutSettings& layout, CDisplayBitmap* image, bool fromPrintSetup,
                                 SIZE paper, CWnd* pParent)
    : CDialog(IDD_PRINTLAYOUT, pParent), m_layout(layout), m_image(image), m_fromPrintSetup(fromPrintSetup),
      m_paper(paper),
      m_page(m_layout, image ? image->GetWidth() : 0, image ? image->GetHeight() : 0,
             [this] { m_preview.Refresh(); }) {}

BOOL CPrintLayoutDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  const bool hasImage = m_image && !m_image->IsEmpty();
  printlayout::SetUpPreviewLayout(m_layout, m_fromPrintSetup, m_paper, hasImage ? m_image->GetWidth() : 0,
                                  hasImage ? m_image->GetHeight() : 0);
  m_preview.SubclassDlgItem(IDC_LAYOUT_PREVIEW, this);
  m_preview.SetLayout(&m_layout, hasImage ? m_image : nullptr);
  m_tab.SubclassDlgItem(IDC_LAYOUT_TAB, this);
  m_tab.InsertItem(0, "Layout");
  if (m_page.Create(IDD_LAYOUTOPTIONS, this)) {
    // Centred in the tab's display area.
    RECT area;
    ::GetWindowRect(m_tab.GetSafeHwnd(), &area);
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&area), 2);
    m_tab.AdjustRect(FALSE, &area);
    RECT page;
    ::GetWindowRect(m_page.GetSafeHwnd(), &page);
    const int w = page.right - page.left, h = page.bottom - page.top;
    const int x = area.left + ((area.right - area.left) - w) / 2;
    const int y = area.top + ((area.bottom - area.top) - h) / 2;
    ::SetWindowPos(m_page.GetSafeHwnd(), HWND_TOP, x, y, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
  }
  return TRUE;
}

void CPrintLayoutDlg::OnHelp() {
  OpenHtmlHelpTopic(BuildHelpTopicPath(GetProgramFilePath().c_str(), kHelpPrintLayout));
}

BOOL EditPrintLayout(PrintLayoutSettings& layout, CDisplayBitmap* image, bool fromPrintSetup, SIZE paper,
                     CWnd* pParent) {
  CPrintLayoutDlg dialog(layout, image, fromPrintSetup, paper, pParent);
  if (dialog.DoModal() != IDOK) return FALSE;
  layout = dialog.GetLayout();
  return TRUE;
}
