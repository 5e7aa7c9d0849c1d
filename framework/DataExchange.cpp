#include "DataExchange.h"

#include <cerrno>
#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "FrameworkRes.h"
#include "MessageBox.h"
#include "Wnd.h"

CDataExchange::CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
    : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd) {}

HWND CDataExchange::PrepareCtrl(int nIDC) {
  m_idLastControl = nIDC;
  m_bEditLastControl = FALSE;
  return m_pDlgWnd && m_pDlgWnd->m_hWnd ? ::GetDlgItem(m_pDlgWnd->m_hWnd, nIDC) : nullptr;
}

HWND CDataExchange::PrepareEditCtrl(int nIDC) {
  HWND h = PrepareCtrl(nIDC);
  m_bEditLastControl = TRUE;
  return h;
}

void CDataExchange::Fail() {
  if (m_bSaveAndValidate && m_pDlgWnd && m_pDlgWnd->m_hWnd && m_idLastControl != 0) {
    HWND dlg = m_pDlgWnd->m_hWnd;
    HWND ctl = ::GetDlgItem(dlg, m_idLastControl);
    if (ctl) {
      // Through the dialog manager so the default button follows the focus.
      ::SendMessageA(dlg, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(ctl), TRUE);
      if (::GetFocus() != ctl) ::SetFocus(ctl);
      if (m_bEditLastControl) ::SendMessageA(ctl, EM_SETSEL, 0, -1);
    }
  }
  throw CUserException{};
}

// --- Parsing ---

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

const char* SkipBlanks(const char* p) {
  while (*p && IsBlank(*p)) ++p;
  return p;
}

// Digits with an optional sign; fills magnitude (saturated) and whether it overflowed.
enum class ParseResult { Ok, Syntax, OutOfRange };

ParseResult ParseInteger(const char* text, bool allowMinus, bool& negative, unsigned long long& magnitude) {
  negative = false;
  magnitude = 0;
  if (!text) return ParseResult::Syntax;
  const char* p = SkipBlanks(text);
  if (*p == '+' || *p == '-') {
    negative = *p == '-';
    ++p;
  }
  if (*p < '0' || *p > '9') return ParseResult::Syntax;
  bool overflow = false;
  for (; *p >= '0' && *p <= '9'; ++p) {
    unsigned digit = static_cast<unsigned>(*p - '0');
    if (magnitude > (ULLONG_MAX - digit) / 10)
      overflow = true;
    else
      magnitude = magnitude * 10 + digit;
  }
  p = SkipBlanks(p);
  if (*p) return ParseResult::Syntax;
  if (negative && !allowMinus && magnitude != 0) return ParseResult::Syntax;
  return overflow ? ParseResult::OutOfRange : ParseResult::Ok;
}

ParseResult ParseSignedChecked(const char* text, long long minVal, long long maxVal, long long& out) {
  bool negative;
  unsigned long long mag;
  ParseResult r = ParseInteger(text, true, negative, mag);
  if (r != ParseResult::Ok) return r;
  if (negative) {
    // -mag >= minVal  <=>  mag <= -minVal
    unsigned long long limit = minVal < 0 ? static_cast<unsigned long long>(-(minVal + 1)) + 1 : 0;
    if (mag > limit) return ParseResult::OutOfRange;
    out = mag == 0 ? 0 : -static_cast<long long>(mag - 1) - 1;
  } else {
    if (maxVal < 0 || mag > static_cast<unsigned long long>(maxVal)) return ParseResult::OutOfRange;
    out = static_cast<long long>(mag);
  }
  if (out < minVal || out > maxVal) return ParseResult::OutOfRange;
  return ParseResult::Ok;
}

ParseResult ParseUnsignedChecked(const char* text, unsigned long long maxVal, unsigned long long& out) {
  bool negative;
  unsigned long long mag;
  ParseResult r = ParseInteger(text, false, negative, mag);
  if (r != ParseResult::Ok) return r;
  if (mag > maxVal) return ParseResult::OutOfRange;
  out = mag;
  return ParseResult::Ok;
}

