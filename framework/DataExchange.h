// Dialog data exchange (DDX_) and validation (DDV_).
//
// DoDataExchange lists, per control, a DDX_ call (moves the value between the control and a
// member) optionally followed by DDV_ calls for the same value. When saving (controls to
// members), a value that does not parse or is out of range shows the framework's standard
// message ("Please enter an integer between %1 and %2." ...), focuses and selects the control
// and throws CUserException, which UpdateData catches (it then returns FALSE).
#pragma once

#include <windows.h>

#include <string>

class CWnd;

// Thrown by CDataExchange::Fail after the user was told; nothing else to report.
struct CUserException {};

class CDataExchange {
 public:
  CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate);

  BOOL m_bSaveAndValidate;  // TRUE: controls -> members (and validate)
  CWnd* m_pDlgWnd;

  // The control with that id (remembered for DDV_ and Fail); an edit control is marked so Fail
  // selects its text.
  HWND PrepareCtrl(int nIDC);
  HWND PrepareEditCtrl(int nIDC);
  // Focuses (and for edits selects) the last prepared control, then throws CUserException.
  [[noreturn]] void Fail();

  int m_idLastControl = 0;
  BOOL m_bEditLastControl = FALSE;
};

// Text of edit-like controls. Saving parses the text (blanks around the number allowed);
// loading writes the value in decimal.
void DDX_Text(CDataExchange* pDX, int nIDC, int& value);
void DDX_Text(CDataExchange* pDX, int nIDC, UINT& value);
void DDX_Text(CDataExchange* pDX, int nIDC, long& value);
void DDX_Text(CDataExchange* pDX, int nIDC, DWORD& value);
void DDX_Text(CDataExchange* pDX, int nIDC, short& value);
void DDX_Text(CDataExchange* pDX, int nIDC, WORD& value);
void DDX_Text(CDataExchange* pDX, int nIDC, BYTE& value);
void DDX_Text(CDataExchange* pDX, int nIDC, float& value);
void DDX_Text(CDataExchange* pDX, int nIDC, double& value);
void DDX_Text(CDataExchange* pDX, int nIDC, std::string& value);
// A zero-terminated buffer of nMaxLen bytes (text longer than nMaxLen - 1 is refused with the
// string-size message when saving).
void DDX_Text(CDataExchange* pDX, int nIDC, char* value, int nMaxLen);

// Check box state: 0 clear, 1 checked, 2 indeterminate.
void DDX_Check(CDataExchange* pDX, int nIDC, int& value);
// Radio group starting at nIDC (the button with WS_GROUP): index of the checked button, -1 none.
void DDX_Radio(CDataExchange* pDX, int nIDC, int& value);
// Selected index of a combo box / list box (-1 none).
void DDX_CBIndex(CDataExchange* pDX, int nIDC, int& index);
void DDX_LBIndex(CDataExchange* pDX, int nIDC, int& index);
// Text of a combo box: loading selects the first item starting with value (or sets the edit
// text of an editable combo box); saving reads the edit text or the selected item.
void DDX_CBString(CDataExchange* pDX, int nIDC, std::string& value);
// Binds a control to a CWnd object (subclassed the first time).
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);

// Range checks, run only when saving; the value is the one just exchanged.
void DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal);
void DDV_MinMaxUInt(CDataExchange* pDX, UINT value, UINT minVal, UINT maxVal);
void DDV_MinMaxLong(CDataExchange* pDX, long value, long minVal, long maxVal);
void DDV_MinMaxDWord(CDataExchange* pDX, DWORD value, DWORD minVal, DWORD maxVal);
void DDV_MinMaxShort(CDataExchange* pDX, short value, short minVal, short maxVal);
void DDV_MinMaxByte(CDataExchange* pDX, BYTE value, BYTE minVal, BYTE maxVal);
void DDV_MinMaxFloat(CDataExchange* pDX, float value, float minVal, float maxVal);
void DDV_MinMaxDouble(CDataExchange* pDX, double value, double minVal, double maxVal);
// Refuses texts longer than nChars when saving; when loading, limits the edit control to nChars.
void DDV_MaxChars(CDataExchange* pDX, const std::string& value, int nChars);

// Parsing rules used by DDX_Text, exposed for tests and other callers: the whole text must be
// a number (blanks around it allowed) within the type's range.
bool AfxParseSigned(const char* text, long long minVal, long long maxVal, long long& out);
bool AfxParseUnsigned(const char* text, unsigned long long maxVal, unsigned long long& out);
bool AfxParseReal(const char* text, double& out);
