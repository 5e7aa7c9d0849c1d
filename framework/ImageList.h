// CImageList: owns an image list of the common controls (HIMAGELIST) and destroys it with
// itself. Move-only. Controls that are handed the list (toolbars, tab controls) do not own it:
// keep the CImageList alive as long as they show it.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "Geometry.h"
#include "Handles.h"

namespace lumatre_detail {
struct ImageListTraits {
  static HIMAGELIST Empty() { return nullptr; }
  static bool Valid(HIMAGELIST h) { return h != nullptr; }
  static void Free(HIMAGELIST h) { ::ImageList_Destroy(h); }
};
}  // namespace lumatre_detail

// ImageList_Destroy.
using UniqueImageList = lumatre_detail::UniqueResource<HIMAGELIST, lumatre_detail::ImageListTraits>;

class CImageList {
 public:
  CImageList() noexcept = default;
  // Takes ownership of hImageList.
  explicit CImageList(HIMAGELIST hImageList) noexcept : m_list(hImageList) {}
  CImageList(CImageList&&) noexcept = default;
  CImageList& operator=(CImageList&&) noexcept = default;
  CImageList(const CImageList&) = delete;
  CImageList& operator=(const CImageList&) = delete;

  // Makes an empty list of cx x cy images (nFlags: ILC_COLOR24 | ILC_MASK, ...), room for
  // nInitial images, growing by nGrow. A list held before is destroyed. FALSE on failure.
  BOOL Create(int cx, int cy, UINT nFlags, int nInitial, int nGrow);
  // Adds the images of a bitmap strip (as many as its width holds), with a mask bitmap (or
  // none) or with the colour that stands for transparent. The index of the first new image, or
  // -1. The bitmaps stay the caller's.
  int Add(HBITMAP hbmImage, HBITMAP hbmMask);
  int Add(HBITMAP hbmImage, COLORREF crMask);
  // Adds an icon (copied; the icon stays the caller's). Its index, or -1.
  int AddIcon(HICON hIcon);
  // Replaces image nImage by an icon; FALSE when there is no such image.
  BOOL ReplaceIcon(int nImage, HICON hIcon);
  int GetImageCount() const;
  // The size of one image (0 x 0 without a list).
  CSize GetImageSize() const;
  BOOL Draw(HDC hdc, int nImage, POINT pt, UINT nStyle = ILD_NORMAL) const;

  HIMAGELIST GetSafeHandle() const noexcept { return m_list.get(); }
  explicit operator bool() const noexcept { return static_cast<bool>(m_list); }
  // Takes a list (destroying the one held before) / gives it up without destroying it.
  void Attach(HIMAGELIST hImageList) noexcept { m_list.reset(hImageList); }
  [[nodiscard]] HIMAGELIST Detach() noexcept { return m_list.release(); }
  void DeleteImageList() noexcept { m_list.reset(); }

 private:
  UniqueImageList m_list;
};
