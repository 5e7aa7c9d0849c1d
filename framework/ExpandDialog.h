// CExpandDialog: a dialog with an "advanced" part that a toggle button shows and hides. The
// template holds the whole dialog; a marker control marks where the collapsed dialog ends (its
// bottom-right corner). Collapsed, the dialog ends at the marker and the controls that lie
// wholly beyond it are disabled, so the keyboard cannot reach them; expanded, it has its full
// size again. The toggle button shows the text of the state it leads away from
// ("A&dvanced >>" collapsed, "A&dvanced <<" expanded).
//
//   class CMyDlg : public CExpandDialog {
//     CMyDlg() : CExpandDialog(IDD, IDC_ADVANCED, IDC_MARKER, "A&dvanced >>", "A&dvanced <<") {}
//   };
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "Dialog.h"

class CExpandDialog : public CDialog {
 public:
  CExpandDialog(UINT nIDTemplate, UINT nIDToggle, UINT nIDMarker, const char* collapsedText,
                const char* expandedText, CWnd* pParentWnd = nullptr);

  BOOL IsExpanded() const { return m_bExpanded; }
  // Expands (TRUE) or collapses the dialog, asking OnDialogExpanding first.
  void Expand(BOOL bExpand);
  // Whether the toggle may expand the dialog at all (when not, it is disabled when pressed).
  void EnableExpanding(BOOL bAllow) { m_bAllowExpand = bAllow; }

  // Whether a control lies wholly outside the part that stays when collapsed (the rectangle
  // from the dialog's top-left to the marker's bottom-right, in the same coordinates).
  static bool LiesBeyondMarker(const RECT& control, const RECT& kept);

 protected:
  // Asked before a change (FALSE keeps the state) and told after it.
  virtual BOOL OnDialogExpanding(BOOL bExpanding) { return TRUE; }
  virtual void OnDialogExpanded(BOOL bExpanded) {}

  BOOL OnInitDialog() override;
  void OnToggle();
  BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra) override;

  // The controls beyond the marker are enabled while expanded; the state given here is what
  // a derived dialog wants for them otherwise (it may keep some of them disabled).
  virtual void EnableBeyondMarker(BOOL bEnable);

  UINT m_nIDToggle;
  UINT m_nIDMarker;
  std::string m_collapsedText;
  std::string m_expandedText;
  SIZE m_fullSize{0, 0};
  BOOL m_bExpanded = TRUE;
  BOOL m_bAllowExpand = TRUE;

 private:
  // The children beyond the marker (window handles, found once).
  std::vector<HWND> m_beyondMarker;
};
