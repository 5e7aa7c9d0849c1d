// CAboutDlg: the About box (dialog 100). It shows the program icon, the product name with the
// version of the program's version resource ("Lumatre Version 1.0.0.1"), the copyright line,
// and two links: the product's web page (IDS_HOMEPAGE_URL) and the support mail address
// (IDS_SUPPORT_EMAIL, opened as "mailto:" + address).
//
//   CAboutDlg dlg(this);
//   dlg.DoModal();
#pragma once

#include "framework/Framework.h"

#include <string>

#include "HyperLink.h"

// What the About box shows of a module's version resource.
struct ProgramVersionInfo {
  std::string productName;     // "ProductName"
  std::string productVersion;  // the fixed product version, "1.0.0.1"
  std::string copyright;       // "LegalCopyright"
};

// Reads the version resource of the file of module; false when it has none.
bool ReadProgramVersion(HMODULE module, ProgramVersionInfo& info);
// The four parts of a fixed version, most significant first: "1.0.0.1".
std::string FormatFixedVersion(DWORD versionMS, DWORD versionLS);

class CAboutDlg : public CDialog {
 public:
  explicit CAboutDlg(CWnd* pParent = nullptr);

  // The two links (bound to their controls while the box is open).
  CHyperLink& GetHomePageLink() { return m_homePage; }
  CHyperLink& GetMailLink() { return m_mail; }

 protected:
  BOOL OnInitDialog() override;

 private:
  // Shows text in link control nID with target, or hides the control and its label when the
  // text is empty.
  void SetUpLink(CHyperLink& link, UINT nID, UINT nLabelID, const std::string& text, const std::string& target);

  CHyperLink m_homePage;
  CHyperLink m_mail;
};
