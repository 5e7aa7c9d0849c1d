#include "ViewTabCtrl.h"

#include <algorithm>

BEGIN_MESSAGE_MAP(CViewTabCtrl, CTabCtrl)
END_MESSAGE_MAP()

namespace {

// Fixed tab size: wide enough for a usual file name.
constexpr int kTabWidth = 150;
constexpr int kTabHeight = 22;
constexpr int kIconSize = 16;

}  // namespace

CViewTabCtrl::CViewTabCtrl() = default;

CViewTabCtrl::~CViewTabCtrl() = default;

BOOL CViewTabCtrl::Create(const RECT& rect, CWnd* pParent, UINT nID, IViewTabSource* source) {
  m_source = source;
  const DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | TCS_TOOLTIPS | TCS_FIXEDWIDTH | TCS_OWNERDRAWFIXED |
                      TCS_FOCUSNEVER;
  if (!CTabCtrl::Create(style, rect, pParent, nID)) return FALSE;
  SendMessage(TCM_SETEXTENDEDSTYLE, TCS_EX_FLATSEPARATORS, TCS_EX_FLATSEPARATORS);
  SetFont(static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT)), FALSE);
  SetItemSize(CSize(kTabWidth, kTabHeight));
  MakeFonts();
  if (m_images.Create(kIconSize, kIconSize, ILC_COLOR32 | ILC_MASK, 4, 4))
    m_images.AddIcon(::LoadIcon(nullptr, IDI_APPLICATION));
  SetImageList(m_images.GetSafeHandle());
  return TRUE;
}

void CViewTabCtrl::MakeFonts() {
  NONCLIENTMETRICSA metrics{};
  metrics.cbSize = sizeof metrics;
  LOGFONTA font{};
  if (::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
    font = metrics.lfMessageFont;
  else
    ::GetObjectA(::GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
  m_normalFont.reset(::CreateFontIndirectA(&font));
  font.lfWeight = FW_BOLD;
  m_selectedFont.reset(::CreateFontIndirectA(&font));
}

COLORREF CViewTabCtrl::TextColor(bool selected, bool modified) {
  if (modified) return kModifiedColor;
  return selected ? kSelectedColor : kNormalColor;
}

BOOL CViewTabCtrl::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  if (message == WM_DRAWITEM) {
    DrawItem(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    *pResult = TRUE;
    return TRUE;
  }
  return CTabCtrl::OnChildNotify(message, wParam, lParam, pResult);
}

BOOL CViewTabCtrl::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  // The tab tool tips ask the control that holds the tools.
  if (FillToolTip(reinterpret_cast<NMHDR*>(lParam))) {
    *pResult = 0;
    return TRUE;
  }
  return CTabCtrl::OnNotify(wParam, lParam, pResult);
}

bool CViewTabCtrl::FillToolTip(NMHDR* nmhdr) {
  if (!nmhdr || (nmhdr->code != TTN_GETDISPINFOA && nmhdr->code != TTN_GETDISPINFOW) || !m_source) return false;
  const int tab = static_cast<int>(nmhdr->idFrom);
  if (tab < 0 || tab >= GetItemCount()) return false;
  m_tip = m_source->TabToolTip(tab);
  if (nmhdr->code == TTN_GETDISPINFOW) {
    const int n = ::MultiByteToWideChar(CP_ACP, 0, m_tip.c_str(), -1, nullptr, 0);
    m_wideTip.assign(static_cast<size_t>(std::max(n, 1)), L'\0');
    if (n > 0) ::MultiByteToWideChar(CP_ACP, 0, m_tip.c_str(), -1, m_wideTip.data(), n);
    auto* info = reinterpret_cast<NMTTDISPINFOW*>(nmhdr);
    info->hinst = nullptr;
    info->lpszText = m_wideTip.data();
  } else {
    auto* info = reinterpret_cast<NMTTDISPINFOA*>(nmhdr);
    info->hinst = nullptr;
    info->lpszText = m_tip.data();
  }
  return true;
}

void CViewTabCtrl::DrawItem(const DRAWITEMSTRUCT* dis) {
  if (!dis || static_cast<int>(dis->itemID) < 0) return;
  const int tab = static_cast<int>(dis->itemID);
  HDC dc = dis->hDC;
  const bool selected = (dis->itemState & ODS_SELECTED) != 0 || GetCurSel() == tab;
  const bool horizontal = (GetStyle() & TCS_VERTICAL) == 0;
  const int edge = ::GetSystemMetrics(SM_CYEDGE);

  CRect r(dis->rcItem);
  r.InflateRect(-1, -1);
  if (horizontal) r.OffsetRect(0, edge);
  ::FillRect(dc, &r, ::GetSysColorBrush(COLOR_BTNFACE));

  // The window class's icon, a blank's width in.
  SIZE blank{};
  SelectObjectGuard font(dc, selected ? m_selectedFont.get() : m_normalFont.get());
  ::GetTextExtentPoint32A(dc, " ", 1, &blank);
  int textLeft = r.left + blank.cx;
  if (HICON icon = m_source ? m_source->TabIcon(tab) : nullptr) {
    if (tab < m_images.GetImageCount())
      m_images.ReplaceIcon(tab, icon);
    else
      while (m_images.GetImageCount() <= tab && m_images.AddIcon(icon) >= 0) {
      }
    const int y = r.top + (r.Height() - kIconSize) / 2 - (selected ? edge : 0);
    m_images.Draw(dc, tab, CPoint(r.left + blank.cx, y), ILD_TRANSPARENT);
    textLeft = r.left + blank.cx + kIconSize;
  }

  const std::string text = GetItemText(tab);
  CRect textBox(textLeft, r.top, r.right, r.bottom);
  if (selected) textBox.OffsetRect(0, -edge);
  const bool modified = m_source && m_source->IsTabModified(tab);
  const int oldMode = ::SetBkMode(dc, TRANSPARENT);
  const COLORREF oldColour = ::SetTextColor(dc, TextColor(selected, modified));
  ::DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &textBox,
              DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
  ::SetTextColor(dc, oldColour);
  ::SetBkMode(dc, oldMode);
}
