#include "BrowseEdit.h"

#include <shlobj.h>

#include "framework/FileDialog.h"

BEGIN_MESSAGE_MAP(CBrowseEdit, CWnd)
  ON_WM_CREATE()
  ON_WM_SIZE()
  ON_WM_SETFOCUS()
END_MESSAGE_MAP()

BOOL CBrowseEdit::RegisterClass() {
  return AfxRegisterNamedWndClass(kClassName, 0, ::LoadCursor(nullptr, IDC_ARROW),
                                  reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)) != nullptr;
}

BOOL CBrowseEdit::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
  if (!RegisterClass()) return FALSE;
  return CWnd::Create(kClassName, "", dwStyle | WS_CHILD, rect, pParentWnd, nID);
}

void CBrowseEdit::Layout(int width, int height, RECT& edit, RECT& button) {
  if (width < 0) width = 0;
  if (height < 0) height = 0;
  const int editWidth = width > height ? width - height : 0;
  edit = RECT{0, 0, editWidth, height};
  button = RECT{editWidth, 0, editWidth + height, height};
}

DWORD CBrowseEdit::EditStyleFrom(DWORD controlStyle) {
  return WS_CHILD | WS_CLIPSIBLINGS | ES_AUTOHSCROLL | WS_TABSTOP |
         (controlStyle & (WS_VISIBLE | WS_DISABLED | ES_LEFT | ES_CENTER | ES_RIGHT));
}

void CBrowseEdit::MakeChildren(DWORD style) {
  if (m_edit) return;
  RECT client = GetClientRect();
  RECT edit, button;
  Layout(client.right, client.bottom, edit, button);
  HINSTANCE instance = reinterpret_cast<HINSTANCE>(::GetWindowLongPtrA(m_hWnd, GWLP_HINSTANCE));
  m_edit = ::CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "", EditStyleFrom(style) | WS_VISIBLE, edit.left, edit.top,
                             edit.right - edit.left, edit.bottom - edit.top, m_hWnd,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(kEditId)), instance, nullptr);
  m_button = ::CreateWindowExA(0, "BUTTON", "...", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, button.left,
                               button.top, button.right - button.left, button.bottom - button.top, m_hWnd,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(kButtonId)), instance, nullptr);
  HFONT font = reinterpret_cast<HFONT>(::SendMessageA(::GetParent(m_hWnd), WM_GETFONT, 0, 0));
  if (font) {
    ::SendMessageA(m_edit, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    ::SendMessageA(m_button, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  }
  if (style & WS_DISABLED) ::EnableWindow(m_button, FALSE);
}

int CBrowseEdit::OnCreate(LPCREATESTRUCT cs) {
  if (CWnd::OnCreate(cs) == -1) return -1;
  MakeChildren(cs->style);
  return 0;
}

void CBrowseEdit::PreSubclassWindow() {
  // A control of a dialog template exists already: its parts are made now.
  if (!(m_nFlags & WF_CREATING)) MakeChildren(GetStyle());
}

void CBrowseEdit::OnSize(UINT type, int cx, int cy) {
  CWnd::OnSize(type, cx, cy);
  RECT edit, button;
  Layout(cx, cy, edit, button);
  if (m_edit) ::MoveWindow(m_edit, edit.left, edit.top, edit.right - edit.left, edit.bottom - edit.top, TRUE);
  if (m_button)
    ::MoveWindow(m_button, button.left, button.top, button.right - button.left, button.bottom - button.top, TRUE);
}

void CBrowseEdit::OnSetFocus(HWND) {
  if (m_edit) ::SetFocus(m_edit);
}

std::string CBrowseEdit::GetPath() const { return AfxGetWindowText(m_edit); }

void CBrowseEdit::SetPath(const std::string& path) {
  if (m_edit) ::SetWindowTextA(m_edit, path.c_str());
}

BOOL CBrowseEdit::OnCommand(WPARAM wParam, LPARAM lParam) {
  if (LOWORD(wParam) == kButtonId && HIWORD(wParam) == BN_CLICKED) {
    Browse();
    return TRUE;
  }
  // The edit's notifications go on to the dialog as the control's own.
  if (LOWORD(wParam) == kEditId && reinterpret_cast<HWND>(lParam) == m_edit) {
    ::SendMessageA(::GetParent(m_hWnd), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(), HIWORD(wParam)),
                   reinterpret_cast<LPARAM>(m_hWnd));
    return TRUE;
  }
  return CWnd::OnCommand(wParam, lParam);
}

void CBrowseEdit::Browse() {
  if (IsFolderMode())
    BrowseForFolder();
  else
    BrowseForFile();
}

int CALLBACK CBrowseEdit::BrowseCallback(HWND hwnd, UINT message, LPARAM, LPARAM data) {
  if (message == BFFM_INITIALIZED && data) ::SendMessageA(hwnd, BFFM_SETSELECTIONA, TRUE, data);
  return 0;
}

void CBrowseEdit::BrowseForFolder() {
  std::string start = m_initialFolder;
  if (start.empty()) {
    std::string text = GetPath();
    DWORD attributes = ::GetFileAttributesA(text.c_str());
    if (!text.empty() && attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) start = text;
  }
  BROWSEINFOA info{};
  info.hwndOwner = m_hWnd;
  info.pszDisplayName = m_displayName;
  info.lpszTitle = m_title.c_str();
  info.ulFlags = BIF_RETURNONLYFSDIRS;
  info.lpfn = &CBrowseEdit::BrowseCallback;
  info.lParam = start.empty() ? 0 : reinterpret_cast<LPARAM>(start.c_str());
  LPITEMIDLIST chosen = ::SHBrowseForFolderA(&info);
  if (!chosen) return;
  char path[MAX_PATH] = {};
  if (::SHGetPathFromIDListA(chosen, path)) SetPath(path);
  ::CoTaskMemFree(chosen);
}

void CBrowseEdit::BrowseForFile() {
  CFileDialog dlg(TRUE, nullptr, GetPath().c_str(), OFN_HIDEREADONLY | OFN_FILEMUSTEXIST,
                  m_fileFilter.empty() ? nullptr : m_fileFilter.c_str(), this);
  if (dlg.DoModal() == IDOK) SetPath(dlg.GetPathName());
}
