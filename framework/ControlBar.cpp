#include "ControlBar.h"

#include <commctrl.h>

#include <algorithm>

#include "FrameWnd.h"
#include "FrameworkRes.h"
#include "Handles.h"
#include "MessageBox.h"
#include "MiniDockFrameWnd.h"

BEGIN_MESSAGE_MAP(CControlBar, CWnd)
  ON_MESSAGE(WM_SIZEPARENT, OnSizeParent)
  ON_MESSAGE(WM_IDLEUPDATECMDUI, OnIdleUpdateCmdUI)
  ON_MESSAGE(WM_NCCALCSIZE, OnNcCalcSize)
  ON_WM_NCPAINT()
  ON_WM_DESTROY()
  ON_MESSAGE(WM_MOUSELEAVE, OnMouseLeave)
  ON_WM_TIMER()
END_MESSAGE_MAP()

namespace {
// While fly-by help shows, this timer also checks that the pointer is still over the bar: a
// leave notice can be lost when the pointer jumps far at once on a busy system.
constexpr UINT_PTR kFlyByCheckTimer = 0xE001;
constexpr UINT kFlyByCheckMs = 200;
}  // namespace

// --- Helpers ---

UINT AfxDockBarIDFromAlign(DWORD dwAlign) {
  switch (dwAlign) {
    case CBRS_ALIGN_TOP:
      return AFX_IDW_DOCKBAR_TOP;
    case CBRS_ALIGN_BOTTOM:
      return AFX_IDW_DOCKBAR_BOTTOM;
    case CBRS_ALIGN_LEFT:
      return AFX_IDW_DOCKBAR_LEFT;
    case CBRS_ALIGN_RIGHT:
      return AFX_IDW_DOCKBAR_RIGHT;
    default:
      return 0;
  }
}

DWORD AfxAlignFromDockBarID(UINT nDockBarID) {
  switch (nDockBarID) {
    case AFX_IDW_DOCKBAR_TOP:
      return CBRS_ALIGN_TOP;
    case AFX_IDW_DOCKBAR_BOTTOM:
      return CBRS_ALIGN_BOTTOM;
    case AFX_IDW_DOCKBAR_LEFT:
      return CBRS_ALIGN_LEFT;
    case AFX_IDW_DOCKBAR_RIGHT:
      return CBRS_ALIGN_RIGHT;
    default:
      return 0;
  }
}

CRect AfxAllotBarRect(AFX_SIZEPARENTPARAMS& layout, DWORD dwAlign, CSize size) {
  RECT& free = layout.rect;
  const int freeWidth = std::max(0, static_cast<int>(free.right - free.left));
  const int freeHeight = std::max(0, static_cast<int>(free.bottom - free.top));
  const int cx = std::clamp(static_cast<int>(size.cx), 0, freeWidth);
  const int cy = std::clamp(static_cast<int>(size.cy), 0, freeHeight);
  CRect r;
  switch (dwAlign) {
    case CBRS_ALIGN_TOP:
      r = CRect(free.left, free.top, free.left + cx, free.top + cy);
      free.top += cy;
      break;
    case CBRS_ALIGN_BOTTOM:
      r = CRect(free.left, free.bottom - cy, free.left + cx, free.bottom);
      free.bottom -= cy;
      break;
    case CBRS_ALIGN_LEFT:
      r = CRect(free.left, free.top, free.left + cx, free.top + cy);
      free.left += cx;
      break;
    case CBRS_ALIGN_RIGHT:
      r = CRect(free.right - cx, free.top, free.right, free.top + cy);
      free.right -= cx;
      break;
    default:
      return CRect();
  }
  if (dwAlign & CBRS_ORIENT_HORZ) {
    layout.sizeTotal.cy += cy;
    layout.sizeTotal.cx = std::max(static_cast<int>(layout.sizeTotal.cx), cx);
  } else {
    layout.sizeTotal.cx += cx;
    layout.sizeTotal.cy = std::max(static_cast<int>(layout.sizeTotal.cy), cy);
  }
  return r;
}

