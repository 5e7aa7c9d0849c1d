#include "WindowListDlg.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "document/DocumentHost.h"

#include "resources/WorkspaceIds.h"
#include "resources/resource.h"

BEGIN_MESSAGE_MAP(CWindowListDlg, CDialog)
  ON_LBN_SELCHANGE(IDC_WINDOWLIST_LIST, OnSelChange)
  ON_LBN_DBLCLK(IDC_WINDOWLIST_LIST, OnActivate)
  ON_BN_CLICKED(IDC_WINDOWLIST_ACTIVATE, OnActivate)
  ON_BN_CLICKED(IDC_WINDOWLIST_CLOSE, OnCloseWindows)
  ON_BN_CLICKED(IDC_WINDOWLIST_SAVE, OnSave)
  ON_BN_CLICKED(IDC_WINDOWLIST_MINIMIZE, OnMinimize)
  ON_BN_CLICKED(IDC_WINDOWLIST_CASCADE, OnCascade)
  ON_BN_CLICKED(IDC_WINDOWLIST_TILEHORZ, OnTileHorizontal)
  ON_BN_CLICKED(IDC_WINDOWLIST_TILEVERT, OnTileVertical)
  ON_WM_MEASUREITEM()
  ON_WM_DRAWITEM()
END_MESSAGE_MAP()

namespace {

constexpr int kTitleLimit = 259;
constexpr int kItemHeight = 20;

HICON ClassIcon(HWND window) {
  HICON icon = reinterpret_cast<HICON>(::GetClassLongPtrA(window, GCLP_HICONSM));
  return icon ? icon : reinterpret_cast<HICON>(::GetClassLongPtrA(window, GCLP_HICON));
}

}  // namespace

CWindowListDlg::CWindowListDlg(HWND mdiClient, CWnd* pParent) : CDialog(IDD_WINDOWLIST, pParent), m_client(mdiClient) {}

HWND CWindowListDlg::List() const { return GetDlgItemHwnd(IDC_WINDOWLIST_LIST); }

BOOL CWindowListDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  Refill();
  return TRUE;
}

void CWindowListDlg::Refill() {
  Fill();
  SelectActive();
  UpdateButtons();
}

void CWindowListDlg::Fill() {
  HWND list = List();
  ::SendMessageA(list, LB_RESETCONTENT, 0, 0);
  if (!m_client || !::IsWindow(m_client)) return;
  for (HWND child = ::GetWindow(m_client, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
    char title[kTitleLimit + 1] = {};
    ::GetWindowTextA(child, title, kTitleLimit + 1);
    const LRESULT index = ::SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(title));
    if (index >= 0) ::SendMessageA(list, LB_SETITEMDATA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(child));
  }
}

