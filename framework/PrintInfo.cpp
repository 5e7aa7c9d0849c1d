#include "PrintInfo.h"

#include "PrintDialog.h"

CPrintInfo::CPrintInfo() : m_pPD(new CPrintDialog(FALSE, PD_ALLPAGES | PD_USEDEVMODECOPIESANDCOLLATE | PD_NOSELECTION)) {
  SetMinPage(1);
  SetMaxPage(0xFFFF);
  m_pPD->m_pd.nFromPage = 1;
  m_pPD->m_pd.nToPage = 0xFFFF;
}

CPrintInfo::~CPrintInfo() { delete m_pPD; }

void CPrintInfo::SetMinPage(UINT nMinPage) { m_pPD->m_pd.nMinPage = static_cast<WORD>(nMinPage); }
void CPrintInfo::SetMaxPage(UINT nMaxPage) { m_pPD->m_pd.nMaxPage = static_cast<WORD>(nMaxPage); }
UINT CPrintInfo::GetMinPage() const { return m_pPD->m_pd.nMinPage; }
UINT CPrintInfo::GetMaxPage() const { return m_pPD->m_pd.nMaxPage; }

UINT CPrintInfo::GetFromPage() const {
  return (m_pPD->m_pd.Flags & PD_PAGENUMS) ? m_pPD->m_pd.nFromPage : GetMinPage();
}

UINT CPrintInfo::GetToPage() const {
  return (m_pPD->m_pd.Flags & PD_PAGENUMS) ? m_pPD->m_pd.nToPage : GetMaxPage();
}

void AfxSetLoMetricMapping(HDC hDC, const CPrintInfo& info) {
  if (!info.m_bPreview) {
    ::SetMapMode(hDC, MM_LOMETRIC);
    return;
  }
  const RECT& page = info.m_rectPreviewPage;
  ::SetMapMode(hDC, MM_ANISOTROPIC);
  ::SetWindowOrgEx(hDC, 0, 0, nullptr);
  ::SetWindowExtEx(hDC, info.m_sizePrintable.cx > 0 ? info.m_sizePrintable.cx : 1,
                   info.m_sizePrintable.cy > 0 ? info.m_sizePrintable.cy : 1, nullptr);
  ::SetViewportOrgEx(hDC, page.left, page.top, nullptr);
  // A negative viewport height turns y upwards, as on the printer.
  ::SetViewportExtEx(hDC, page.right - page.left, -(page.bottom - page.top), nullptr);
}