std::string AfxPromptPart(const std::string& commandString) {
  return commandString.substr(0, commandString.find('\n'));
}

std::string AfxToolTipPart(const std::string& commandString) {
  const size_t first = commandString.find('\n');
  if (first == std::string::npos) return {};
  const size_t end = commandString.find('\n', first + 1);
  return commandString.substr(first + 1, end == std::string::npos ? std::string::npos : end - first - 1);
}

std::string AfxCommandPrompt(UINT nID) {
  std::string s;
  if (nID == 0 || !AfxLoadString(nID, s)) return {};
  return AfxPromptPart(s);
}

std::string AfxCommandToolTip(UINT nID) {
  std::string s;
  if (nID == 0 || !AfxLoadString(nID, s)) return {};
  return AfxToolTipPart(s);
}

BOOL AfxInitCommonControls(DWORD dwICC) {
  static DWORD registered = 0;
  if ((registered & dwICC) == dwICC) return TRUE;
  INITCOMMONCONTROLSEX icc{sizeof(icc), dwICC};
  if (!::InitCommonControlsEx(&icc)) return FALSE;
  registered |= dwICC;
  return TRUE;
}

// --- CControlBar ---

CControlBar::CControlBar() = default;

CControlBar::~CControlBar() {
  m_bAutoDelete = FALSE;  // the object is going already
  DetachFromFrame();
  if (m_hWnd) DestroyWindow();  // while bound: the bar sees its own end
  m_pMiniFrame.reset();
}

void CControlBar::DetachFromFrame() {
  if (!m_pDockSite) return;
  CFrameWnd* frame = m_pDockSite;
  m_pDockSite = nullptr;
  frame->RemoveControlBar(this);
}

BOOL CControlBar::Create(LPCSTR lpszWindowName, DWORD dwStyle, CWnd* pParentWnd, UINT nID) {
  static LPCSTR barClass = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW),
                                               reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
  if (!barClass) return FALSE;
  return CreateBar(0, barClass, lpszWindowName, dwStyle, 0, pParentWnd, nID);
}

BOOL CControlBar::CreateBar(DWORD dwExStyle, LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle,
                            DWORD dwCtrlStyle, CWnd* pParentWnd, UINT nID) {
  if (m_hWnd || !pParentWnd || !pParentWnd->m_hWnd) return FALSE;
  // One dock side at most: the first of top, bottom, left, right.
  DWORD barStyle = dwStyle & CBRS_ALL & ~(CBRS_FLOATING | CBRS_ALIGN_ANY);
  for (DWORD side : {CBRS_ALIGN_TOP, CBRS_ALIGN_BOTTOM, CBRS_ALIGN_LEFT, CBRS_ALIGN_RIGHT}) {
    if (dwStyle & side) {
      barStyle |= side;
      break;
    }
  }
  m_dwStyle = barStyle;
  const DWORD windowStyle = (dwStyle & ~CBRS_ALL) | dwCtrlStyle | WS_CHILD | WS_CLIPSIBLINGS;
  if (!CreateEx(dwExStyle, lpszClassName, lpszWindowName ? lpszWindowName : "", windowStyle, CRect(0, 0, 0, 0),
                pParentWnd, nID))
    return FALSE;
  if (auto* frame = dynamic_cast<CFrameWnd*>(pParentWnd)) {
    m_pDockSite = frame;
    frame->AddControlBar(this);
  }
  UpdateNonClientArea();
  return TRUE;
}

void CControlBar::SetBarStyle(DWORD dwStyle) {
  const DWORD kept = CBRS_ALIGN_ANY | CBRS_FLOATING;
  const DWORD old = m_dwStyle;
  m_dwStyle = (dwStyle & CBRS_ALL & ~kept) | (old & kept);
  if (m_dwStyle != old) OnBarStyleChange(old, m_dwStyle);
}

