#include "ToolBar.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "FrameWnd.h"
#include "Handles.h"
#include "WinApp.h"

BEGIN_MESSAGE_MAP(CToolBar, CControlBar)
  ON_WM_ERASEBKGND()
  ON_WM_MOUSEMOVE()
END_MESSAGE_MAP()

namespace {

constexpr WORD kToolBarVersion = 1;
constexpr int kMaxImageSize = 256;
constexpr WORD kToolBarResourceType = 241;  // RT_TOOLBAR

WORD ReadWord(const BYTE* p) { return static_cast<WORD>(p[0] | (p[1] << 8)); }

// The state one button's update handlers give it, applied to the toolbar.
class CToolCmdUI : public CCmdUI {
 public:
  explicit CToolCmdUI(CToolBar* pBar) : m_pBar(pBar) {}

  void Enable(BOOL bOn) override {
    m_bEnableChanged = TRUE;
    const int index = static_cast<int>(m_nIndex);
    const UINT old = m_pBar->GetButtonStyle(index);
    UINT style = old & ~TBBS_DISABLED;
    // A button disabled while pressed would stay pressed: release it.
    if (!bOn) style = (style | TBBS_DISABLED) & ~TBBS_PRESSED;
    if (style != old) m_pBar->SetButtonStyle(index, style);
  }
  void SetCheck(int nCheck) override {
    const int index = static_cast<int>(m_nIndex);
    const UINT old = m_pBar->GetButtonStyle(index);
    UINT style = old & ~(TBBS_CHECKED | TBBS_INDETERMINATE);
    if (nCheck == 1)
      style |= TBBS_CHECKED;
    else if (nCheck == 2)
      style |= TBBS_INDETERMINATE;
    style |= TBBS_CHECKBOX;
    if (style != old) m_pBar->SetButtonStyle(index, style);
  }
  void SetRadio(BOOL bOn) override { SetCheck(bOn ? 1 : 0); }
  void SetText(LPCSTR) override {}

 private:
  CToolBar* m_pBar;
};

}  // namespace

// --- The TOOLBAR resource ---

int CToolBarResource::ImageCount() const {
  return static_cast<int>(std::count_if(ids.begin(), ids.end(), [](UINT id) { return id != ID_SEPARATOR; }));
}

BOOL AfxParseToolBarResource(const void* pData, size_t cbData, CToolBarResource& out) {
  const auto* p = static_cast<const BYTE*>(pData);
  if (!p || cbData < 8) return FALSE;
  const WORD version = ReadWord(p);
  const WORD cx = ReadWord(p + 2);
  const WORD cy = ReadWord(p + 4);
  const WORD count = ReadWord(p + 6);
  if (version != kToolBarVersion || cx == 0 || cy == 0 || cx > kMaxImageSize || cy > kMaxImageSize) return FALSE;
  if ((cbData - 8) / 2 < count) return FALSE;
  CToolBarResource res;
  res.cxImage = cx;
  res.cyImage = cy;
  res.ids.reserve(count);
  for (WORD i = 0; i < count; ++i) res.ids.push_back(ReadWord(p + 8 + 2 * i));
  out = std::move(res);
  return TRUE;
}

BOOL AfxLoadToolBarResource(UINT nID, CToolBarResource& out, HINSTANCE hInst) {
  if (!hInst) hInst = AfxGetResourceHandle();
  HRSRC hRsrc = ::FindResourceA(hInst, MAKEINTRESOURCEA(nID), MAKEINTRESOURCEA(kToolBarResourceType));
  if (!hRsrc) return FALSE;
  HGLOBAL hGlobal = ::LoadResource(hInst, hRsrc);
  const void* data = hGlobal ? ::LockResource(hGlobal) : nullptr;
  if (!data) return FALSE;
  return AfxParseToolBarResource(data, ::SizeofResource(hInst, hRsrc), out);
}

// --- CToolBar ---

CToolBar::CToolBar() = default;

CToolBar::~CToolBar() {
  // Gone before the image list it shows.
  if (m_hWnd) DestroyWindow();
}

