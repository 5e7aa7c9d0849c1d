#include "ViewManager.h"

#include <algorithm>

#include "resources/WorkspaceIds.h"
#include "resources/resource.h"

BEGIN_MESSAGE_MAP(CViewManager, CControlBar)
  ON_WM_CREATE()
  ON_WM_SIZE()
  ON_WM_PAINT()
  ON_NOTIFY(TCN_SELCHANGE, IDC_VIEWTABCTRL, OnTabSelChange)
  ON_NOTIFY(NM_RCLICK, IDC_VIEWTABCTRL, OnTabRightClick)
END_MESSAGE_MAP()

namespace {

constexpr char kUnsavedFileTip[] = "A new unsaved file";
// Room under the tab control.
constexpr int kBottomMargin = 3;
// Width of a floating bar: room for this many tabs.
constexpr int kFloatingTabs = 4;
constexpr int kTabWidthGuess = 150;

int FrameBorderWidth() { return ::GetSystemMetrics(SM_CXFRAME); }

}  // namespace

CRect ViewTabCtrlRect(int barWidth, bool horizontal, int top, int frameBorderWidth) {
  const int x = frameBorderWidth + CViewManager::kGripperOffset;
  const int y = horizontal ? CViewManager::kTabCtrlTop : top;
  const int width = std::max(0, barWidth - 5 * frameBorderWidth - CViewManager::kGripperOffset);
  return CRect(x, y, x + width, y + CViewManager::kTabCtrlHeight);
}

CViewManager::CViewManager() : m_row(*this) {}

CViewManager::~CViewManager() = default;

BOOL CViewManager::Create(CFrameWnd* pFrame, UINT nID) {
  const DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | CBRS_TOP | CBRS_TOOLTIPS | CBRS_FLYBY;
  if (!CControlBar::Create(kWindowText, style, pFrame, nID)) return FALSE;
  EnableDocking(CBRS_ALIGN_TOP | CBRS_ALIGN_BOTTOM);
  return m_tabCtrl.m_hWnd != nullptr;
}

int CViewManager::OnCreate(LPCREATESTRUCT cs) {
  if (CControlBar::OnCreate(cs) == -1) return -1;
  if (!m_tabCtrl.Create(CRect(0, 0, 0, 0), this, IDC_VIEWTABCTRL, this)) return -1;
  return 0;
}

CSize CViewManager::CalcFixedLayout(BOOL bStretch, BOOL bHorz) {
  CSize size = GetNonClientSize(bHorz);
  const int border = FrameBorderWidth();
  if (bHorz) {
    size.cy += kTabCtrlTop + kTabCtrlHeight + kBottomMargin;
    if (bStretch) {
      size.cx = 32767;
    } else {
      const int tabWidth = std::max(GetFirstItemWidth(), kTabWidthGuess);
      const int wanted = kGripperOffset + 5 * border + kFloatingTabs * tabWidth;
      size.cx += std::min(wanted, std::max(200, ::GetSystemMetrics(SM_CXSCREEN) - 40));
    }
  } else {
    size.cx += kGripperOffset + 5 * border + kTabWidthGuess;
    size.cy = bStretch ? 32767 : size.cy + kTabCtrlHeight + kTabCtrlTop + kBottomMargin;
  }
  return size;
}

void CViewManager::OnSize(UINT type, int cx, int cy) {
  CControlBar::OnSize(type, cx, cy);
  LayoutTabCtrl();
}

void CViewManager::LayoutTabCtrl() {
  if (!m_tabCtrl.m_hWnd) return;
  const CRect client = GetClientRect();
  const CRect r = ViewTabCtrlRect(client.Width(), IsHorz() != FALSE, client.top, FrameBorderWidth());
  m_tabCtrl.SetWindowPos(nullptr, r.left, r.top, r.Width(), r.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
}

void CViewManager::OnPaint() {
  PaintDC dc(m_hWnd);
  if (!dc) return;
  const CRect client = GetClientRect();
  ::FillRect(dc.get(), &client, ::GetSysColorBrush(COLOR_BTNFACE));
  // The grip in the space kept for it at the leading edge, while docked.
  if (!IsFloating() && IsHorz()) {
    CRect grip(client.left + 3, client.top + 3, client.left + 6, client.bottom - 3);
    if (!grip.IsRectEmpty()) ::DrawEdge(dc.get(), &grip, BDR_RAISEDINNER, BF_RECT);
  }
}

// --- Tabs ---

void CViewManager::AddView(CView* pView, const std::string& title) {
  if (pView) AddView(pView->m_hWnd, title);
}

void CViewManager::AddView(HWND view, const std::string& title) { m_row.Add(view, title); }

void CViewManager::RemoveView(HWND view) { m_row.Remove(view); }

void CViewManager::RenameView(HWND view, const std::string& title) { m_row.Rename(view, title); }

CView* CViewManager::ViewFromHandle(HWND view) {
  if (!view || !::IsWindow(view)) return nullptr;
  return dynamic_cast<CView*>(CWnd::FromHandlePermanent(view));
}

HWND CViewManager::FrameOfTab(int tab) const {
  CView* view = ViewFromHandle(m_row.ViewAt(tab));
  CFrameWnd* frame = view ? view->GetParentFrame() : nullptr;
  return frame ? frame->m_hWnd : nullptr;
}

void CViewManager::ActivateTab(int tab) {
  HWND frame = FrameOfTab(tab);
  HWND client = frame ? ::GetParent(frame) : nullptr;
  if (!client) return;
  if (::IsIconic(frame)) ::SendMessageA(client, WM_MDIRESTORE, reinterpret_cast<WPARAM>(frame), 0);
  ::SendMessageA(client, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(frame), 0);
}

void CViewManager::OnTabSelChange(NMHDR*, LRESULT* result) {
  ActivateTab(m_tabCtrl.GetCurSel());
  *result = 0;
}

void CViewManager::OnTabRightClick(NMHDR*, LRESULT* result) {
  *result = 1;
  POINT screen{};
  ::GetCursorPos(&screen);
  POINT at = screen;
  m_tabCtrl.ScreenToClient(&at);
  const int tab = m_tabCtrl.HitTest(at);
  if (tab < 0) return;
  m_tabCtrl.SetCurSel(tab);
  ActivateTab(tab);
  CMenu menu;
  if (!menu.LoadMenu(IDR_TABMENU)) return;
  HMENU popup = menu.GetSubMenu(0);
  CWnd* owner = AfxGetMainWnd();
  if (!popup || !owner) return;
  ::TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_RIGHTBUTTON, screen.x, screen.y, 0, owner->m_hWnd, nullptr);
}