void CControlBar::OnBarStyleChange(DWORD dwOldStyle, DWORD dwNewStyle) {
  const DWORD changed = dwOldStyle ^ dwNewStyle;
  if ((changed & CBRS_FLYBY) && !(dwNewStyle & CBRS_FLYBY) && m_nFlyByID) {
    m_dwStyle |= CBRS_FLYBY;  // give the idle message back first
    SetFlyByCommand(0);
    m_dwStyle &= ~CBRS_FLYBY;
  }
  if (changed & (CBRS_BORDER_ANY | CBRS_GRIPPER | CBRS_FLOATING | CBRS_ORIENT_ANY)) {
    UpdateNonClientArea();
    if (m_pDockSite) m_pDockSite->DelayRecalcLayout();
  }
}

void CControlBar::EnableDocking(DWORD dwDockStyle) { m_dwDockStyle = dwDockStyle & CBRS_ALIGN_ANY; }

UINT CControlBar::GetDockBarID() const {
  if (IsFloating()) return AFX_IDW_DOCKBAR_FLOAT;
  if (!m_pDockSite) return 0;
  return AfxDockBarIDFromAlign(m_dwStyle & CBRS_ALIGN_ANY);
}

CMiniDockFrameWnd* CControlBar::GetMiniFrame() const { return IsFloating() ? m_pMiniFrame.get() : nullptr; }

BOOL CControlBar::IsVisible() const {
  if (m_nPendingShow >= 0) return m_nPendingShow != 0;
  return m_hWnd && (GetStyle() & WS_VISIBLE) != 0;
}

void CControlBar::SetBorders(int cxLeft, int cyTop, int cxRight, int cyBottom) {
  m_rcBorders = CRect(std::max(0, cxLeft), std::max(0, cyTop), std::max(0, cxRight), std::max(0, cyBottom));
  UpdateNonClientArea();
}

CRect CControlBar::NonClientInsets(BOOL bHorz) const {
  CRect in = m_rcBorders;  // each member: the width on that side
  if (IsFloating()) return in;
  if (m_dwStyle & CBRS_BORDER_LEFT) in.left += AFX_CX_BAR_BORDER;
  if (m_dwStyle & CBRS_BORDER_TOP) in.top += AFX_CX_BAR_BORDER;
  if (m_dwStyle & CBRS_BORDER_RIGHT) in.right += AFX_CX_BAR_BORDER;
  if (m_dwStyle & CBRS_BORDER_BOTTOM) in.bottom += AFX_CX_BAR_BORDER;
  if (m_dwStyle & CBRS_GRIPPER) (bHorz ? in.left : in.top) += AFX_CX_GRIPPER_AREA;
  return in;
}

CSize CControlBar::GetNonClientSize(BOOL bHorz) const {
  CRect in = NonClientInsets(bHorz);
  return CSize(in.left + in.right, in.top + in.bottom);
}

CSize CControlBar::CalcFixedLayout(BOOL bStretch, BOOL bHorz) {
  CSize size = GetNonClientSize(bHorz);
  if (bStretch) (bHorz ? size.cx : size.cy) = 32767;
  return size;
}

void CControlBar::OnUpdateCmdUI(CFrameWnd*, BOOL) {}

