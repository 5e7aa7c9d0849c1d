#include "ImageList.h"

BOOL CImageList::Create(int cx, int cy, UINT nFlags, int nInitial, int nGrow) {
  if (cx <= 0 || cy <= 0 || nInitial < 0 || nGrow < 0) return FALSE;
  HIMAGELIST list = ::ImageList_Create(cx, cy, nFlags, nInitial, nGrow);
  if (!list) return FALSE;
  m_list.reset(list);
  return TRUE;
}

int CImageList::Add(HBITMAP hbmImage, HBITMAP hbmMask) {
  if (!m_list || !hbmImage) return -1;
  return ::ImageList_Add(m_list.get(), hbmImage, hbmMask);
}

int CImageList::Add(HBITMAP hbmImage, COLORREF crMask) {
  if (!m_list || !hbmImage) return -1;
  return ::ImageList_AddMasked(m_list.get(), hbmImage, crMask);
}

int CImageList::AddIcon(HICON hIcon) {
  if (!m_list || !hIcon) return -1;
  return ::ImageList_ReplaceIcon(m_list.get(), -1, hIcon);
}

BOOL CImageList::ReplaceIcon(int nImage, HICON hIcon) {
  if (!m_list || !hIcon || nImage < 0 || nImage >= GetImageCount()) return FALSE;
  return ::ImageList_ReplaceIcon(m_list.get(), nImage, hIcon) == nImage;
}

int CImageList::GetImageCount() const { return m_list ? ::ImageList_GetImageCount(m_list.get()) : 0; }

CSize CImageList::GetImageSize() const {
  int cx = 0, cy = 0;
  if (m_list && !::ImageList_GetIconSize(m_list.get(), &cx, &cy)) cx = cy = 0;
  return CSize(cx, cy);
}

BOOL CImageList::Draw(HDC hdc, int nImage, POINT pt, UINT nStyle) const {
  if (!m_list || !hdc || nImage < 0 || nImage >= GetImageCount()) return FALSE;
  return ::ImageList_Draw(m_list.get(), nImage, hdc, pt.x, pt.y, nStyle);
}