BOOL CToolBar::CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle, DWORD dwStyle, CRect rcBorders, UINT nID) {
  if (!AfxInitCommonControls(ICC_BAR_CLASSES)) return FALSE;
  m_rcBorders = CRect(std::max(0L, rcBorders.left), std::max(0L, rcBorders.top), std::max(0L, rcBorders.right),
                      std::max(0L, rcBorders.bottom));
  // The framework places and sizes the control; the tool tips are answered only with
  // CBRS_TOOLTIPS (they are switched off otherwise).
  DWORD ctrlStyle = (dwCtrlStyle & ~(CCS_TOP | CCS_BOTTOM | CCS_NOMOVEY | CCS_VERT)) | TBSTYLE_TOOLTIPS |
                    CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER;
  if (!CreateBar(0, TOOLBARCLASSNAMEA, "", dwStyle, ctrlStyle, pParentWnd, nID)) return FALSE;
  SendMessage(TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  if (HWND tips = GetToolTips()) ::SendMessageA(tips, TTM_ACTIVATE, (m_dwStyle & CBRS_TOOLTIPS) != 0, 0);
  m_nArrangedHorz = 1;
  return TRUE;
}

void CToolBar::SetSizes(SIZE sizeButton, SIZE sizeImage) {
  if (!m_hWnd) return;
  SendMessage(TB_SETBITMAPSIZE, 0, MAKELPARAM(sizeImage.cx, sizeImage.cy));
  SendMessage(TB_SETBUTTONSIZE, 0, MAKELPARAM(sizeButton.cx, sizeButton.cy));
  ButtonsChanged();
}

BOOL CToolBar::LoadToolBar(UINT nIDResource) {
  if (!m_hWnd) return FALSE;
  CToolBarResource res;
  if (!AfxLoadToolBarResource(nIDResource, res)) return FALSE;

  // The images, before anything changes.
  CImageList images;
  const int needed = res.ImageCount();
  if (needed > 0) {
    HINSTANCE hInst = AfxGetResourceHandle();
    if (!::FindResourceA(hInst, MAKEINTRESOURCEA(nIDResource), MAKEINTRESOURCEA(2) /* RT_BITMAP */)) return FALSE;
    UniqueBitmap strip(static_cast<HBITMAP>(
        ::LoadImageA(hInst, MAKEINTRESOURCEA(nIDResource), IMAGE_BITMAP, 0, 0, LR_LOADMAP3DCOLORS)));
    BITMAP bm{};
    if (!strip || !::GetObjectA(strip.get(), sizeof(bm), &bm)) return FALSE;
    if (bm.bmHeight < res.cyImage || bm.bmWidth / res.cxImage < needed) return FALSE;
    // Palette strips had their light grey turned into the button face on loading.
    const COLORREF face = bm.bmBitsPixel <= 8 ? ::GetSysColor(COLOR_BTNFACE) : RGB(192, 192, 192);
    if (!images.Create(res.cxImage, res.cyImage, ILC_COLOR24 | ILC_MASK, needed, 4)) return FALSE;
    if (images.Add(strip.get(), face) < 0 || images.GetImageCount() < needed) return FALSE;
  }

  SetSizes(CSize(res.cxImage + 7, res.cyImage + 7), CSize(res.cxImage, res.cyImage));
  if (!SetButtons(res.ids.empty() ? nullptr : res.ids.data(), static_cast<int>(res.ids.size()))) return FALSE;
  m_imageList = std::move(images);
  SendMessage(TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(m_imageList.GetSafeHandle()));
  ButtonsChanged();
  Invalidate();
  return TRUE;
}

BOOL CToolBar::SetButtons(const UINT* lpIDArray, int nIDCount) {
  if (!m_hWnd || nIDCount < 0 || nIDCount > 0xFFFF) return FALSE;
  SetRedraw(FALSE);
  for (int n = GetCount(); n > 0; --n) SendMessage(TB_DELETEBUTTON, static_cast<WPARAM>(n - 1), 0);
  std::vector<TBBUTTON> buttons(static_cast<size_t>(nIDCount));
  int image = 0;
  for (int i = 0; i < nIDCount; ++i) {
    TBBUTTON& b = buttons[static_cast<size_t>(i)];
    std::memset(&b, 0, sizeof(b));
    b.iString = -1;
    if (lpIDArray && lpIDArray[i] != ID_SEPARATOR) {
      b.idCommand = static_cast<int>(lpIDArray[i]);
      b.iBitmap = image++;
      b.fsStyle = TBSTYLE_BUTTON;
      b.fsState = TBSTATE_ENABLED;
    } else {
      b.fsStyle = TBSTYLE_SEP;
    }
  }
  BOOL ok = TRUE;
  if (nIDCount > 0)
    ok = static_cast<BOOL>(SendMessage(TB_ADDBUTTONSA, static_cast<WPARAM>(nIDCount),
                                       reinterpret_cast<LPARAM>(buttons.data())));
  SetRedraw(TRUE);
  Invalidate();
  m_nArrangedHorz = 1;  // new buttons stand in one row
  ButtonsChanged();
  return ok;
}

void CToolBar::ButtonsChanged() {
  if (m_pDockSite) m_pDockSite->DelayRecalcLayout();
}

int CToolBar::GetCount() const { return m_hWnd ? static_cast<int>(SendMessage(TB_BUTTONCOUNT, 0, 0)) : 0; }

BOOL CToolBar::GetButton(int nIndex, TBBUTTON* pButton) const {
  if (!m_hWnd || nIndex < 0 || nIndex >= GetCount()) return FALSE;
  std::memset(pButton, 0, sizeof(*pButton));
  return static_cast<BOOL>(SendMessage(TB_GETBUTTON, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(pButton)));
}

UINT CToolBar::GetItemID(int nIndex) const {
  TBBUTTON b;
  if (!GetButton(nIndex, &b) || (b.fsStyle & TBSTYLE_SEP)) return ID_SEPARATOR;
  return static_cast<UINT>(b.idCommand);
}

int CToolBar::CommandToIndex(UINT nIDFind) const {
  const int n = GetCount();
  for (int i = 0; i < n; ++i)
    if (GetItemID(i) == nIDFind) return i;
  return -1;
}

BOOL CToolBar::GetItemRect(int nIndex, LPRECT lpRect) const {
  if (!lpRect || nIndex < 0 || nIndex >= GetCount()) return FALSE;
  return static_cast<BOOL>(SendMessage(TB_GETITEMRECT, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(lpRect)));
}

UINT CToolBar::GetButtonStyle(int nIndex) const {
  TBBUTTON b;
  if (!GetButton(nIndex, &b)) return 0;
  return MAKELONG(b.fsStyle, static_cast<BYTE>(b.fsState ^ TBSTATE_ENABLED));
}

void CToolBar::SetButtonStyle(int nIndex, UINT nStyle) {
  TBBUTTON b;
  if (GetButton(nIndex, &b)) SetButtonInfo(nIndex, static_cast<UINT>(b.idCommand), nStyle, b.iBitmap);
}

void CToolBar::GetButtonInfo(int nIndex, UINT& nID, UINT& nStyle, int& iImage) const {
  TBBUTTON b;
  if (!GetButton(nIndex, &b)) {
    nID = 0;
    nStyle = 0;
    iImage = 0;
    return;
  }
  nID = static_cast<UINT>(b.idCommand);
  nStyle = MAKELONG(b.fsStyle, static_cast<BYTE>(b.fsState ^ TBSTATE_ENABLED));
  iImage = b.iBitmap;
}

void CToolBar::SetButtonInfo(int nIndex, UINT nID, UINT nStyle, int iImage) {
  TBBUTTON b;
  if (!GetButton(nIndex, &b)) return;
  const BYTE style = static_cast<BYTE>(LOWORD(nStyle));
  // The enabled state is stored inverted; the row or column break belongs to the layout.
  BYTE state = static_cast<BYTE>(HIWORD(nStyle)) ^ TBSTATE_ENABLED;
  state = static_cast<BYTE>((state & ~TBSTATE_WRAP) | (b.fsState & TBSTATE_WRAP));
  const bool layoutChanges = style != b.fsStyle || (style & TBSTYLE_SEP ? iImage != b.iBitmap : false) ||
                             ((state ^ b.fsState) & TBSTATE_HIDDEN);
  if (style == b.fsStyle && state == b.fsState && static_cast<int>(nID) == b.idCommand && iImage == b.iBitmap) return;
  TBBUTTONINFOA info{};
  info.cbSize = sizeof(info);
  info.dwMask = TBIF_BYINDEX | TBIF_STYLE | TBIF_STATE | TBIF_COMMAND | TBIF_IMAGE;
  info.idCommand = static_cast<int>(nID);
  info.iImage = iImage;
  info.fsStyle = style;
  info.fsState = state;
  SendMessage(TB_SETBUTTONINFOA, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(&info));
  RECT r;
  if (GetItemRect(nIndex, &r)) InvalidateRect(&r);
  if (layoutChanges) ButtonsChanged();
}

void CToolBar::SetImageLists(HIMAGELIST hNormal, HIMAGELIST hHot, HIMAGELIST hDisabled) {
  if (!m_hWnd) return;
  SendMessage(TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(hNormal));
  SendMessage(TB_SETHOTIMAGELIST, 0, reinterpret_cast<LPARAM>(hHot));
  SendMessage(TB_SETDISABLEDIMAGELIST, 0, reinterpret_cast<LPARAM>(hDisabled));
  ButtonsChanged();
  Invalidate();
}

HWND CToolBar::GetToolTips() const {
  return m_hWnd ? reinterpret_cast<HWND>(SendMessage(TB_GETTOOLTIPS, 0, 0)) : nullptr;
}

// --- Layout ---

void CToolBar::ArrangeButtons(BOOL bHorz) {
  const int want = bHorz ? 1 : 0;
  if (!m_hWnd || m_nArrangedHorz == want) return;
  m_nArrangedHorz = want;
  const int n = GetCount();
  std::vector<TBBUTTON> buttons(static_cast<size_t>(n));
  bool changed = false;
  for (int i = 0; i < n; ++i) {
    TBBUTTON& b = buttons[static_cast<size_t>(i)];
    if (!GetButton(i, &b)) return;
    const BYTE state = bHorz ? static_cast<BYTE>(b.fsState & ~TBSTATE_WRAP) : static_cast<BYTE>(b.fsState | TBSTATE_WRAP);
    changed |= state != b.fsState;
    b.fsState = state;
  }
  if (!changed) return;
  // The control lays its buttons out again when they are added: put them back with the new
  // breaks (their states, images and data travel with them).
  SetRedraw(FALSE);
  for (int i = n; i > 0; --i) SendMessage(TB_DELETEBUTTON, static_cast<WPARAM>(i - 1), 0);
  SendMessage(TB_ADDBUTTONSA, static_cast<WPARAM>(n), reinterpret_cast<LPARAM>(buttons.data()));
  SetRedraw(TRUE);
  Invalidate();
}

CSize CToolBar::CalcButtonsSize(BOOL bHorz) {
  const int before = m_nArrangedHorz;
  ArrangeButtons(bHorz);
  CRect all;
  bool any = false;
  const int n = GetCount();
  for (int i = 0; i < n; ++i) {
    TBBUTTON b;
    RECT r;
    if (!GetButton(i, &b) || (b.fsState & TBSTATE_HIDDEN) || !GetItemRect(i, &r)) continue;
    if (any)
      all.UnionRect(all, r);
    else
      all = r;
    any = true;
  }
  // A query for the other orientation leaves the buttons as they stand.
  if (before >= 0 && before != (bHorz ? 1 : 0) && (IsHorz() ? 1 : 0) == before) ArrangeButtons(before != 0);
  if (!any) {
    const DWORD size = static_cast<DWORD>(SendMessage(TB_GETBUTTONSIZE, 0, 0));
    return bHorz ? CSize(0, HIWORD(size)) : CSize(LOWORD(size), 0);
  }
  // The control's own margin before the first button, again after the last.
  return CSize(all.right + std::max(0L, all.left), all.bottom + std::max(0L, all.top));
}

CSize CToolBar::CalcFixedLayout(BOOL bStretch, BOOL bHorz) {
  CSize size = CalcButtonsSize(bHorz) + GetNonClientSize(bHorz);
  if (bStretch) (bHorz ? size.cx : size.cy) = 32767;
  return size;
}

// --- Update, tips and fly-by help ---

void CToolBar::OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) {
  CToolCmdUI state(this);
  state.m_pOther = this;
  state.m_nIndexMax = static_cast<UINT>(GetCount());
  for (state.m_nIndex = 0; state.m_nIndex < state.m_nIndexMax; ++state.m_nIndex) {
    TBBUTTON b;
    if (!GetButton(static_cast<int>(state.m_nIndex), &b) || (b.fsStyle & TBSTYLE_SEP)) continue;
    state.m_nID = static_cast<UINT>(b.idCommand);
    state.DoUpdate(pTarget, bDisableIfNoHndler);
  }
}