// Shows the range message with the two limits and fails.
[[noreturn]] void FailRange(CDataExchange* pDX, UINT nIDPrompt, const char* lo, const char* hi) {
  std::string prompt;
  AfxFormatString2(prompt, nIDPrompt, lo, hi);
  AfxMessageBox(prompt.c_str(), MB_ICONEXCLAMATION, nIDPrompt);
  pDX->Fail();
}

[[noreturn]] void FailMessage(CDataExchange* pDX, UINT nIDPrompt) {
  AfxMessageBox(nIDPrompt, MB_ICONEXCLAMATION);
  pDX->Fail();
}

template <typename T>
void TextSigned(CDataExchange* pDX, int nIDC, T& value, long long minVal, long long maxVal) {
  HWND h = pDX->PrepareEditCtrl(nIDC);
  if (!h) return;
  if (pDX->m_bSaveAndValidate) {
    long long v = 0;
    switch (ParseSignedChecked(AfxGetWindowText(h).c_str(), minVal, maxVal, v)) {
      case ParseResult::Ok:
        value = static_cast<T>(v);
        return;
      case ParseResult::Syntax:
        FailMessage(pDX, AFX_IDP_PARSE_INT);
      case ParseResult::OutOfRange: {
        char lo[32], hi[32];
        std::snprintf(lo, sizeof(lo), "%lld", minVal);
        std::snprintf(hi, sizeof(hi), "%lld", maxVal);
        FailRange(pDX, AFX_IDP_PARSE_INT_RANGE, lo, hi);
      }
    }
  } else {
    char buf[32];
    std::snprintf(buf, sizeof(buf), "%lld", static_cast<long long>(value));
    ::SetWindowTextA(h, buf);
  }
}

template <typename T>
void TextUnsigned(CDataExchange* pDX, int nIDC, T& value, unsigned long long maxVal, UINT nIDParse) {
  HWND h = pDX->PrepareEditCtrl(nIDC);
  if (!h) return;
  if (pDX->m_bSaveAndValidate) {
    unsigned long long v = 0;
    switch (ParseUnsignedChecked(AfxGetWindowText(h).c_str(), maxVal, v)) {
      case ParseResult::Ok:
        value = static_cast<T>(v);
        return;
      case ParseResult::Syntax:
        FailMessage(pDX, nIDParse);
      case ParseResult::OutOfRange: {
        char hi[32];
        std::snprintf(hi, sizeof(hi), "%llu", maxVal);
        FailRange(pDX, AFX_IDP_PARSE_INT_RANGE, "0", hi);
      }
    }
  } else {
    char buf[32];
    std::snprintf(buf, sizeof(buf), "%llu", static_cast<unsigned long long>(value));
    ::SetWindowTextA(h, buf);
  }
}

template <typename T>
void TextReal(CDataExchange* pDX, int nIDC, T& value, int digits) {
  HWND h = pDX->PrepareEditCtrl(nIDC);
  if (!h) return;
  if (pDX->m_bSaveAndValidate) {
    double v = 0;
    if (!AfxParseReal(AfxGetWindowText(h).c_str(), v)) FailMessage(pDX, AFX_IDP_PARSE_REAL);
    if (std::fabs(v) > static_cast<double>(std::numeric_limits<T>::max())) FailMessage(pDX, AFX_IDP_PARSE_REAL);
    value = static_cast<T>(v);
  } else {
    char buf[64];
    std::snprintf(buf, sizeof(buf), "%.*g", digits, static_cast<double>(value));
    ::SetWindowTextA(h, buf);
  }
}

}  // namespace

bool AfxParseSigned(const char* text, long long minVal, long long maxVal, long long& out) {
  long long v = 0;
  if (ParseSignedChecked(text, minVal, maxVal, v) != ParseResult::Ok) return false;
  out = v;
  return true;
}

