// The "Settings" values of the workspace read from a stand-in profile: defaults, good values,
// and every odd value giving its default; then written back.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "ui/WorkspaceSettings.h"

namespace {

// Values by name with their registry type.
class FakeProfile : public IWorkspaceProfile {
 public:
  std::map<std::string, DWORD> dwords;
  std::map<std::string, std::vector<BYTE>> binaries;
  std::map<std::string, std::string> strings;

  UINT GetInt(LPCSTR entry, int nDefault) override {
    auto it = dwords.find(entry);
    return it == dwords.end() ? static_cast<UINT>(nDefault) : it->second;
  }
  bool GetBinary(LPCSTR entry, std::vector<BYTE>& out) override {
    auto it = binaries.find(entry);
    if (it == binaries.end()) return false;
    out = it->second;
    return true;
  }
  std::string GetString(LPCSTR entry) override {
    auto it = strings.find(entry);
    return it == strings.end() ? std::string() : it->second;
  }
  void WriteInt(LPCSTR entry, int value) override { dwords[entry] = static_cast<DWORD>(value); }
  void WriteBinary(LPCSTR entry, const void* data, UINT size) override {
    const BYTE* p = static_cast<const BYTE*>(data);
    binaries[entry].assign(p, p + size);
  }
  void WriteString(LPCSTR entry, LPCSTR value) override { strings[entry] = value; }
};

constexpr COLORREF kFace = RGB(212, 208, 200);
constexpr COLORREF kWorkspace = RGB(128, 128, 128);

WorkspaceSettings Loaded(FakeProfile& profile) {
  WorkspaceSettings s = WorkspaceSettings::Defaults(96, kFace, kWorkspace);
  s.Load(profile);
  return s;
}

std::vector<BYTE> FontBytes(const LOGFONTA& font) {
  const BYTE* p = reinterpret_cast<const BYTE*>(&font);
  return std::vector<BYTE>(p, p + sizeof font);
}

TEST(WorkspaceSettings, EmptyProfileGivesTheDefaults) {
  FakeProfile profile;
  const WorkspaceSettings s = Loaded(profile);
  EXPECT_EQ(s.childWinState, 1);
  EXPECT_EQ(s.dispType, kDisplayCentred);
  EXPECT_EQ(s.bkBitmap, 1);
  EXPECT_EQ(s.logoColor, kFace);
  EXPECT_EQ(s.backColor, kWorkspace);
  EXPECT_TRUE(s.fileName.empty());
  EXPECT_STREQ(s.logoFont.lfFaceName, "Times New Roman");
  EXPECT_EQ(s.logoFont.lfWeight, 700);
  EXPECT_EQ(s.logoFont.lfHeight, -24);  // 18 points at 96 dots per inch
  EXPECT_EQ(s.logoFont.lfPitchAndFamily & 0xF0, FF_ROMAN);
  EXPECT_EQ(WorkspaceSettings::DefaultLogoFont(120).lfHeight, -30);
  EXPECT_EQ(sizeof(LOGFONTA), 60u);
}

TEST(WorkspaceSettings, StoredValuesAreTaken) {
  FakeProfile profile;
  LOGFONTA font = WorkspaceSettings::DefaultLogoFont(96);
  std::strcpy(font.lfFaceName, "Arial");
  font.lfHeight = -40;
  profile.dwords = {{"TVChildWinState", 0}, {"TVLogoColor", 0x0000FF}, {"TVBackColor", 0x123456},
                    {"TVDispType", 2},      {"TVBkBitmap", 0}};
  profile.binaries["TVLogoFont"] = FontBytes(font);
  profile.strings["TVFileName"] = "C:\\pictures\\back.bmp";
  const WorkspaceSettings s = Loaded(profile);
  EXPECT_EQ(s.childWinState, 0);
  EXPECT_EQ(s.logoColor, 0x0000FFu);
  EXPECT_EQ(s.backColor, 0x123456u);
  EXPECT_EQ(s.dispType, kDisplayStretched);
  EXPECT_EQ(s.bkBitmap, 0);
  EXPECT_EQ(s.fileName, "C:\\pictures\\back.bmp");
  EXPECT_STREQ(s.logoFont.lfFaceName, "Arial");
  EXPECT_EQ(s.logoFont.lfHeight, -40);
}

TEST(WorkspaceSettings, OddValuesGiveTheDefaults) {
  LOGFONTA unterminated = WorkspaceSettings::DefaultLogoFont(96);
  std::memset(unterminated.lfFaceName, 'A', sizeof unterminated.lfFaceName);
  LOGFONTA huge = WorkspaceSettings::DefaultLogoFont(96);
  huge.lfHeight = 0x7FFFFFFF;
  LOGFONTA heavy = WorkspaceSettings::DefaultLogoFont(96);
  heavy.lfWeight = 5000;
  LOGFONTA noFace = WorkspaceSettings::DefaultLogoFont(96);
  noFace.lfFaceName[0] = '\0';
  struct Case {
    const char* what;
    std::map<std::string, DWORD> dwords;
    std::vector<BYTE> font;  // empty: none stored
  } cases[] = {
      {"display type 7", {{"TVDispType", 7}}, {}},
      {"display type -1", {{"TVDispType", 0xFFFFFFFF}}, {}},
      {"child state 5", {{"TVChildWinState", 5}}, {}},
      {"colours with a top byte", {{"TVLogoColor", 0x01000000}, {"TVBackColor", 0xFFFFFFFF}}, {}},
      {"font of 59 bytes", {}, std::vector<BYTE>(59, 1)},
      {"font of 61 bytes", {}, std::vector<BYTE>(61, 1)},
      {"font of 0 bytes", {}, {}},
      {"face name without end", {}, FontBytes(unterminated)},
      {"height out of range", {}, FontBytes(huge)},
      {"weight out of range", {}, FontBytes(heavy)},
      {"no face name", {}, FontBytes(noFace)},
  };
  const WorkspaceSettings defaults = WorkspaceSettings::Defaults(96, kFace, kWorkspace);
  for (const Case& c : cases) {
    FakeProfile profile;
    profile.dwords = c.dwords;
    if (!c.font.empty()) profile.binaries["TVLogoFont"] = c.font;
    const WorkspaceSettings s = Loaded(profile);
    EXPECT_EQ(s.dispType, defaults.dispType) << c.what;
    EXPECT_EQ(s.childWinState, defaults.childWinState) << c.what;
    EXPECT_EQ(s.logoColor, defaults.logoColor) << c.what;
    EXPECT_EQ(s.backColor, defaults.backColor) << c.what;
    EXPECT_EQ(std::memcmp(&s.logoFont, &defaults.logoFont, sizeof(LOGFONTA)), 0) << c.what;
  }
  // A path too long for the platform is no picture.
  FakeProfile profile;
  profile.strings["TVFileName"] = std::string(400, 'x');
  EXPECT_TRUE(Loaded(profile).fileName.empty());
}

TEST(WorkspaceSettings, SaveWritesEveryValueAndReadsBackTheSame) {
  FakeProfile profile;
  WorkspaceSettings s = WorkspaceSettings::Defaults(96, kFace, kWorkspace);
  s.childWinState = 0;
  s.dispType = kDisplayTiled;
  s.fileName = "back.bmp";
  s.logoColor = RGB(1, 2, 3);
  s.Save(profile);
  EXPECT_EQ(profile.dwords.size(), 5u);
  ASSERT_EQ(profile.binaries["TVLogoFont"].size(), 60u);
  EXPECT_EQ(profile.strings["TVFileName"], "back.bmp");
  const WorkspaceSettings back = Loaded(profile);
  EXPECT_EQ(back.childWinState, 0);
  EXPECT_EQ(back.dispType, kDisplayTiled);
  EXPECT_EQ(back.logoColor, RGB(1, 2, 3));
  EXPECT_EQ(std::memcmp(&back.logoFont, &s.logoFont, sizeof(LOGFONTA)), 0);
  // The child-window state alone (written when the last window closes).
  FakeProfile only;
  s.SaveChildWinState(only);
  EXPECT_EQ(only.dwords.size(), 1u);
  EXPECT_EQ(only.dwords["TVChildWinState"], 0u);
}

}  // namespace
