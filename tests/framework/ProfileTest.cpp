// Profile functions over HKCU\software\LumatreFrameworkTest\<profile>: round trips, wrong value
// types, deleting values and sections; the profile-file form when no registry key is set.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "FrameworkTestSupport.h"

namespace {

constexpr char kRoot[] = "software\\LumatreFrameworkTest";
constexpr char kProfilePath[] = "software\\LumatreFrameworkTest\\Profile Test";

class ProfileTest : public ::testing::Test {
 protected:
  ProfileTest() : app("Profile Test") {}
  void SetUp() override {
    AfxDeleteRegKeyTree(HKEY_CURRENT_USER, kRoot);
    app.SetRegistryKey("LumatreFrameworkTest");
  }
  void TearDown() override { AfxDeleteRegKeyTree(HKEY_CURRENT_USER, kRoot); }

  static bool KeyExists(const std::string& path) {
    CRegKey key;
    return key.Open(HKEY_CURRENT_USER, path.c_str(), KEY_READ) == ERROR_SUCCESS;
  }
  static CRegKey Section(const char* name) {
    CRegKey key;
    key.Create(HKEY_CURRENT_USER, (std::string(kProfilePath) + "\\" + name).c_str());
    return key;
  }

  CWinApp app;
};

}  // namespace

TEST_F(ProfileTest, AppKeyIsTheRegistryKeyAndTheTitle) {
  EXPECT_STREQ(app.m_pszProfileName, "Profile Test");
  EXPECT_FALSE(KeyExists(kProfilePath));
  UniqueRegKey key = app.GetAppRegistryKey();
  ASSERT_TRUE(key);
  EXPECT_TRUE(KeyExists(kProfilePath));
  UniqueRegKey section = app.GetSectionKey("Settings");
  ASSERT_TRUE(section);
  EXPECT_TRUE(KeyExists(std::string(kProfilePath) + "\\Settings"));
}