void CControlBar::UpdateNonClientArea() {
  if (m_hWnd)
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                   SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CControlBar::SetFlyByCommand(UINT nID) {
  if (!(m_dwStyle & CBRS_FLYBY) || nID == m_nFlyByID) return;
  m_nFlyByID = nID;
  if (m_hWnd) {
    if (nID)
      ::SetTimer(m_hWnd, kFlyByCheckTimer, kFlyByCheckMs, nullptr);
    else
      ::KillTimer(m_hWnd, kFlyByCheckTimer);
  }
  CFrameWnd* frame = m_pDockSite ? m_pDockSite : GetParentFrame();
  if (frame && frame->m_hWnd) frame->SetMessageText(nID ? nID : static_cast<UINT>(AFX_IDS_IDLEMESSAGE));
}

void CControlBar::TrackMouseLeave() {
  if (m_bTrackingLeave || !m_hWnd) return;
  TRACKMOUSEEVENT tme{sizeof(tme), TME_LEAVE, m_hWnd, 0};
  m_bTrackingLeave = ::TrackMouseEvent(&tme);
}

namespace {

// The child control a parent-notification message comes from, or null.
HWND NotificationSource(HWND self, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
      return reinterpret_cast<HWND>(lParam);
    case WM_NOTIFY:
      return lParam ? reinterpret_cast<NMHDR*>(lParam)->hwndFrom : nullptr;
    case WM_DRAWITEM: {
      auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
      return dis && dis->CtlType != ODT_MENU ? dis->hwndItem : nullptr;
    }
    case WM_MEASUREITEM: {
      auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
      return mis && mis->CtlType != ODT_MENU ? ::GetDlgItem(self, static_cast<int>(mis->CtlID)) : nullptr;
    }
    case WM_DELETEITEM:
      return lParam ? reinterpret_cast<DELETEITEMSTRUCT*>(lParam)->hwndItem : nullptr;
    case WM_COMPAREITEM:
      return lParam ? reinterpret_cast<COMPAREITEMSTRUCT*>(lParam)->hwndItem : nullptr;
    default:
      (void)wParam;
      return nullptr;
  }
}

}  // namespace

LRESULT CControlBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  // What the bar's own controls send: the bar's map first, then the frame's command routing.
  HWND from = NotificationSource(m_hWnd, message, wParam, lParam);
  if (from && from != m_hWnd && ::IsChild(m_hWnd, from)) {
    LRESULT result = 0;
    if (OnWndMsg(message, wParam, lParam, &result)) return result;
    CFrameWnd* frame = m_pDockSite ? m_pDockSite : GetParentFrame();
    if (frame && frame->m_hWnd) return ::SendMessageA(frame->m_hWnd, message, wParam, lParam);
    return DefWindowProc(message, wParam, lParam);
  }
  return CWnd::WindowProc(message, wParam, lParam);
}

LRESULT CControlBar::OnSizeParent(WPARAM, LPARAM lParam) {
  auto* layout = reinterpret_cast<AFX_SIZEPARENTPARAMS*>(lParam);
  if (!layout || IsFloating() || !(GetStyle() & WS_VISIBLE)) return 0;
  const DWORD align = m_dwStyle & CBRS_ALIGN_ANY;
  if (!AfxDockBarIDFromAlign(align)) return 0;
  CSize size = CalcFixedLayout(layout->bStretch, (align & CBRS_ORIENT_HORZ) != 0);
  CRect r = AfxAllotBarRect(*layout, align, size);
  if (layout->hDWP)
    layout->hDWP = ::DeferWindowPos(layout->hDWP, m_hWnd, nullptr, r.left, r.top, r.Width(), r.Height(),
                                    SWP_NOACTIVATE | SWP_NOZORDER);
  return 0;
}

LRESULT CControlBar::OnIdleUpdateCmdUI(WPARAM wParam, LPARAM) {
  if (!(GetStyle() & WS_VISIBLE)) return 0;
  CFrameWnd* target = m_pDockSite ? m_pDockSite : GetParentFrame();
  if (target) OnUpdateCmdUI(target, static_cast<BOOL>(wParam));
  return 0;
}

LRESULT CControlBar::OnNcCalcSize(WPARAM wParam, LPARAM lParam) {
  LRESULT result = Default();
  RECT* rc = wParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->rgrc[0] : reinterpret_cast<RECT*>(lParam);
  if (!rc) return result;
  CRect in = NonClientInsets(IsHorz());
  rc->left += in.left;
  rc->top += in.top;
  rc->right -= in.right;
  rc->bottom -= in.bottom;
  if (rc->right < rc->left) rc->right = rc->left;
  if (rc->bottom < rc->top) rc->bottom = rc->top;
  return result;
}

