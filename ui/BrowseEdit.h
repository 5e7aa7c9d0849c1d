// CBrowseEdit: a path field with a browse button at its right end. In folder mode (style bit
// 0x4000) the button opens the system's folder browser, starting at the folder in the field when
// it exists; otherwise it opens the open dialog. The chosen path goes into the field.
//
// In a dialog template: CONTROL "", id, "LumatreBrowseEdit", WS_TABSTOP | 0x4000, x, y, w, h
// (call CBrowseEdit::RegisterClass() before the dialog is made), then SubclassDlgItem, or
// Create it as a child.
#pragma once

#include <windows.h>

#include <string>

#include "framework/Framework.h"

class CBrowseEdit : public CWnd {
 public:
  static constexpr DWORD kFolderModeStyle = 0x4000;
  static constexpr char kClassName[] = "LumatreBrowseEdit";
  static constexpr int kEditId = 1;
  static constexpr int kButtonId = 2;

  // Registers the window class (once).
  static BOOL RegisterClass();

  BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

  bool IsFolderMode() const { return (GetStyle() & kFolderModeStyle) != 0; }
  std::string GetPath() const;
  void SetPath(const std::string& path);
  // The folder browser's title and a configured first folder (empty: the field's text).
  void SetBrowseTitle(const std::string& title) { m_title = title; }
  void SetInitialFolder(const std::string& folder) { m_initialFolder = folder; }
  // The filter of the file mode's dialog ("description|patterns|...|").
  void SetFileFilter(const std::string& filter) { m_fileFilter = filter; }

  HWND GetEdit() const { return m_edit; }
  HWND GetButton() const { return m_button; }

  // The edit takes width - height, the button a height x height square at the right.
  static void Layout(int width, int height, RECT& edit, RECT& button);
  // The edit's style from the control's: clipped child, with the control's visible, disabled
  // and edit alignment bits.
  static DWORD EditStyleFrom(DWORD controlStyle);

  // What the button does (public so that a dialog can offer it through a key too).
  void Browse();

 protected:
  int OnCreate(LPCREATESTRUCT cs);
  void OnSize(UINT type, int cx, int cy);
  void OnSetFocus(HWND oldFocus);
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
  void PreSubclassWindow() override;

  DECLARE_MESSAGE_MAP()

 private:
  void MakeChildren(DWORD style);
  void BrowseForFolder();
  void BrowseForFile();
  static int CALLBACK BrowseCallback(HWND hwnd, UINT message, LPARAM lParam, LPARAM data);

  HWND m_edit = nullptr;
  HWND m_button = nullptr;
  std::string m_title = "Browse for Folder";
  std::string m_initialFolder;
  std::string m_fileFilter;
  char m_displayName[MAX_PATH] = {};
};
