#include "CommandLineInfo.h"

#include <cstring>

void CCommandLineInfo::ParseParam(const char* pszParam, BOOL bFlag, BOOL) {
  if (!pszParam) return;
  if (bFlag) {
    if (::lstrcmpiA(pszParam, "pt") == 0) {
      m_nShellCommand = FilePrintTo;
      m_nPrintToArgs = 0;
    } else if (::lstrcmpiA(pszParam, "p") == 0) {
      m_nShellCommand = FilePrint;
    } else if (::lstrcmpiA(pszParam, "dde") == 0) {
      m_nShellCommand = FileDDE;
    } else if (::lstrcmpiA(pszParam, "nologo") == 0) {
      m_bShowSplash = FALSE;
    }
    return;
  }
  // Plain arguments: the file name first, then for /pt the printer, driver and port.
  if (m_strFileName.empty()) {
    m_strFileName = pszParam;
    if (m_nShellCommand == FileNew) m_nShellCommand = FileOpen;
    return;
  }
  if (m_nShellCommand == FilePrintTo) {
    switch (m_nPrintToArgs++) {
      case 0: m_strPrinterName = pszParam; break;
      case 1: m_strDriverName = pszParam; break;
      case 2: m_strPortName = pszParam; break;
      default: break;
    }
  }
}

std::vector<std::string> AfxSplitCommandLine(const char* lpszCmdLine) {
  std::vector<std::string> args;
  if (!lpszCmdLine) return args;
  const char* p = lpszCmdLine;
  for (;;) {
    while (*p == ' ' || *p == '\t') ++p;
    if (!*p) break;
    std::string arg;
    bool inQuotes = false;
    while (*p && (inQuotes || (*p != ' ' && *p != '\t'))) {
      if (*p == '\\') {
        // Backslashes are literal unless they precede a quote.
        size_t n = 0;
        while (p[n] == '\\') ++n;
        if (p[n] == '"') {
          arg.append(n / 2, '\\');
          p += n;
          if (n % 2 == 1) {
            arg.push_back('"');
            ++p;
          }
        } else {
          arg.append(n, '\\');
          p += n;
        }
      } else if (*p == '"') {
        if (inQuotes && p[1] == '"') {  // "" inside quotes is one quote
          arg.push_back('"');
          p += 2;
        } else {
          inQuotes = !inQuotes;
          ++p;
        }
      } else {
        arg.push_back(*p++);
      }
    }
    args.push_back(std::move(arg));
  }
  return args;
}
