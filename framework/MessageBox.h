// Message boxes with texts from the string table, and the %1..%9 formatting of those texts.
#pragma once

#include <windows.h>

#include <string>

// Loads a string resource of any length (from AfxGetResourceHandle(), or hInst); empty when
// missing. The framework's own strings (AFX_IDP_*, AFX_IDS_*) fall back to built-in English
// texts when the program's resources lack them.
std::string LoadResString(UINT nID, HINSTANCE hInst = nullptr);
// TRUE when the string is in the table (or is one of the framework's own). A string table
// cannot hold an empty string: an empty entry counts as missing.
BOOL AfxLoadString(UINT nID, std::string& out, HINSTANCE hInst = nullptr);

// Replaces %1..%9 in lpszFormat with the arguments (a missing or null argument gives an empty
// text); any other character, including other uses of '%', is copied as it is.
void AfxFormatStrings(std::string& rString, LPCSTR lpszFormat, const LPCSTR* rglpsz, int nString);
void AfxFormatStrings(std::string& rString, UINT nIDS, const LPCSTR* rglpsz, int nString);
void AfxFormatString1(std::string& rString, UINT nIDS, LPCSTR lpsz1);
void AfxFormatString2(std::string& rString, UINT nIDS, LPCSTR lpsz1, LPCSTR lpsz2);

// Shows a message box owned by the active window of this program (or the main window when it
// is visible), captioned with the application title. Without an icon flag, MB_OK/MB_OKCANCEL
// get the exclamation icon and MB_YESNO/MB_YESNOCANCEL the question icon.
int AfxMessageBox(LPCSTR lpszText, UINT nType = MB_OK, UINT nIDHelp = 0);
// The text is string nIDPrompt.
int AfxMessageBox(UINT nIDPrompt, UINT nType = MB_OK, UINT nIDHelp = (UINT)-1);

// Every message box of the framework is shown by one function, which tests and drivers may
// replace to see the text and answer it. Returns the previous function. Null restores the
// platform's MessageBox.
using AfxMessageBoxFn = int (*)(HWND hOwner, LPCSTR lpszText, LPCSTR lpszCaption, UINT nType);
AfxMessageBoxFn AfxSetMessageBoxFunction(AfxMessageBoxFn fn);
// Shows a box through the current function (after the default icon rule above).
int AfxShowMessageBox(HWND hOwner, LPCSTR lpszText, LPCSTR lpszCaption, UINT nType);
// The owner AfxMessageBox would use now.
HWND AfxGetSafeOwner();