void CToolBar::OnBarStyleChange(DWORD dwOldStyle, DWORD dwNewStyle) {
  if ((dwOldStyle ^ dwNewStyle) & CBRS_TOOLTIPS) {
    if (HWND tips = GetToolTips()) ::SendMessageA(tips, TTM_ACTIVATE, (dwNewStyle & CBRS_TOOLTIPS) != 0, 0);
  }
  CControlBar::OnBarStyleChange(dwOldStyle, dwNewStyle);
}

BOOL CToolBar::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  auto* nm = message == WM_NOTIFY ? reinterpret_cast<NMHDR*>(lParam) : nullptr;
  if (nm && nm->hwndFrom == m_hWnd && (nm->code == TBN_GETINFOTIPA || nm->code == TBN_GETINFOTIPW)) {
    // The control asks its parent for a button's tip: the command string's tip part.
    const bool wide = nm->code == TBN_GETINFOTIPW;
    const UINT id = static_cast<UINT>(wide ? reinterpret_cast<NMTBGETINFOTIPW*>(nm)->iItem
                                           : reinterpret_cast<NMTBGETINFOTIPA*>(nm)->iItem);
    const std::string tip = (m_dwStyle & CBRS_TOOLTIPS) ? AfxCommandToolTip(id) : std::string();
    if (wide) {
      auto* info = reinterpret_cast<NMTBGETINFOTIPW*>(nm);
      if (info->pszText && info->cchTextMax > 0) {
        int n = ::MultiByteToWideChar(CP_ACP, 0, tip.c_str(), static_cast<int>(tip.size()), info->pszText,
                                      info->cchTextMax - 1);
        info->pszText[std::max(0, n)] = L'\0';
      }
    } else {
      auto* info = reinterpret_cast<NMTBGETINFOTIPA*>(nm);
      if (info->pszText && info->cchTextMax > 0) ::lstrcpynA(info->pszText, tip.c_str(), info->cchTextMax);
    }
    *pResult = 0;
    return TRUE;
  }
  return CControlBar::OnChildNotify(message, wParam, lParam, pResult);
}

BOOL CToolBar::OnEraseBkgnd(HDC hDC) {
  // The control would ask its parent to paint behind the buttons; the bar paints its face.
  CRect client = GetClientRect();
  ::FillRect(hDC, &client, ::GetSysColorBrush(COLOR_BTNFACE));
  return TRUE;
}

void CToolBar::OnMouseMove(UINT nFlags, CPoint point) {
  if (m_dwStyle & CBRS_FLYBY) {
    TrackMouseLeave();
    POINT pt = point;
    const int hit = static_cast<int>(SendMessage(TB_HITTEST, 0, reinterpret_cast<LPARAM>(&pt)));
    SetFlyByCommand(hit >= 0 ? GetItemID(hit) : 0);
  }
  CControlBar::OnMouseMove(nFlags, point);
}
