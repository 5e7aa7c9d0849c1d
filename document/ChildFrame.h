// CChildFrame: the image window, an MDI child frame of window class "LumatreImageFrameClass"
// (a copy of the framework's frame class with icon resource 161, no class cursor and a hollow
// background), one per view of an image document.
#pragma once

#include "framework/Framework.h"

class CChildFrame : public CMDIChildWnd {
 public:
  static constexpr const char* kWindowClass = "LumatreImageFrameClass";

  CChildFrame();
  ~CChildFrame() override;

  BOOL PreCreateWindow(CREATESTRUCT& cs) override;
  // Registers the window class (once); its name, or null when that failed.
  static LPCSTR RegisterWindowClass();

 protected:
  DECLARE_MESSAGE_MAP()
};
