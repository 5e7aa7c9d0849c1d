// CCommandLineInfo: what the command line asks for (a file to open or print, a shell command).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

class CCommandLineInfo {
 public:
  enum { FileNew, FileOpen, FilePrint, FilePrintTo, FileDDE, FileNothing = -1 } m_nShellCommand = FileNew;

  CCommandLineInfo() = default;
  virtual ~CCommandLineInfo() = default;

  BOOL m_bShowSplash = TRUE;
  std::string m_strFileName;
  std::string m_strPrinterName;
  std::string m_strDriverName;
  std::string m_strPortName;

  // Called for each argument. bFlag: it began with '/' or '-' (which is removed); bLast: it is
  // the last argument. Understands /p, /pt printer driver port, /dde, /nologo and a file name.
  virtual void ParseParam(const char* pszParam, BOOL bFlag, BOOL bLast);

 private:
  int m_nPrintToArgs = 0;
};

// Splits a command line by the platform's rules (blanks separate, quotes group, backslashes
// escape quotes only). The program name is not treated specially.
std::vector<std::string> AfxSplitCommandLine(const char* lpszCmdLine);
