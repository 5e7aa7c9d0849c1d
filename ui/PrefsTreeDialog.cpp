#include "PrefsTreeDialog.h"

#include "resources/OptionsIds.h"
#include "resources/resource.h"

BEGIN_MESSAGE_MAP(CPrefsTreeDialog, CDialog)
  ON_BN_CLICKED(IDC_PREFS_HELP, OnHelp)
  ON_MESSAGE(WM_PREFS_SHOWPAGE, OnShowPageMessage)
  ON_NOTIFY(TVN_SELCHANGEDA, IDC_PREFS_TREE, OnTreeSelChanged)
  ON_NOTIFY(TVN_SELCHANGEDW, IDC_PREFS_TREE, OnTreeSelChanged)
END_MESSAGE_MAP()

CPrefsTreeDialog::CPrefsTreeDialog(CWnd* pParent) : CDialog(IDD_OPTIONS, pParent) {}

bool CPrefsTreeDialog::AddPage(CSAPrefsSubDlg& page, const std::string& caption, CSAPrefsSubDlg* parent) {
  if (m_hWnd) return false;
  m_pages.push_back(PageRecord{&page, page.GetID(), caption, parent});
  return true;
}

int CPrefsTreeDialog::IndexOf(const CSAPrefsSubDlg* page) const {
  for (size_t i = 0; i < m_pages.size(); ++i)
    if (m_pages[i].page == page) return static_cast<int>(i);
  return -1;
}

BOOL CPrefsTreeDialog::OnInitDialog() {
  CDialog::OnInitDialog();
  HWND tree = Tree();
  if (tree) ::SetWindowLongPtrA(tree, GWL_STYLE, ::GetWindowLongPtrA(tree, GWL_STYLE) | TVS_TRACKSELECT);

  // The page area: the hidden frame, in client coordinates, 2 pixels in on every side.
  if (HWND frame = GetDlgItemHwnd(IDC_PREFS_PAGEFRAME)) {
    RECT r;
    ::GetWindowRect(frame, &r);
    ScreenToClient(&r);
    ::InflateRect(&r, -2, -2);
    m_pageRect = CRect(r);
  }

  if (!m_title.empty()) SetWindowText(m_title.c_str());
  if (m_caption.SubclassDlgItem(IDC_PREFS_CAPTION, this)) {
    m_caption.SetBackgroundColor(::GetSysColor(COLOR_BTNFACE));
    m_caption.SetTextColor(::GetSysColor(COLOR_BTNFACE));
    m_caption.SetCaptionFont("Verdana", 14, FW_BOLD);
    m_caption.SetConstantText(m_constantText);
  }

  for (size_t i = 0; i < m_pages.size() && tree; ++i) {
    const PageRecord& record = m_pages[i];
    HTREEITEM parentItem = TVI_ROOT;
    if (record.parent) {
      auto it = m_itemOfPage.find(record.parent);
      if (it != m_itemOfPage.end()) parentItem = it->second;
    }
    TVINSERTSTRUCTA insert{};
    insert.hParent = parentItem;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_PARAM;
    insert.item.pszText = const_cast<char*>(record.caption.c_str());
    insert.item.lParam = static_cast<LPARAM>(i);
    auto item = reinterpret_cast<HTREEITEM>(::SendMessageA(tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
    if (item) {
      m_itemOfPage[record.page] = item;
      if (parentItem != TVI_ROOT) ::SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(parentItem));
    }
  }

  int start = m_startPage ? IndexOf(m_startPage) : 0;
  if (start < 0) start = 0;
  ShowPage(start);
  return FALSE;  // the page has the focus
}

bool CPrefsTreeDialog::ShowPage(int index) {
  if (m_caption.m_hWnd) m_caption.SetCaption("");
  if (m_currentPage >= 0 && m_currentPage < GetPageCount()) {
    CSAPrefsSubDlg* current = m_pages[m_currentPage].page;
    if (current && current->m_hWnd) current->ShowWindow(SW_HIDE);
  }
  if (index < 0 || index >= GetPageCount() || !m_pages[index].page) return false;
  PageRecord& record = m_pages[index];
  if (m_caption.m_hWnd) m_caption.SetCaption(record.caption);
  CSAPrefsSubDlg* page = record.page;
  if (!page->m_hWnd && !page->Create(record.id, this)) return false;
  page->SetWindowPos(nullptr, m_pageRect.left, m_pageRect.top, m_pageRect.Width(), m_pageRect.Height(),
                     SWP_NOZORDER | SWP_NOACTIVATE);
  page->ShowWindow(SW_SHOW);
  page->SetFocus();
  m_currentPage = index;  // before the selection, whose notification then asks for this page
  auto it = m_itemOfPage.find(page);
  if (it != m_itemOfPage.end()) ::SendMessageA(Tree(), TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(it->second));
  return true;
}

void CPrefsTreeDialog::OnTreeSelChanged(NMHDR* nmhdr, LRESULT* result) {
  *result = 0;
  // The A and W forms carry the new item at the same place.
  const auto* change = reinterpret_cast<const NMTREEVIEWA*>(nmhdr);
  if (!change->itemNew.hItem) return;
  TVITEMA item{};
  item.mask = TVIF_PARAM;
  item.hItem = change->itemNew.hItem;
  if (!::SendMessageA(Tree(), TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item))) return;
  PostMessage(WM_PREFS_SHOWPAGE, static_cast<WPARAM>(item.lParam));
}

LRESULT CPrefsTreeDialog::OnShowPageMessage(WPARAM wParam, LPARAM) {
  const int index = static_cast<int>(wParam);
  if (index != m_currentPage) ShowPage(index);
  return 0;
}

void CPrefsTreeDialog::OnOK() {
  for (int i = 0; i < GetPageCount(); ++i) {
    CSAPrefsSubDlg* page = m_pages[i].page;
    if (!page || !page->m_hWnd) continue;
    if (!page->UpdateData(TRUE) || !page->LeaveCheck()) {
      // The page told the user; it is the one to correct.
      if (i != m_currentPage) ShowPage(i);
      return;
    }
  }
  for (PageRecord& record : m_pages)
    if (record.page && record.page->m_hWnd) record.page->OnOK();
  EndDialog(IDOK);
}

void CPrefsTreeDialog::OnCancel() {
  for (PageRecord& record : m_pages)
    if (record.page && record.page->m_hWnd) record.page->OnCancel();
  EndDialog(IDCANCEL);
}

void CPrefsTreeDialog::OnHelp() {
  if (m_currentPage >= 0 && m_currentPage < GetPageCount()) {
    CSAPrefsSubDlg* page = m_pages[m_currentPage].page;
    if (page && page->m_hWnd) {
      NMHDR nm{};
      nm.hwndFrom = m_hWnd;
      nm.idFrom = IDD_OPTIONS;
      nm.code = static_cast<UINT>(kPrefsHelpCode);
      page->SendMessage(WM_NOTIFY, IDD_OPTIONS, reinterpret_cast<LPARAM>(&nm));
    }
  }
  if (m_helpHandler) m_helpHandler(kPrefsHelpTopic, m_helpContext);
}
