#include "WorkspaceSettings.h"

#include <cstring>

#include "framework/Framework.h"

namespace {

// Larger fonts than this are not a logo any more but a broken value.
constexpr LONG kLargestLogoSize = 1000;
// A COLORREF with anything in its top byte is a palette reference or garbage, not a colour.
bool IsPlainColour(UINT value) { return (value & 0xFF000000u) == 0; }

}  // namespace

UINT CAppWorkspaceProfile::GetInt(LPCSTR entry, int nDefault) {
  CWinApp* app = AfxGetApp();
  return app ? app->GetProfileInt(WorkspaceSettings::kSection, entry, nDefault) : static_cast<UINT>(nDefault);
}

bool CAppWorkspaceProfile::GetBinary(LPCSTR entry, std::vector<BYTE>& out) {
  CWinApp* app = AfxGetApp();
  return app && app->GetProfileBinary(WorkspaceSettings::kSection, entry, out);
}

std::string CAppWorkspaceProfile::GetString(LPCSTR entry) {
  CWinApp* app = AfxGetApp();
  return app ? app->GetProfileString(WorkspaceSettings::kSection, entry, "") : std::string();
}

void CAppWorkspaceProfile::WriteInt(LPCSTR entry, int value) {
  if (CWinApp* app = AfxGetApp()) app->WriteProfileInt(WorkspaceSettings::kSection, entry, value);
}

void CAppWorkspaceProfile::WriteBinary(LPCSTR entry, const void* data, UINT size) {
  if (CWinApp* app = AfxGetApp()) app->WriteProfileBinary(WorkspaceSettings::kSection, entry, data, size);
}

void CAppWorkspaceProfile::WriteString(LPCSTR entry, LPCSTR value) {
  if (CWinApp* app = AfxGetApp()) app->WriteProfileString(WorkspaceSettings::kSection, entry, value ? value : "");
}

LOGFONTA WorkspaceSettings::DefaultLogoFont(int dotsPerInchY) {
  LOGFONTA font{};
  font.lfHeight = -(18 * dotsPerInchY / 72);
  font.lfWeight = FW_BOLD;
  font.lfPitchAndFamily = FF_ROMAN;
  std::strcpy(font.lfFaceName, "Times New Roman");
  return font;
}

WorkspaceSettings WorkspaceSettings::Defaults(int dotsPerInchY, COLORREF logoDefault, COLORREF backDefault) {
  WorkspaceSettings s;
  s.logoFont = DefaultLogoFont(dotsPerInchY);
  s.logoColor = logoDefault;
  s.backColor = backDefault;
  return s;
}

bool WorkspaceSettings::IsUsableLogoFont(const LOGFONTA& font) {
  auto inRange = [](LONG v) { return v >= -kLargestLogoSize && v <= kLargestLogoSize; };
  if (!inRange(font.lfHeight) || !inRange(font.lfWidth)) return false;
  if (font.lfWeight < 0 || font.lfWeight > FW_HEAVY) return false;
  const void* end = std::memchr(font.lfFaceName, '\0', sizeof font.lfFaceName);
  return end != nullptr && font.lfFaceName[0] != '\0';
}

void WorkspaceSettings::Load(IWorkspaceProfile& profile) {
  const UINT state = profile.GetInt(kChildWinState, childWinState);
  if (state == 0 || state == 1) childWinState = static_cast<int>(state);

  std::vector<BYTE> bytes;
  if (profile.GetBinary(kLogoFont, bytes) && bytes.size() == kLogoFontBytes) {
    LOGFONTA stored{};
    std::memcpy(&stored, bytes.data(), kLogoFontBytes);
    if (IsUsableLogoFont(stored)) logoFont = stored;
  }

  const UINT logo = profile.GetInt(kLogoColor, static_cast<int>(logoColor));
  if (IsPlainColour(logo)) logoColor = logo;
  const UINT back = profile.GetInt(kBackColor, static_cast<int>(backColor));
  if (IsPlainColour(back)) backColor = back;

  const UINT type = profile.GetInt(kDispType, dispType);
  if (type <= kDisplayStretched) dispType = static_cast<int>(type);
  bkBitmap = static_cast<int>(profile.GetInt(kBkBitmap, bkBitmap));
  std::string name = profile.GetString(kFileName);
  if (name.size() < MAX_PATH) fileName = std::move(name);
}

void WorkspaceSettings::Save(IWorkspaceProfile& profile) const {
  SaveChildWinState(profile);
  profile.WriteBinary(kLogoFont, &logoFont, kLogoFontBytes);
  profile.WriteInt(kLogoColor, static_cast<int>(logoColor));
  profile.WriteInt(kBackColor, static_cast<int>(backColor));
  profile.WriteInt(kDispType, dispType);
  profile.WriteInt(kBkBitmap, bkBitmap);
  profile.WriteString(kFileName, fileName.c_str());
}

void WorkspaceSettings::SaveChildWinState(IWorkspaceProfile& profile) const {
  profile.WriteInt(kChildWinState, childWinState);
}