void CWindowListDlg::SelectActive() {
  HWND list = List();
  ::SendMessageA(list, LB_SETSEL, FALSE, -1);
  HWND active = m_client ? reinterpret_cast<HWND>(::SendMessageA(m_client, WM_MDIGETACTIVE, 0, 0)) : nullptr;
  const int count = static_cast<int>(::SendMessageA(list, LB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    if (reinterpret_cast<HWND>(::SendMessageA(list, LB_GETITEMDATA, i, 0)) == active) {
      ::SendMessageA(list, LB_SETSEL, TRUE, i);
      ::SendMessageA(list, LB_SETCARETINDEX, i, FALSE);
      break;
    }
  }
}

std::vector<HWND> CWindowListDlg::SelectedWindows() const {
  HWND list = List();
  std::vector<HWND> windows;
  const int count = static_cast<int>(::SendMessageA(list, LB_GETSELCOUNT, 0, 0));
  if (count <= 0) return windows;
  std::vector<int> items(static_cast<size_t>(count));
  const int got = static_cast<int>(
      ::SendMessageA(list, LB_GETSELITEMS, static_cast<WPARAM>(count), reinterpret_cast<LPARAM>(items.data())));
  for (int i = 0; i < got; ++i)
    windows.push_back(reinterpret_cast<HWND>(::SendMessageA(list, LB_GETITEMDATA, items[static_cast<size_t>(i)], 0)));
  return windows;
}

void CWindowListDlg::UpdateButtons() {
  const int selected = std::max(0, static_cast<int>(::SendMessageA(List(), LB_GETSELCOUNT, 0, 0)));
  const WindowListButtons b = WindowListEnableRule(selected);
  ::EnableWindow(GetDlgItemHwnd(IDC_WINDOWLIST_CLOSE), b.close);
  ::EnableWindow(GetDlgItemHwnd(IDC_WINDOWLIST_SAVE), b.save);
  ::EnableWindow(GetDlgItemHwnd(IDC_WINDOWLIST_MINIMIZE), b.minimize);
  ::EnableWindow(GetDlgItemHwnd(IDC_WINDOWLIST_CASCADE), b.arrange);
  ::EnableWindow(GetDlgItemHwnd(IDC_WINDOWLIST_TILEHORZ), b.arrange);
  ::EnableWindow(GetDlgItemHwnd(IDC_WINDOWLIST_TILEVERT), b.arrange);
  ::EnableWindow(GetDlgItemHwnd(IDC_WINDOWLIST_ACTIVATE), b.activate);
}

void CWindowListDlg::OnSelChange() { UpdateButtons(); }

void CWindowListDlg::OnActivate() {
  const std::vector<HWND> selected = SelectedWindows();
  if (selected.size() != 1 || !::IsWindow(selected[0])) return;
  HWND window = selected[0];
  if (::IsIconic(window)) ::SendMessageA(m_client, WM_MDIRESTORE, reinterpret_cast<WPARAM>(window), 0);
  ::SendMessageA(m_client, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(window), 0);
  EndDialog(IDOK);
}

void CWindowListDlg::OnCloseWindows() {
  CloseWindowsFromLast(
      SelectedWindows(), [](HWND window) { ::SendMessageA(window, WM_CLOSE, 0, 0); },
      [](HWND window) { return ::IsWindow(window) != FALSE; });
  if (CWnd* main = AfxGetMainWnd()) main->PostMessage(UWM_UPDATETABBAR);  // the tabs bar follows
  Refill();
}

void CWindowListDlg::OnSave() {
  for (HWND window : SelectedWindows()) {
    auto* frame = dynamic_cast<CFrameWnd*>(CWnd::FromHandlePermanent(window));
    CDocument* doc = frame ? frame->GetActiveDocument() : nullptr;
    if (!doc) {
      auto* view = frame ? dynamic_cast<CView*>(frame->GetDescendantWindow(AFX_IDW_PANE_FIRST, TRUE)) : nullptr;
      doc = view ? view->GetDocument() : nullptr;
    }
    if (doc) doc->DoFileSave();
  }
  Refill();
}

void CWindowListDlg::OnMinimize() {
  for (HWND window : SelectedWindows())
    if (::IsWindow(window)) ::ShowWindow(window, SW_MINIMIZE);
  Refill();
}

void CWindowListDlg::Arrange(UINT message, WPARAM how) {
  if (!m_client) return;
  const std::vector<HWND> selected = SelectedWindows();
  ::LockWindowUpdate(m_client);
  const int count = static_cast<int>(::SendMessageA(List(), LB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    HWND window = reinterpret_cast<HWND>(::SendMessageA(List(), LB_GETITEMDATA, i, 0));
    if (!::IsWindow(window)) continue;
    if (std::find(selected.begin(), selected.end(), window) != selected.end())
      ::SendMessageA(m_client, WM_MDIRESTORE, reinterpret_cast<WPARAM>(window), 0);
    else
      ::ShowWindow(window, SW_MINIMIZE);
  }
  ::SendMessageA(m_client, message, how, 0);
  ::LockWindowUpdate(nullptr);
}

void CWindowListDlg::OnCascade() { Arrange(WM_MDICASCADE, 0); }

void CWindowListDlg::OnTileHorizontal() { Arrange(WM_MDITILE, MDITILE_HORIZONTAL); }

void CWindowListDlg::OnTileVertical() { Arrange(WM_MDITILE, MDITILE_VERTICAL); }

void CWindowListDlg::OnMeasureItem(int controlId, LPMEASUREITEMSTRUCT mis) {
  if (controlId == IDC_WINDOWLIST_LIST && mis) {
    mis->itemHeight = kItemHeight;
    return;
  }
  CDialog::OnMeasureItem(controlId, mis);
}

void CWindowListDlg::OnDrawItem(int controlId, LPDRAWITEMSTRUCT dis) {
  if (controlId != IDC_WINDOWLIST_LIST || !dis) {
    CDialog::OnDrawItem(controlId, dis);
    return;
  }
  HDC dc = dis->hDC;
  const CRect item(dis->rcItem);
  if (static_cast<int>(dis->itemID) < 0) {
    if (dis->itemState & ODS_FOCUS) ::DrawFocusRect(dc, &item);
    return;
  }
  const bool selected = (dis->itemState & ODS_SELECTED) != 0;
  ::FillRect(dc, &item, ::GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  const int side = item.Height();
  HWND window = reinterpret_cast<HWND>(dis->itemData);
  if (HICON icon = ::IsWindow(window) ? ClassIcon(window) : nullptr)
    ::DrawIconEx(dc, item.left + 2, item.top, icon, side, side, 0, nullptr, DI_NORMAL);
  const LRESULT length = ::SendMessageA(dis->hwndItem, LB_GETTEXTLEN, dis->itemID, 0);
  std::string text(static_cast<size_t>(std::max<LRESULT>(length, 0)) + 1, '\0');
  ::SendMessageA(dis->hwndItem, LB_GETTEXT, dis->itemID, reinterpret_cast<LPARAM>(text.data()));
  text.resize(std::strlen(text.c_str()));
  CRect textBox(item.left + 2 + side + 4, item.top, item.right, item.bottom);
  const int oldMode = ::SetBkMode(dc, TRANSPARENT);
  const COLORREF oldColour = ::SetTextColor(dc, ::GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
  ::DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &textBox, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  ::SetTextColor(dc, oldColour);
  ::SetBkMode(dc, oldMode);
  if (dis->itemState & ODS_FOCUS) ::DrawFocusRect(dc, &item);
}