BOOL CViewManager::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  if (m_tabCtrl.FillToolTip(reinterpret_cast<NMHDR*>(lParam))) {
    *pResult = 0;
    return TRUE;
  }
  return CControlBar::OnNotify(wParam, lParam, pResult);
}

void CViewManager::OnUpdateCmdUI(CFrameWnd* pTarget, BOOL) {
  auto* mdiFrame = dynamic_cast<CMDIFrameWnd*>(pTarget);
  CMDIChildWnd* active = mdiFrame ? mdiFrame->MDIGetActive() : nullptr;
  const bool show = active != nullptr;
  if (m_tabCtrl.m_hWnd && (m_tabCtrl.IsWindowVisible() != FALSE) != show)
    m_tabCtrl.ShowWindow(show ? SW_SHOWNOACTIVATE : SW_HIDE);
  // Titles: the frames' own, as they change (Save As gives a new one). A window that went
  // without the client hearing of it loses its tab here.
  const std::vector<HWND> views = m_row.Views();
  for (HWND view : views) {
    if (!::IsWindow(view)) {
      m_row.Remove(view);
      continue;
    }
    CView* object = ViewFromHandle(view);
    CFrameWnd* frame = object ? object->GetParentFrame() : nullptr;
    if (frame) m_row.Rename(view, frame->GetWindowText());
  }
  if (!active) return;
  CView* activeView = active->GetActiveView();
  if (!activeView) activeView = dynamic_cast<CView*>(active->GetDescendantWindow(AFX_IDW_PANE_FIRST, TRUE));
  const int tab = activeView ? m_row.TabOf(activeView->m_hWnd) : -1;
  if (tab >= 0 && m_tabCtrl.GetCurSel() != tab) m_tabCtrl.SetCurSel(tab);
}

// --- The tab control as the row's strip ---

int CViewManager::GetItemCount() const { return m_tabCtrl.GetItemCount(); }

void CViewManager::InsertItem(int index, const std::string& text) {
  m_tabCtrl.InsertItem(index, text.c_str(), index);
}

void CViewManager::DeleteItem(int index) { m_tabCtrl.DeleteItem(index); }

void CViewManager::SetItemText(int index, const std::string& text) {
  m_tabCtrl.SetItemText(index, text.c_str());
  m_tabCtrl.Invalidate(FALSE);
}

int CViewManager::GetCurSel() const { return m_tabCtrl.GetCurSel(); }

void CViewManager::SetCurSel(int index) { m_tabCtrl.SetCurSel(index); }

int CViewManager::GetFirstItemWidth() const {
  RECT r{};
  if (!m_tabCtrl.GetItemRect(0, &r)) return 0;
  return r.right - r.left;
}

int CViewManager::GetStripWidth() const {
  if (!m_tabCtrl.m_hWnd) return 0;
  return m_tabCtrl.GetClientRect().Width();
}

void CViewManager::ShowFirstItem() {
  // The control kept its scroll position from when more tabs were there.
  if (m_tabCtrl.m_hWnd) m_tabCtrl.SendMessage(WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 0), 0);
}

bool CViewManager::IsTabModified(int tab) const {
  CView* view = ViewFromHandle(m_row.ViewAt(tab));
  CDocument* doc = view ? view->GetDocument() : nullptr;
  return doc && doc->IsModified();
}

HICON CViewManager::TabIcon(int tab) const {
  HWND frame = FrameOfTab(tab);
  if (!frame) return nullptr;
  HICON icon = reinterpret_cast<HICON>(::GetClassLongPtrA(frame, GCLP_HICONSM));
  return icon ? icon : reinterpret_cast<HICON>(::GetClassLongPtrA(frame, GCLP_HICON));
}

std::string CViewManager::TabToolTip(int tab) const {
  CView* view = ViewFromHandle(m_row.ViewAt(tab));
  CDocument* doc = view ? view->GetDocument() : nullptr;
  if (doc && !doc->GetPathName().empty()) return doc->GetPathName();
  return kUnsavedFileTip;
}
