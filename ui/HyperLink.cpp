#include "HyperLink.h"

#include <commctrl.h>

#include "ShellActions.h"

namespace {

// The id of the one tool the link's tooltip knows.
constexpr UINT_PTR kToolId = 1;
// The hand cursor's resource id in winhlp32.exe.
constexpr WORD kHandCursorId = 106;

// The process-wide hand cursor; loaded on first use, freed when the program ends.
struct LinkCursor {
  UniqueCursor cursor;
  bool tried = false;
};

LinkCursor& SharedLinkCursor() {
  static LinkCursor link;
  return link;
}

bool IsMouseMessage(UINT message) {
  switch (message) {
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
      return true;
    default:
      return false;
  }
}

TOOLINFOA MakeToolInfo(HWND owner) {
  TOOLINFOA ti{};
  // The common-controls 5 layout, which every version accepts.
  ti.cbSize = TTTOOLINFOA_V2_SIZE;
  ti.hwnd = owner;
  ti.uId = kToolId;
  return ti;
}

}  // namespace

COLORREF HyperLinkTextColor(DWORD linkStyle, bool hovering, bool focused, bool visited) {
  if (hovering && (linkStyle & CHyperLink::StyleUseHover)) return CHyperLink::HoverColor;
  if ((linkStyle & CHyperLink::StyleNoActiveColor) || !focused)
    return visited ? CHyperLink::VisitedColor : CHyperLink::LinkColor;
  return CHyperLink::FocusedColor;
}

RECT HyperLinkFitRect(const RECT& window, SIZE extent, DWORD staticStyle) {
  CRect r(window);
  if (staticStyle & SS_CENTERIMAGE) r.top += (r.Height() - extent.cy) / 2;
  r.bottom = r.top + extent.cy;
  switch (staticStyle & SS_TYPEMASK) {
    case SS_CENTER:
      r.left += (r.Width() - extent.cx) / 2;
      r.right = r.left + extent.cx;
      break;
    case SS_RIGHT:
      r.left = r.right - extent.cx;
      break;
    default:
      r.right = r.left + extent.cx;
      break;
  }
  return r;
}

BEGIN_MESSAGE_MAP(CHyperLink, CStatic)
  ON_WM_NCHITTEST()
  ON_WM_SETCURSOR()
  ON_WM_MOUSEMOVE()
  ON_WM_LBUTTONDOWN()
  ON_WM_LBUTTONUP()
  ON_WM_CAPTURECHANGED()
  ON_WM_KEYDOWN()
  ON_WM_SETFOCUS()
  ON_WM_KILLFOCUS()
  ON_WM_SIZE()
  ON_WM_DESTROY()
END_MESSAGE_MAP()

CHyperLink::CHyperLink() = default;

CHyperLink::~CHyperLink() {
  // The tooltip goes before the control it belongs to.
  m_toolTip.reset();
}

BOOL CHyperLink::Create(LPCSTR lpszText, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
  if (!CWnd::CreateEx(0, "STATIC", lpszText ? lpszText : "", WS_CHILD | WS_VISIBLE | dwStyle, rect, pParentWnd,
                      nID))
    return FALSE;
  if (HWND parent = ::GetParent(m_hWnd)) {
    HFONT parentFont = reinterpret_cast<HFONT>(::SendMessageA(parent, WM_GETFONT, 0, 0));
    if (parentFont && !m_hBaseFont) SetFont(parentFont, FALSE);
  }
  InitLink();
  return TRUE;
}

void CHyperLink::PreSubclassWindow() {
  CStatic::PreSubclassWindow();
  InitLink();
}

void CHyperLink::InitLink() {
  std::string text = GetWindowText();
  if (m_strURL.empty()) m_strURL = text;
  if (text.empty() && !m_strURL.empty()) SetWindowText(m_strURL.c_str());
  if (!m_hBaseFont) m_hBaseFont = GetFont();
  ApplyFont();
  PositionWindow();
  if (!(m_dwStyle & StyleNoHandCursor)) GetLinkCursor();
  CreateToolTip();
}

void CHyperLink::ApplyFont() {
  if (!m_hWnd) return;
  if (m_dwStyle & StyleUnderline) {
    HFONT base = m_hBaseFont ? m_hBaseFont : static_cast<HFONT>(::GetStockObject(SYSTEM_FONT));
    LOGFONTA lf{};
    if (::GetObjectA(base, sizeof(lf), &lf) == 0) return;
    lf.lfUnderline = TRUE;
    UniqueFont underlined(::CreateFontIndirectA(&lf));
    if (!underlined) return;
    SetFont(underlined.get(), FALSE);
    m_font = std::move(underlined);  // the old copy goes only once the control has let go of it
  } else {
    SetFont(m_hBaseFont, FALSE);
    m_font.reset();
  }
}