TEST_F(ProfileTest, IntsRoundTripAsDwords) {
  EXPECT_TRUE(app.WriteProfileInt("Numbers", "Answer", 42));
  EXPECT_TRUE(app.WriteProfileInt("Numbers", "Negative", -7));
  EXPECT_EQ(app.GetProfileInt("Numbers", "Answer", 0), 42u);
  EXPECT_EQ(static_cast<int>(app.GetProfileInt("Numbers", "Negative", 0)), -7);
  EXPECT_EQ(app.GetProfileInt("Numbers", "Missing", 13), 13u);
  EXPECT_EQ(app.GetProfileInt("No Such Section", "Answer", 14), 14u);

  CRegKey section = Section("Numbers");
  DWORD type = 0;
  ASSERT_EQ(section.QueryValueType("Answer", type), ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
}

TEST_F(ProfileTest, StringsRoundTripAsRegSz) {
  EXPECT_TRUE(app.WriteProfileString("Texts", "Path", "C:\\Pictures\\shot 1.png"));
  EXPECT_TRUE(app.WriteProfileString("Texts", "Empty", ""));
  EXPECT_EQ(app.GetProfileString("Texts", "Path"), "C:\\Pictures\\shot 1.png");
  EXPECT_EQ(app.GetProfileString("Texts", "Empty", "default"), "");
  EXPECT_EQ(app.GetProfileString("Texts", "Missing", "default"), "default");
  EXPECT_EQ(app.GetProfileString("Texts", "Missing"), "");

  std::string longText(5000, 'x');
  EXPECT_TRUE(app.WriteProfileString("Texts", "Long", longText.c_str()));
  EXPECT_EQ(app.GetProfileString("Texts", "Long"), longText);

  CRegKey section = Section("Texts");
  DWORD type = 0;
  ASSERT_EQ(section.QueryValueType("Path", type), ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
}

TEST_F(ProfileTest, ValuesOfTheWrongTypeGiveTheDefault) {
  CRegKey section = Section("Odd");
  const char text[] = "12";
  ASSERT_EQ(section.SetStringValue("IntAsText", text), ERROR_SUCCESS);
  ASSERT_EQ(section.SetDWORDValue("TextAsInt", 5), ERROR_SUCCESS);
  const BYTE bytes[3] = {1, 2, 3};
  ASSERT_EQ(section.SetBinaryValue("ShortBinary", bytes, 3), ERROR_SUCCESS);
  // A DWORD-sized binary value is still not a DWORD.
  const BYTE four[4] = {1, 0, 0, 0};
  ASSERT_EQ(section.SetBinaryValue("FourBytes", four, 4), ERROR_SUCCESS);
  // A string stored without its terminator.
  ASSERT_EQ(::RegSetValueExA(section, "NoTerminator", 0, REG_SZ, reinterpret_cast<const BYTE*>("abc"), 3),
            ERROR_SUCCESS);

  EXPECT_EQ(app.GetProfileInt("Odd", "IntAsText", 99), 99u);
  EXPECT_EQ(app.GetProfileInt("Odd", "ShortBinary", 98), 98u);
  EXPECT_EQ(app.GetProfileInt("Odd", "FourBytes", 97), 97u);
  EXPECT_EQ(app.GetProfileString("Odd", "TextAsInt", "def"), "def");
  EXPECT_EQ(app.GetProfileString("Odd", "NoTerminator"), "abc");
  std::vector<BYTE> out{9};
  EXPECT_FALSE(app.GetProfileBinary("Odd", "TextAsInt", out));
  EXPECT_TRUE(out.empty());
}

TEST_F(ProfileTest, BinaryRoundTrip) {
  const BYTE data[] = {0, 1, 2, 0xFE, 0xFF, 0x80, 0x7F};
  EXPECT_TRUE(app.WriteProfileBinary("Blobs", "Data", data, sizeof(data)));
  std::vector<BYTE> out;
  ASSERT_TRUE(app.GetProfileBinary("Blobs", "Data", out));
  EXPECT_EQ(out, std::vector<BYTE>(data, data + sizeof(data)));

  BYTE* raw = nullptr;
  UINT n = 0;
  ASSERT_TRUE(app.GetProfileBinary("Blobs", "Data", &raw, &n));
  ASSERT_EQ(n, sizeof(data));
  EXPECT_EQ(memcmp(raw, data, n), 0);
  delete[] raw;

  EXPECT_TRUE(app.WriteProfileBinary("Blobs", "Empty", nullptr, 0));
  ASSERT_TRUE(app.GetProfileBinary("Blobs", "Empty", out));
  EXPECT_TRUE(out.empty());
  EXPECT_FALSE(app.GetProfileBinary("Blobs", "Missing", &raw, &n));
  EXPECT_EQ(raw, nullptr);
  EXPECT_EQ(n, 0u);
}

TEST_F(ProfileTest, NullValueDeletesTheEntryAndNullEntryTheSection) {
  app.WriteProfileString("Gone", "A", "1");
  app.WriteProfileString("Gone", "B", "2");
  app.WriteProfileInt("Kept", "C", 3);
  EXPECT_TRUE(app.WriteProfileString("Gone", "A", nullptr));
  EXPECT_EQ(app.GetProfileString("Gone", "A", "none"), "none");
  EXPECT_EQ(app.GetProfileString("Gone", "B"), "2");

  EXPECT_TRUE(app.WriteProfileString("Gone", nullptr, nullptr));
  EXPECT_FALSE(KeyExists(std::string(kProfilePath) + "\\Gone"));
  EXPECT_EQ(app.GetProfileString("Gone", "B", "none"), "none");
  EXPECT_EQ(app.GetProfileInt("Kept", "C", 0), 3u);
  // Deleting a section that is not there is not an error.
  EXPECT_TRUE(app.WriteProfileString("Never There", nullptr, nullptr));
}

TEST_F(ProfileTest, ReadingCreatesNothing) {
  EXPECT_EQ(app.GetProfileInt("Untouched", "X", 1), 1u);
  EXPECT_EQ(app.GetProfileString("Untouched", "Y", "y"), "y");
  EXPECT_FALSE(KeyExists(kRoot));
}

TEST_F(ProfileTest, ASectionThatIsAValueIsHandled) {
  // A value where a section key was expected: reads give defaults, writes fail cleanly.
  UniqueRegKey appKey = app.GetAppRegistryKey();
  ASSERT_TRUE(appKey);
  CRegKey raw(appKey.release());
  ASSERT_EQ(raw.SetStringValue("Clash", "a value"), ERROR_SUCCESS);
  EXPECT_EQ(app.GetProfileInt("Clash", "X", 4), 4u);
  EXPECT_TRUE(app.WriteProfileInt("Clash", "X", 5));  // the key is made beside the value
  EXPECT_EQ(app.GetProfileInt("Clash", "X", 4), 5u);
}

TEST(ProfileFile, WithoutARegistryKeyAProfileFileIsUsed) {
  char dir[MAX_PATH];
  ::GetTempPathA(MAX_PATH, dir);
  std::string file = std::string(dir) + "lumatre_framework_profile_test.ini";
  ::DeleteFileA(file.c_str());
  {
    CWinApp app("Profile File");
    app.SetProfileName(file.c_str());
    EXPECT_TRUE(app.WriteProfileInt("Numbers", "Answer", 42));
    EXPECT_TRUE(app.WriteProfileString("Texts", "Name", "value"));
    const BYTE data[] = {0x00, 0x5A, 0xFF};
    EXPECT_TRUE(app.WriteProfileBinary("Blobs", "Data", data, sizeof(data)));
    EXPECT_EQ(app.GetProfileInt("Numbers", "Answer", 0), 42u);
    EXPECT_EQ(app.GetProfileString("Texts", "Name"), "value");
    std::vector<BYTE> out;
    ASSERT_TRUE(app.GetProfileBinary("Blobs", "Data", out));
    EXPECT_EQ(out, std::vector<BYTE>(data, data + sizeof(data)));
    EXPECT_TRUE(app.WriteProfileString("Texts", nullptr, nullptr));
    EXPECT_EQ(app.GetProfileString("Texts", "Name", "gone"), "gone");
    EXPECT_FALSE(app.GetProfileBinary("Texts", "Name", out));
  }
  ::DeleteFileA(file.c_str());
}