bool AfxParseUnsigned(const char* text, unsigned long long maxVal, unsigned long long& out) {
  unsigned long long v = 0;
  if (ParseUnsignedChecked(text, maxVal, v) != ParseResult::Ok) return false;
  out = v;
  return true;
}

bool AfxParseReal(const char* text, double& out) {
  if (!text) return false;
  const char* p = SkipBlanks(text);
  if (!*p) return false;
  // Plain decimal notation only: no hexadecimal, infinities or NaNs.
  for (const char* q = p; *q; ++q) {
    char c = *q;
    if (!((c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.' || c == 'e' || c == 'E' || IsBlank(c))) return false;
  }
  char* end = nullptr;
  errno = 0;
  double v = std::strtod(p, &end);
  if (end == p) return false;
  if (*SkipBlanks(end)) return false;
  if (errno == ERANGE && std::fabs(v) > 1.0) return false;  // overflow; underflow to 0 is fine
  if (!std::isfinite(v)) return false;
  out = v;
  return true;
}

void DDX_Text(CDataExchange* pDX, int nIDC, int& value) { TextSigned(pDX, nIDC, value, INT_MIN, INT_MAX); }
void DDX_Text(CDataExchange* pDX, int nIDC, long& value) { TextSigned(pDX, nIDC, value, LONG_MIN, LONG_MAX); }
void DDX_Text(CDataExchange* pDX, int nIDC, short& value) { TextSigned(pDX, nIDC, value, SHRT_MIN, SHRT_MAX); }
void DDX_Text(CDataExchange* pDX, int nIDC, UINT& value) { TextUnsigned(pDX, nIDC, value, UINT_MAX, AFX_IDP_PARSE_UINT); }
void DDX_Text(CDataExchange* pDX, int nIDC, DWORD& value) { TextUnsigned(pDX, nIDC, value, ULONG_MAX, AFX_IDP_PARSE_UINT); }
void DDX_Text(CDataExchange* pDX, int nIDC, WORD& value) { TextUnsigned(pDX, nIDC, value, USHRT_MAX, AFX_IDP_PARSE_UINT); }
void DDX_Text(CDataExchange* pDX, int nIDC, BYTE& value) {
  HWND h = pDX->PrepareEditCtrl(nIDC);
  if (!h) return;
  if (pDX->m_bSaveAndValidate) {
    unsigned long long v = 0;
    if (ParseUnsignedChecked(AfxGetWindowText(h).c_str(), 255, v) != ParseResult::Ok) FailMessage(pDX, AFX_IDP_PARSE_BYTE);
    value = static_cast<BYTE>(v);
  } else {
    char buf[8];
    std::snprintf(buf, sizeof(buf), "%u", static_cast<unsigned>(value));
    ::SetWindowTextA(h, buf);
  }
}
void DDX_Text(CDataExchange* pDX, int nIDC, float& value) { TextReal(pDX, nIDC, value, FLT_DIG); }
void DDX_Text(CDataExchange* pDX, int nIDC, double& value) { TextReal(pDX, nIDC, value, DBL_DIG); }

void DDX_Text(CDataExchange* pDX, int nIDC, std::string& value) {
  HWND h = pDX->PrepareEditCtrl(nIDC);
  if (!h) return;
  if (pDX->m_bSaveAndValidate)
    value = AfxGetWindowText(h);
  else
    ::SetWindowTextA(h, value.c_str());
}

void DDX_Text(CDataExchange* pDX, int nIDC, char* value, int nMaxLen) {
  if (!value || nMaxLen <= 0) return;
  HWND h = pDX->PrepareEditCtrl(nIDC);
  if (!h) return;
  if (pDX->m_bSaveAndValidate) {
    std::string text = AfxGetWindowText(h);
    if (text.size() >= static_cast<size_t>(nMaxLen)) {
      char n[16];
      std::snprintf(n, sizeof(n), "%d", nMaxLen - 1);
      std::string prompt;
      AfxFormatString1(prompt, AFX_IDP_PARSE_STRING_SIZE, n);
      AfxMessageBox(prompt.c_str(), MB_ICONEXCLAMATION, AFX_IDP_PARSE_STRING_SIZE);
      pDX->Fail();
    }
    std::memcpy(value, text.c_str(), text.size() + 1);
  } else {
    std::string text(value, strnlen(value, static_cast<size_t>(nMaxLen)));
    ::SetWindowTextA(h, text.c_str());
    ::SendMessageA(h, EM_LIMITTEXT, static_cast<WPARAM>(nMaxLen - 1), 0);
  }
}

void DDX_Check(CDataExchange* pDX, int nIDC, int& value) {
  HWND h = pDX->PrepareCtrl(nIDC);
  if (!h) return;
  if (pDX->m_bSaveAndValidate) {
    value = static_cast<int>(::SendMessageA(h, BM_GETCHECK, 0, 0));
  } else {
    int state = (value >= 0 && value <= 2) ? value : 0;
    ::SendMessageA(h, BM_SETCHECK, static_cast<WPARAM>(state), 0);
  }
}

void DDX_Radio(CDataExchange* pDX, int nIDC, int& value) {
  HWND h = pDX->PrepareCtrl(nIDC);
  if (!h) return;
  if (pDX->m_bSaveAndValidate) value = -1;
  int index = 0;
  do {
    if (::SendMessageA(h, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON) {
      if (pDX->m_bSaveAndValidate) {
        if (::SendMessageA(h, BM_GETCHECK, 0, 0) != BST_UNCHECKED) value = index;
      } else {
        ::SendMessageA(h, BM_SETCHECK, index == value ? BST_CHECKED : BST_UNCHECKED, 0);
      }
      ++index;
    }
    h = ::GetWindow(h, GW_HWNDNEXT);
  } while (h && !(::GetWindowLongPtrA(h, GWL_STYLE) & WS_GROUP));
}

void DDX_CBIndex(CDataExchange* pDX, int nIDC, int& index) {
  HWND h = pDX->PrepareCtrl(nIDC);
  if (!h) return;
  if (pDX->m_bSaveAndValidate)
    index = static_cast<int>(::SendMessageA(h, CB_GETCURSEL, 0, 0));
  else
    ::SendMessageA(h, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void DDX_LBIndex(CDataExchange* pDX, int nIDC, int& index) {
  HWND h = pDX->PrepareCtrl(nIDC);
  if (!h) return;
  if (pDX->m_bSaveAndValidate)
    index = static_cast<int>(::SendMessageA(h, LB_GETCURSEL, 0, 0));
  else
    ::SendMessageA(h, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void DDX_CBString(CDataExchange* pDX, int nIDC, std::string& value) {
  HWND h = pDX->PrepareCtrl(nIDC);
  if (!h) return;
  bool editable = (::GetWindowLongPtrA(h, GWL_STYLE) & 0x3) != CBS_DROPDOWNLIST;
  if (pDX->m_bSaveAndValidate) {
    if (editable) {
      value = AfxGetWindowText(h);
    } else {
      LRESULT sel = ::SendMessageA(h, CB_GETCURSEL, 0, 0);
      value.clear();
      if (sel != CB_ERR) {
        LRESULT len = ::SendMessageA(h, CB_GETLBTEXTLEN, static_cast<WPARAM>(sel), 0);
        if (len != CB_ERR) {
          std::string s(static_cast<size_t>(len) + 1, '\0');
          LRESULT got = ::SendMessageA(h, CB_GETLBTEXT, static_cast<WPARAM>(sel), reinterpret_cast<LPARAM>(s.data()));
          s.resize(got > 0 ? static_cast<size_t>(got) : 0);
          value = std::move(s);
        }
      }
    }
  } else {
    if (::SendMessageA(h, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(value.c_str())) == CB_ERR &&
        editable)
      ::SetWindowTextA(h, value.c_str());
  }
}

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl) {
  if (rControl.m_hWnd) return;
  HWND h = pDX->PrepareCtrl(nIDC);
  if (h) rControl.SubclassWindow(h);
}

// --- Validation ---

void DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal) {
  DDV_MinMaxLong(pDX, value, minVal, maxVal);
}

void DDV_MinMaxShort(CDataExchange* pDX, short value, short minVal, short maxVal) {
  DDV_MinMaxLong(pDX, value, minVal, maxVal);
}

void DDV_MinMaxLong(CDataExchange* pDX, long value, long minVal, long maxVal) {
  if (!pDX->m_bSaveAndValidate) return;
  if (value < minVal || value > maxVal) {
    char lo[32], hi[32];
    std::snprintf(lo, sizeof(lo), "%ld", minVal);
    std::snprintf(hi, sizeof(hi), "%ld", maxVal);
    FailRange(pDX, AFX_IDP_PARSE_INT_RANGE, lo, hi);
  }
}

void DDV_MinMaxUInt(CDataExchange* pDX, UINT value, UINT minVal, UINT maxVal) {
  DDV_MinMaxDWord(pDX, value, minVal, maxVal);
}

void DDV_MinMaxByte(CDataExchange* pDX, BYTE value, BYTE minVal, BYTE maxVal) {
  DDV_MinMaxDWord(pDX, value, minVal, maxVal);
}

void DDV_MinMaxDWord(CDataExchange* pDX, DWORD value, DWORD minVal, DWORD maxVal) {
  if (!pDX->m_bSaveAndValidate) return;
  if (value < minVal || value > maxVal) {
    char lo[32], hi[32];
    std::snprintf(lo, sizeof(lo), "%lu", static_cast<unsigned long>(minVal));
    std::snprintf(hi, sizeof(hi), "%lu", static_cast<unsigned long>(maxVal));
    FailRange(pDX, AFX_IDP_PARSE_INT_RANGE, lo, hi);
  }
}

void DDV_MinMaxFloat(CDataExchange* pDX, float value, float minVal, float maxVal) {
  if (!pDX->m_bSaveAndValidate) return;
  if (value < minVal || value > maxVal) {
    char lo[64], hi[64];
    std::snprintf(lo, sizeof(lo), "%.*g", FLT_DIG, static_cast<double>(minVal));
    std::snprintf(hi, sizeof(hi), "%.*g", FLT_DIG, static_cast<double>(maxVal));
    FailRange(pDX, AFX_IDP_PARSE_REAL_RANGE, lo, hi);
  }
}

void DDV_MinMaxDouble(CDataExchange* pDX, double value, double minVal, double maxVal) {
  if (!pDX->m_bSaveAndValidate) return;
  if (value < minVal || value > maxVal) {
    char lo[64], hi[64];
    std::snprintf(lo, sizeof(lo), "%.*g", DBL_DIG, minVal);
    std::snprintf(hi, sizeof(hi), "%.*g", DBL_DIG, maxVal);
    FailRange(pDX, AFX_IDP_PARSE_REAL_RANGE, lo, hi);
  }
}

void DDV_MaxChars(CDataExchange* pDX, const std::string& value, int nChars) {
  if (nChars < 0) nChars = 0;
  if (pDX->m_bSaveAndValidate) {
    if (value.size() > static_cast<size_t>(nChars)) {
      char n[16];
      std::snprintf(n, sizeof(n), "%d", nChars);
      std::string prompt;
      AfxFormatString1(prompt, AFX_IDP_PARSE_STRING_SIZE, n);
      AfxMessageBox(prompt.c_str(), MB_ICONEXCLAMATION, AFX_IDP_PARSE_STRING_SIZE);
      pDX->Fail();
    }
  } else if (pDX->m_idLastControl != 0 && pDX->m_bEditLastControl && pDX->m_pDlgWnd) {
    HWND h = ::GetDlgItem(pDX->m_pDlgWnd->m_hWnd, pDX->m_idLastControl);
    if (h) ::SendMessageA(h, EM_LIMITTEXT, static_cast<WPARAM>(nChars), 0);
  }
}