SIZE CHyperLink::MeasureText() const {
  std::string text = GetWindowText();
  WindowDC dc(m_hWnd);
  if (!dc) return SIZE{0, 0};
  HFONT font = GetFont();
  SelectObjectGuard selectFont(dc.get(), font ? static_cast<HGDIOBJ>(font) : ::GetStockObject(SYSTEM_FONT));
  UINT format = DT_CALCRECT | DT_EXPANDTABS | DT_LEFT | DT_TOP;
  if (GetStyle() & SS_NOPREFIX) format |= DT_NOPREFIX;
  RECT r{0, 0, 0, 0};
  if (text.empty()) {
    TEXTMETRICA tm{};
    ::GetTextMetricsA(dc.get(), &tm);
    return SIZE{0, tm.tmHeight};
  }
  ::DrawTextA(dc.get(), text.c_str(), static_cast<int>(text.size()), &r, format);
  return SIZE{r.right - r.left, r.bottom - r.top};
}

void CHyperLink::PositionWindow() {
  if (!m_hWnd || !(m_dwStyle & StyleAutoSize)) return;
  CRect window = GetWindowRect();
  CRect client = GetClientRect();
  if (HWND parent = ::GetParent(m_hWnd)) ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&window), 2);
  SIZE extent = MeasureText();
  extent.cx += window.Width() - client.Width();
  extent.cy += window.Height() - client.Height();
  CRect fit = HyperLinkFitRect(window, extent, GetStyle());
  if (fit == window) return;
  // The old place shows the parent again.
  if (HWND parent = ::GetParent(m_hWnd)) ::InvalidateRect(parent, &window, TRUE);
  SetWindowPos(nullptr, fit.left, fit.top, fit.Width(), fit.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
}

void CHyperLink::CreateToolTip() {
  if (!m_hWnd || m_toolTip) return;
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_BAR_CLASSES};
  ::InitCommonControlsEx(&icc);
  m_toolTip.reset(::CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                    CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_hWnd, nullptr,
                                    AfxGetInstanceHandle(), nullptr));
  if (!m_toolTip) return;
  TOOLINFOA ti = MakeToolInfo(m_hWnd);
  ti.uFlags = 0;
  ti.rect = GetClientRect();
  ti.lpszText = const_cast<LPSTR>(m_strURL.c_str());
  ::SendMessageA(m_toolTip.get(), TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
}

void CHyperLink::UpdateToolTip() {
  if (!m_toolTip) return;
  TOOLINFOA ti = MakeToolInfo(m_hWnd);
  ti.lpszText = const_cast<LPSTR>(m_strURL.c_str());
  ::SendMessageA(m_toolTip.get(), TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&ti));
  ti.rect = GetClientRect();
  ::SendMessageA(m_toolTip.get(), TTM_NEWTOOLRECTA, 0, reinterpret_cast<LPARAM>(&ti));
}

