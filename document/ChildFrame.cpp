#include "ChildFrame.h"

#include "resources/resource.h"

BEGIN_MESSAGE_MAP(CChildFrame, CMDIChildWnd)
END_MESSAGE_MAP()

CChildFrame::CChildFrame() = default;

CChildFrame::~CChildFrame() = default;

LPCSTR CChildFrame::RegisterWindowClass() {
  WNDCLASSA base{};
  if (!::GetClassInfoA(AfxGetInstanceHandle(), AfxFrameWndClass(), &base)) return nullptr;
  HICON icon = ::LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDI_IMAGEFRAME));
  return AfxRegisterNamedWndClass(kWindowClass, base.style, nullptr, static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH)),
                                  icon ? icon : base.hIcon);
}

BOOL CChildFrame::PreCreateWindow(CREATESTRUCT& cs) {
  if (!CMDIChildWnd::PreCreateWindow(cs)) return FALSE;
  LPCSTR name = RegisterWindowClass();
  if (!name) return FALSE;
  cs.lpszClass = name;
  return TRUE;
}
