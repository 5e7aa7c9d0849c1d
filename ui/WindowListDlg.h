// CWindowListDlg: "Windows" (dialog 130), the list of the image windows with what can be done to
// several at once: activate one, save, close, minimise, cascade or tile the selected ones. The
// list shows each window's class icon and title, sorted by title.
#pragma once

#include <windows.h>

#include <vector>

#include "framework/Framework.h"
#include "ui/WindowListRules.h"

class CWindowListDlg : public CDialog {
 public:
  CWindowListDlg(HWND mdiClient, CWnd* pParent = nullptr);

  BOOL OnInitDialog() override;

  // The selected windows, in list order.
  std::vector<HWND> SelectedWindows() const;

 protected:
  void OnSelChange();
  void OnActivate();
  void OnCloseWindows();
  void OnSave();
  void OnMinimize();
  void OnCascade();
  void OnTileHorizontal();
  void OnTileVertical();
  void OnMeasureItem(int controlId, LPMEASUREITEMSTRUCT mis);
  void OnDrawItem(int controlId, LPDRAWITEMSTRUCT dis);

  DECLARE_MESSAGE_MAP()

 private:
  HWND List() const;
  // Fill, select the active window, enable the buttons.
  void Refill();
  void Fill();
  void SelectActive();
  void UpdateButtons();
  // With the workspace's drawing locked: the selected windows restored, the others minimised,
  // then the arrangement message.
  void Arrange(UINT message, WPARAM how);

  HWND m_client;
};