void CHyperLink::RedrawLink() {
  if (!m_hWnd) return;
  // The text is drawn on a transparent background, so the parent paints what lies below first.
  HWND parent = ::GetParent(m_hWnd);
  if (!parent) {
    Invalidate();
    return;
  }
  CRect r = GetWindowRect();
  ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  ::RedrawWindow(parent, &r, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

COLORREF CHyperLink::GetTextColor() const {
  return HyperLinkTextColor(m_dwStyle, m_bOverControl, m_bFocused, m_bVisited);
}

void CHyperLink::SetURL(const std::string& url) {
  m_strURL = url;
  if (!m_hWnd) return;
  bool visible = (GetStyle() & WS_VISIBLE) != 0;
  ShowWindow(SW_HIDE);
  PositionWindow();
  UpdateToolTip();
  if (visible) ShowWindow(SW_SHOW);
}

void CHyperLink::SetLinkFont(HFONT hFont) {
  m_hBaseFont = hFont;
  if (!m_hWnd) return;
  ApplyFont();
  PositionWindow();
  UpdateToolTip();
  RedrawLink();
}

BOOL CHyperLink::ModifyLinkStyle(DWORD dwRemove, DWORD dwAdd, BOOL bRedraw) {
  if (dwRemove & dwAdd) return FALSE;
  DWORD old = m_dwStyle;
  m_dwStyle = (m_dwStyle & ~dwRemove) | dwAdd;
  if (m_hWnd) {
    if ((old ^ m_dwStyle) & StyleUnderline) ApplyFont();
    PositionWindow();
    UpdateToolTip();
    if (!(m_dwStyle & StyleNoHandCursor)) GetLinkCursor();
    if (bRedraw) RedrawLink();
  }
  return TRUE;
}

void CHyperLink::FollowLink() {
  int result = OpenLink(m_strURL, SW_SHOW);
  if (result <= 32) {
    ::MessageBeep(MB_ICONEXCLAMATION);
    ShowOpenLinkError(result);
    return;
  }
  m_bVisited = true;
  RedrawLink();
}

HCURSOR CHyperLink::GetLinkCursor() {
  LinkCursor& link = SharedLinkCursor();
  if (!link.tried) {
    link.tried = true;
    char windowsDir[MAX_PATH] = "";
    UINT length = ::GetWindowsDirectoryA(windowsDir, MAX_PATH);
    if (length > 0 && length < MAX_PATH)
      link.cursor = LoadCursorFromModule(std::string(windowsDir) + "\\winhlp32.exe");
    if (!link.cursor) link.cursor.reset(static_cast<HCURSOR>(::CopyIcon(::LoadCursor(nullptr, IDC_HAND))));
  }
  return link.cursor.get();
}

UniqueCursor CHyperLink::LoadCursorFromModule(const std::string& modulePath) {
  UniqueLibrary module(::LoadLibraryExA(modulePath.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
  if (!module) return {};
  HCURSOR cursor = ::LoadCursorA(module.get(), MAKEINTRESOURCEA(kHandCursorId));
  if (!cursor) return {};
  // The copy outlives the module.
  return UniqueCursor(static_cast<HCURSOR>(::CopyIcon(cursor)));
}

LRESULT CHyperLink::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (m_toolTip && IsMouseMessage(message)) {
    DWORD pos = ::GetMessagePos();
    MSG msg{m_hWnd, message, wParam, lParam, static_cast<DWORD>(::GetMessageTime()),
            POINT{static_cast<short>(LOWORD(pos)), static_cast<short>(HIWORD(pos))}};
    ::SendMessageA(m_toolTip.get(), TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&msg));
  }
  return CStatic::WindowProc(message, wParam, lParam);
}

BOOL CHyperLink::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  if (message != WM_CTLCOLORSTATIC) return CStatic::OnChildNotify(message, wParam, lParam, pResult);
  HDC dc = reinterpret_cast<HDC>(wParam);
  ::SetTextColor(dc, GetTextColor());
  ::SetBkMode(dc, TRANSPARENT);
  *pResult = reinterpret_cast<LRESULT>(::GetStockObject(NULL_BRUSH));
  return TRUE;
}

LRESULT CHyperLink::OnNcHitTest(CPoint) { return HTCLIENT; }

BOOL CHyperLink::OnSetCursor(HWND hWnd, UINT nHitTest, UINT message) {
  HCURSOR hand = (m_dwStyle & StyleNoHandCursor) ? nullptr : SharedLinkCursor().cursor.get();
  if (!hand) return CStatic::OnSetCursor(hWnd, nHitTest, message);
  ::SetCursor(hand);
  return TRUE;
}

void CHyperLink::OnMouseMove(UINT, CPoint point) {
  if (!m_bOverControl) {
    m_bOverControl = true;
    SetCapture();
    RedrawLink();
  } else if (!GetClientRect().PtInRect(point)) {
    m_bOverControl = false;
    ::ReleaseCapture();
    RedrawLink();
  }
}

void CHyperLink::OnCaptureChanged(HWND hWndNew) {
  // Something else took the mouse (a menu, a message box): no longer hovering.
  if (m_bOverControl && hWndNew != m_hWnd) {
    m_bOverControl = false;
    RedrawLink();
  }
  Default();
}

void CHyperLink::OnLButtonDown(UINT, CPoint) {
  if (m_dwStyle & StyleGetFocusOnClick) SetFocus();
  if (m_dwStyle & StyleDownClick) FollowLink();
  m_bFocused = true;
}

void CHyperLink::OnLButtonUp(UINT, CPoint point) {
  bool follow = m_bFocused && !(m_dwStyle & StyleDownClick) && GetClientRect().PtInRect(point);
  // A click that did not give the control the focus leaves it looking unfocused.
  if (::GetFocus() != m_hWnd && m_bFocused) {
    m_bFocused = false;
    RedrawLink();
  }
  if (follow) FollowLink();
}

void CHyperLink::OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags) {
  if (nChar == VK_SPACE) {
    if (nRepCnt <= 1 && !(nFlags & KF_REPEAT)) FollowLink();
    return;
  }
  CStatic::OnKeyDown(nChar, nRepCnt, nFlags);
}

void CHyperLink::OnSetFocus(HWND hWndOld) {
  m_bFocused = true;
  RedrawLink();
  CStatic::OnSetFocus(hWndOld);
}

void CHyperLink::OnKillFocus(HWND hWndNew) {
  m_bFocused = false;
  if (m_bOverControl) {
    m_bOverControl = false;
    if (::GetCapture() == m_hWnd) ::ReleaseCapture();
  }
  RedrawLink();
  CStatic::OnKillFocus(hWndNew);
}

void CHyperLink::OnSize(UINT nType, int cx, int cy) {
  CStatic::OnSize(nType, cx, cy);
  if (m_toolTip) {
    TOOLINFOA ti = MakeToolInfo(m_hWnd);
    ti.rect = GetClientRect();
    ::SendMessageA(m_toolTip.get(), TTM_NEWTOOLRECTA, 0, reinterpret_cast<LPARAM>(&ti));
  }
}

void CHyperLink::OnDestroy() {
  m_toolTip.reset();
  m_bOverControl = false;
  CStatic::OnDestroy();
}
