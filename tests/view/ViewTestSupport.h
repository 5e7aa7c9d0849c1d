// The world the image view lives in for its tests: an application with settings and a pending
// image, an MDI main frame with the four status panes that records the capture outputs it is
// asked to run, the document type 129 with the zoomable view, and real mouse and keyboard input
// sent from a second thread while this one runs the windows.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "ChildFrame.h"
#include "CommandState.h"
#include "DocumentHost.h"
#include "E2EDriver.h"
#include "FrameworkTestSupport.h"
#include "QuorvaCaptureDoc.h"
#include "QuorvaCaptureView.h"
#include "decode/AutoDecoder.h"
#include "resources/resource.h"
#include "win/DisplayBitmap.h"

class CViewTestApp : public CWinApp, public AppSettings, public IImageDocumentApp {
 public:
  CViewTestApp() : CWinApp("Lumatre View Test") {}
  AppSettings& GetDocumentSettings() override { return *this; }
  std::unique_ptr<CDisplayBitmap> TakePendingImage() override { return std::move(pending); }
  CAutoDecoder& GetAutoDecoder() override { return decoder; }
  bool SendMailAttachment(const std::string&, const std::string&, unsigned) override { return false; }

  std::unique_ptr<CDisplayBitmap> pending;
  CAutoDecoder decoder;
};

class CViewTestFrame : public CMDIFrameWnd, public IImageDocumentFrame {
 public:
  HBITMAP GetCapturedBitmap() const override { return captured; }
  void RunCaptureOutputs(CDocument* doc) override { outputsRun.push_back(doc); }

  HBITMAP captured = nullptr;
  std::vector<CDocument*> outputsRun;
  CStatusBar statusBar;

 protected:
  int OnCreate(LPCREATESTRUCT cs) {
    if (CMDIFrameWnd::OnCreate(cs) == -1) return -1;
    static const UINT indicators[] = {ID_SEPARATOR, ID_INDICATOR_POSITION, ID_INDICATOR_COLOR, ID_INDICATOR_IMAGESIZE};
    if (!statusBar.Create(this) || !statusBar.SetIndicators(indicators, 4)) return -1;
    statusBar.SetPaneWidth(1, 150);
    statusBar.SetPaneWidth(2, 76);
    statusBar.SetPaneWidth(3, 120);
    RecalcLayout();
    return 0;
  }
  LRESULT OnUpdateTabBar(WPARAM, LPARAM) { return 0; }
  // As in the program's main frame: the image-fact panes take the active view's texts.
  void OnUpdateImageStatusPane(CCmdUI* pCmdUI) {
    pCmdUI->Enable(TRUE);
    pCmdUI->SetText(ImageStatusPaneText(MDIGetActive(), pCmdUI->m_nID).c_str());
  }
  DECLARE_MESSAGE_MAP()
};

// The colour of pattern pixel (x, y) as 0x00RRGGBB: neighbours differ in every direction.
inline uint32_t PatternColor(int x, int y) {
  return lumatre::e2e::Rgb((x * 7 + y) & 0xFF, (y * 5 + 3 * x) & 0xFF, ((x + y) * 11 + 40) & 0xFF);
}

inline std::unique_ptr<CDisplayBitmap> MakePatternImage(int width, int height) {
  auto bitmap = std::make_unique<CDisplayBitmap>();
  bitmap->Create(width, height, 32, false);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      uint32_t c = PatternColor(x, y);
      bitmap->SetPixel(x, y, PLMakePixel(static_cast<uint8_t>(c >> 16), static_cast<uint8_t>(c >> 8),
                                         static_cast<uint8_t>(c), 255));
    }
  }
  return bitmap;
}

// 0x00RRGGBB of a document pixel.
inline uint32_t PixelOf(const CDibBitmap& bitmap, int x, int y) { return bitmap.GetPixel(x, y) & 0x00FFFFFFu; }

// Runs input on a second thread (SendInput reaches this thread's windows through the system)
// while this thread dispatches messages, also inside the view's modal tracking loops. The
// input thread stays a moment after its last event: under Wine the last injected event of a
// thread that ends at once may arrive only with the next input.
inline void RunInput(const std::function<void()>& input, DWORD settleMs = 150) {
  std::atomic<bool> done{false};
  std::thread worker([&] {
    input();
    ::Sleep(settleMs);
    done = true;
  });
  while (!done) {
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) continue;
      ::TranslateMessage(&msg);
      ::DispatchMessageA(&msg);
    }
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
  }
  worker.join();
  PumpMessages(20);
}
