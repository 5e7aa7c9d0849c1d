// CSimpleImageView: a plain view of an image document that draws the picture 1:1 (centred
// when it is smaller than the window, scrolled when it is larger). It stands in for the
// zoomable image view until that view exists; it has no selection, so the commands that need
// one stay disabled and Crop and Paste do nothing.
#pragma once

#include "DocumentHost.h"
#include "framework/Framework.h"

class CQuorvaCaptureDoc;

class CSimpleImageView : public CScrollView, public IImageEditView {
 public:
  CSimpleImageView();
  ~CSimpleImageView() override;

  CQuorvaCaptureDoc* GetImageDocument() const;

  void OnInitialUpdate() override;
  void OnUpdate(CView* pSender, LPARAM lHint, void* pHint) override;
  void OnDraw(HDC hDC) override;

  bool HasSelection() const override { return false; }
  void CropSelection() override {}
  void CutSelection() override {}
  void CopySelection() override {}
  void PasteFromClipboard() override {}

 protected:
  BOOL OnEraseBkgnd(HDC hDC);
  // UWM_CAPTUREOUTPUTS: the outputs of a new capture, once its window is shown.
  LRESULT OnCaptureOutputs(WPARAM wParam, LPARAM lParam);

  DECLARE_MESSAGE_MAP()

 private:
  void RefreshSizes();
  SIZE m_knownSize{-1, -1};
};
