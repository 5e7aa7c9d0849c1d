#include "AboutDlg.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "resources/DialogIds.h"
#include "resources/resource.h"

namespace {

// A string of the version resource's first translation (US English Unicode when it lists none).
std::string QueryVersionString(const std::vector<BYTE>& block, const char* name) {
  struct Translation {
    WORD language;
    WORD codePage;
  };
  Translation translation{0x0409, 1200};
  void* data = nullptr;
  UINT length = 0;
  if (::VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", &data, &length) && data &&
      length >= sizeof(Translation))
    translation = *static_cast<const Translation*>(data);
  char path[96];
  std::snprintf(path, sizeof(path), "\\StringFileInfo\\%04x%04x\\%s", translation.language, translation.codePage, name);
  data = nullptr;
  length = 0;
  if (!::VerQueryValueA(block.data(), path, &data, &length) || !data || length == 0) return {};
  const char* text = static_cast<const char*>(data);
  return std::string(text, strnlen(text, length));
}

}  // namespace

std::string FormatFixedVersion(DWORD versionMS, DWORD versionLS) {
  char text[64];
  std::snprintf(text, sizeof(text), "%u.%u.%u.%u", static_cast<unsigned>(HIWORD(versionMS)),
                static_cast<unsigned>(LOWORD(versionMS)), static_cast<unsigned>(HIWORD(versionLS)),
                static_cast<unsigned>(LOWORD(versionLS)));
  return text;
}

bool ReadProgramVersion(HMODULE module, ProgramVersionInfo& info) {
  char path[MAX_PATH];
  DWORD length = ::GetModuleFileNameA(module, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return false;
  DWORD handle = 0;
  DWORD size = ::GetFileVersionInfoSizeA(path, &handle);
  if (size == 0) return false;
  std::vector<BYTE> block(size);
  if (!::GetFileVersionInfoA(path, 0, size, block.data())) return false;
  void* data = nullptr;
  UINT dataLength = 0;
  if (!::VerQueryValueA(block.data(), "\\", &data, &dataLength) || !data || dataLength < sizeof(VS_FIXEDFILEINFO))
    return false;
  const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(data);
  if (fixed->dwSignature != VS_FFI_SIGNATURE) return false;
  info.productVersion = FormatFixedVersion(fixed->dwProductVersionMS, fixed->dwProductVersionLS);
  info.productName = QueryVersionString(block, "ProductName");
  info.copyright = QueryVersionString(block, "LegalCopyright");
  return true;
}

CAboutDlg::CAboutDlg(CWnd* pParent) : CDialog(IDD_ABOUTBOX, pParent) {}

BOOL CAboutDlg::OnInitDialog() {
  CDialog::OnInitDialog();

  // The template's texts stay wherever the version resource has nothing better.
  ProgramVersionInfo version;
  HMODULE module = AfxGetResourceHandle();
  if (ReadProgramVersion(module, version) || ReadProgramVersion(AfxGetInstanceHandle(), version)) {
    std::string product = version.productName.empty() ? GetDlgItemText(IDC_ABOUT_VERSION) : version.productName;
    std::string text;
    AfxFormatString2(text, IDS_ABOUT_VERSION, product.c_str(), version.productVersion.c_str());
    SetDlgItemText(IDC_ABOUT_VERSION, text.c_str());
    if (!version.copyright.empty()) SetDlgItemText(IDC_ABOUT_COPYRIGHT, version.copyright.c_str());
  }

  std::string homePage = LoadResString(IDS_HOMEPAGE_URL);
  std::string mail = LoadResString(IDS_SUPPORT_EMAIL);
  SetUpLink(m_homePage, IDC_ABOUT_HOMEPAGE, IDC_ABOUT_WEB_LABEL, homePage, homePage);
  SetUpLink(m_mail, IDC_ABOUT_EMAIL, IDC_ABOUT_EMAIL_LABEL, mail, "mailto:" + mail);

  // OK has the focus, so the first link does not open looking focused.
  if (HWND ok = GetDlgItemHwnd(IDOK)) {
    GotoDlgCtrl(ok);
    return FALSE;
  }
  return TRUE;
}

void CAboutDlg::SetUpLink(CHyperLink& link, UINT nID, UINT nLabelID, const std::string& text,
                          const std::string& target) {
  HWND control = GetDlgItemHwnd(static_cast<int>(nID));
  if (!control) return;
  if (text.empty()) {
    ::ShowWindow(control, SW_HIDE);
    if (HWND label = GetDlgItemHwnd(static_cast<int>(nLabelID))) ::ShowWindow(label, SW_HIDE);
    return;
  }
  // Text first: the link keeps a text of its own and takes the target it is given.
  ::SetWindowTextA(control, text.c_str());
  link.SetURL(target);
  link.SubclassDlgItem(nID, this);
}