void CControlBar::OnNcPaint() {
  Default();
  const BOOL horz = IsHorz();
  CRect in = NonClientInsets(horz);
  if (in.IsRectNull()) return;
  WindowFrameDC dc(m_hWnd);
  if (!dc) return;
  CRect window = GetWindowRect();
  window.OffsetRect(-window.left, -window.top);
  CRect client(window.left + in.left, window.top + in.top, window.right - in.right, window.bottom - in.bottom);
  ::ExcludeClipRect(dc.get(), client.left, client.top, client.right, client.bottom);
  ::FillRect(dc.get(), &window, ::GetSysColorBrush(COLOR_BTNFACE));
  if (IsFloating()) return;
  CRect edges = window;
  UINT sides = 0;
  if (m_dwStyle & CBRS_BORDER_LEFT) sides |= BF_LEFT, edges.left += AFX_CX_BAR_BORDER;
  if (m_dwStyle & CBRS_BORDER_TOP) sides |= BF_TOP, edges.top += AFX_CX_BAR_BORDER;
  if (m_dwStyle & CBRS_BORDER_RIGHT) sides |= BF_RIGHT, edges.right -= AFX_CX_BAR_BORDER;
  if (m_dwStyle & CBRS_BORDER_BOTTOM) sides |= BF_BOTTOM, edges.bottom -= AFX_CX_BAR_BORDER;
  if (sides) ::DrawEdge(dc.get(), &window, EDGE_ETCHED, sides);
  if (m_dwStyle & CBRS_GRIPPER) {
    // A raised line three pixels wide across the bar, two pixels in from its leading edge.
    CRect grip = horz ? CRect(edges.left + 2, edges.top + 2, edges.left + 5, edges.bottom - 2)
                      : CRect(edges.left + 2, edges.top + 2, edges.right - 2, edges.top + 5);
    if (!grip.IsRectEmpty()) ::DrawEdge(dc.get(), &grip, BDR_RAISEDINNER, BF_RECT);
  }
}

void CControlBar::OnDestroy() {
  if (m_nFlyByID && m_pDockSite) SetFlyByCommand(0);  // (a frame going takes its bars along)
  // A floating bar's window is empty now: hide it (it goes once the bar is gone).
  if (m_pMiniFrame && m_pMiniFrame->m_hWnd && !m_pMiniFrame->IsBeingDestroyed())
    ::ShowWindow(m_pMiniFrame->m_hWnd, SW_HIDE);
  CWnd::OnDestroy();
}

void CControlBar::PostNcDestroy() {
  m_bTrackingLeave = FALSE;
  if (m_pMiniFrame) {
    // The floating window outlives the bar for a moment: it closes (and deletes) itself.
    CMiniDockFrameWnd* mini = m_pMiniFrame.release();
    mini->m_pBar = nullptr;
    mini->m_bAutoDelete = TRUE;
    if (!mini->m_hWnd)
      delete mini;
    else if (!mini->IsBeingDestroyed())
      ::PostMessageA(mini->m_hWnd, WM_CLOSE, 0, 0);
  }
  m_dwStyle &= ~CBRS_FLOATING;
  if (m_bAutoDelete) delete this;
}

void CControlBar::OnTimer(UINT_PTR nIDEvent) {
  if (nIDEvent != kFlyByCheckTimer) {
    Default();
    return;
  }
  POINT pt;
  HWND under = ::GetCursorPos(&pt) ? ::WindowFromPoint(pt) : nullptr;
  if (under != m_hWnd && !::IsChild(m_hWnd, under)) SetFlyByCommand(0);
}

LRESULT CControlBar::OnMouseLeave(WPARAM, LPARAM) {
  m_bTrackingLeave = FALSE;
  SetFlyByCommand(0);
  return Default();
}
