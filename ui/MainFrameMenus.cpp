// The menus of the main frame: every popup that opens gets its capture commands labelled with
// their hotkeys, its items updated, and its items drawn by the program with command images.
#include "MainFrame.h"

#include "QuorvaHook.h"
#include "ui/MainFrameApp.h"

void CMainFrame::OnInitMenuPopup(HMENU popup, UINT index, BOOL sysMenu) {
  if (sysMenu) {
    CMDIFrameWnd::OnInitMenuPopup(popup, index, sysMenu);
    return;
  }
  UpdateHotkeyLabels(popup);
  CMDIFrameWnd::OnInitMenuPopup(popup, index, sysMenu);
  // After the update: the recent files it may have added are drawn alike.
  m_menus.AttachImages(popup);
}

void CMainFrame::UpdateHotkeyLabels(HMENU popup) {
  if (m_modeNames.empty()) return;
  WORD codes[kHookHotkeySlots] = {};
  TSY_GetCaptureHotKey(codes);
  ApplyHotkeyLabels(popup, m_modeNames, m_keyNames, codes, FrameSettings().m_hotkeys.registered);
}

void CMainFrame::OnMeasureItem(int controlId, LPMEASUREITEMSTRUCT mis) {
  if (!m_menus.MeasureItem(mis)) CMDIFrameWnd::OnMeasureItem(controlId, mis);
}

void CMainFrame::OnDrawItem(int controlId, LPDRAWITEMSTRUCT dis) {
  if (!m_menus.DrawItem(dis)) CMDIFrameWnd::OnDrawItem(controlId, dis);
}
