#include "TabCtrl.h"

#include <vector>

#include "ControlBar.h"

CTabCtrl::CTabCtrl() = default;

CTabCtrl::~CTabCtrl() {
  if (m_hWnd) DestroyWindow();
}

BOOL CTabCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
  if (!pParentWnd || !pParentWnd->m_hWnd || !AfxInitCommonControls(ICC_TAB_CLASSES)) return FALSE;
  return CreateEx(0, WC_TABCONTROLA, nullptr, dwStyle | WS_CHILD, rect, pParentWnd, nID);
}

int CTabCtrl::InsertItem(int nItem, LPCSTR lpszItem, int nImage, LPARAM lParam) {
  if (!m_hWnd || nItem < 0) return -1;
  TCITEMA item{};
  item.mask = TCIF_TEXT | TCIF_IMAGE | TCIF_PARAM;
  item.pszText = const_cast<LPSTR>(lpszItem ? lpszItem : "");
  item.iImage = nImage;
  item.lParam = lParam;
  return static_cast<int>(SendMessage(TCM_INSERTITEMA, static_cast<WPARAM>(nItem), reinterpret_cast<LPARAM>(&item)));
}

BOOL CTabCtrl::DeleteItem(int nItem) {
  if (!m_hWnd || nItem < 0 || nItem >= GetItemCount()) return FALSE;
  return static_cast<BOOL>(SendMessage(TCM_DELETEITEM, static_cast<WPARAM>(nItem), 0));
}

BOOL CTabCtrl::DeleteAllItems() { return m_hWnd && SendMessage(TCM_DELETEALLITEMS, 0, 0); }

int CTabCtrl::GetItemCount() const { return m_hWnd ? static_cast<int>(SendMessage(TCM_GETITEMCOUNT, 0, 0)) : 0; }

int CTabCtrl::GetCurSel() const { return m_hWnd ? static_cast<int>(SendMessage(TCM_GETCURSEL, 0, 0)) : -1; }

int CTabCtrl::SetCurSel(int nItem) {
  return m_hWnd ? static_cast<int>(SendMessage(TCM_SETCURSEL, static_cast<WPARAM>(nItem), 0)) : -1;
}

BOOL CTabCtrl::GetItemRect(int nItem, LPRECT lpRect) const {
  if (!m_hWnd || !lpRect || nItem < 0 || nItem >= GetItemCount()) return FALSE;
  return static_cast<BOOL>(SendMessage(TCM_GETITEMRECT, static_cast<WPARAM>(nItem), reinterpret_cast<LPARAM>(lpRect)));
}

BOOL CTabCtrl::SetItemText(int nItem, LPCSTR lpszText) {
  if (!m_hWnd || nItem < 0 || nItem >= GetItemCount()) return FALSE;
  TCITEMA item{};
  item.mask = TCIF_TEXT;
  item.pszText = const_cast<LPSTR>(lpszText ? lpszText : "");
  return static_cast<BOOL>(SendMessage(TCM_SETITEMA, static_cast<WPARAM>(nItem), reinterpret_cast<LPARAM>(&item)));
}

std::string CTabCtrl::GetItemText(int nItem) const {
  if (!m_hWnd || nItem < 0 || nItem >= GetItemCount()) return {};
  // Grow the buffer until the text fits with room to spare.
  for (size_t size = 256; size <= 65536; size *= 4) {
    std::vector<char> buffer(size, '\0');
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = buffer.data();
    item.cchTextMax = static_cast<int>(size);
    if (!SendMessage(TCM_GETITEMA, static_cast<WPARAM>(nItem), reinterpret_cast<LPARAM>(&item))) return {};
    // The control may hand back its own buffer instead of filling ours.
    const char* text = item.pszText ? item.pszText : "";
    std::string s(text);
    if (s.size() + 1 < size) return s;
  }
  return {};
}

LPARAM CTabCtrl::GetItemData(int nItem) const {
  if (!m_hWnd || nItem < 0 || nItem >= GetItemCount()) return 0;
  TCITEMA item{};
  item.mask = TCIF_PARAM;
  if (!SendMessage(TCM_GETITEMA, static_cast<WPARAM>(nItem), reinterpret_cast<LPARAM>(&item))) return 0;
  return item.lParam;
}

HIMAGELIST CTabCtrl::SetImageList(HIMAGELIST hImageList) {
  if (!m_hWnd) return nullptr;
  return reinterpret_cast<HIMAGELIST>(SendMessage(TCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(hImageList)));
}

int CTabCtrl::HitTest(POINT pt, UINT* pFlags) const {
  if (pFlags) *pFlags = TCHT_NOWHERE;
  if (!m_hWnd) return -1;
  TCHITTESTINFO info{};
  info.pt = pt;
  int item = static_cast<int>(SendMessage(TCM_HITTEST, 0, reinterpret_cast<LPARAM>(&info)));
  if (pFlags) *pFlags = info.flags;
  return item;
}

void CTabCtrl::AdjustRect(BOOL bLarger, LPRECT lpRect) const {
  if (m_hWnd && lpRect) SendMessage(TCM_ADJUSTRECT, static_cast<WPARAM>(bLarger), reinterpret_cast<LPARAM>(lpRect));
}

int CTabCtrl::GetRowCount() const { return m_hWnd ? static_cast<int>(SendMessage(TCM_GETROWCOUNT, 0, 0)) : 0; }

CSize CTabCtrl::SetItemSize(CSize size) {
  if (!m_hWnd) return CSize();
  const DWORD old = static_cast<DWORD>(SendMessage(TCM_SETITEMSIZE, 0, MAKELPARAM(size.cx, size.cy)));
  return CSize(LOWORD(old), HIWORD(old));
}

void CTabCtrl::SetPadding(CSize size) {
  if (m_hWnd) SendMessage(TCM_SETPADDING, 0, MAKELPARAM(size.cx, size.cy));
}
