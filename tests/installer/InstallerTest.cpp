// The installer and uninstaller, silent, in this desktop's Wine prefix: the files, the
// machine-wide install path, the shortcuts and the uninstall entry; the installed program
// starts and ends; the uninstall leaves no file, shortcut or value behind but keeps the user's
// settings.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <string>

#include "E2EDriver.h"
#include "LumatreVersion.h"

namespace {

namespace e2e = lumatre::e2e;

const std::string kFolder = "C:\\lumatre-installer-test";
const std::string kSettingsKey = "Software\\Lumatre\\Lumatre";
const std::string kUninstallKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Lumatre";
constexpr UINT kCmdAppExit = 0xE141;

std::string CommonPrograms() {
  char path[MAX_PATH] = {};
  ::SHGetFolderPathA(nullptr, CSIDL_COMMON_PROGRAMS, nullptr, 0, path);
  return path;
}

// Runs a program and waits for it; its exit code.
DWORD RunAndWait(const std::string& exe, const std::string& args) {
  e2e::AppProcess process;
  if (!process.Start(exe, args)) return 0xFFFFFFFF;
  return process.WaitForExit(120000).value_or(0xFFFFFFFF);
}

class Installer : public ::testing::Test {
 protected:
  void SetUp() override { Clean(); }
  void TearDown() override { Clean(); }
  // Whatever a failed run left: the program folder and the machine-wide values would change
  // where later tests' programs find themselves.
  void Clean() {
    e2e::RemoveDirectoryTree(kFolder);
    e2e::DeleteKeyTree(HKEY_LOCAL_MACHINE, "Software\\Lumatre");
    e2e::DeleteKeyTree(HKEY_LOCAL_MACHINE, kUninstallKey);
    e2e::RemoveDirectoryTree(CommonPrograms() + "\\Lumatre");
    e2e::DeleteKeyTree(HKEY_CURRENT_USER, "Software\\Lumatre");
  }
};

TEST_F(Installer, InstallsStartsAndUninstallsSilently) {
  const std::string setup = e2e::JoinPath(e2e::ExecutableFolder(), std::string("LumatreSetup-") + LUMATRE_VERSION_TEXT + ".exe");
  ASSERT_TRUE(e2e::FileExists(setup)) << setup;
  ASSERT_EQ(RunAndWait(setup, "/S /D=" + kFolder), 0u);

  for (const char* file : {"Lumatre.exe", "QuorvaHook.dll", "License.txt", "Uninstall.exe"})
    EXPECT_TRUE(e2e::FileExists(e2e::JoinPath(kFolder, file))) << file;
  EXPECT_EQ(e2e::ReadString(HKEY_LOCAL_MACHINE, kSettingsKey, "InstallPath").value_or(""), kFolder + "\\Lumatre.exe");
  EXPECT_EQ(e2e::ReadString(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName").value_or(""), "Lumatre");
  EXPECT_EQ(e2e::ReadString(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayVersion").value_or(""), LUMATRE_VERSION_TEXT);
  EXPECT_TRUE(e2e::FileExists(CommonPrograms() + "\\Lumatre\\Lumatre.lnk"));
  // Starting with Windows is the user's choice, off unless chosen.
  EXPECT_FALSE(e2e::ReadString(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", "Lumatre"));

  {
    e2e::AppProcess lumatre;
    ASSERT_TRUE(lumatre.Start(kFolder + "\\Lumatre.exe")) << lumatre.LastError();
    HWND frame = lumatre.WaitForWindow("LumatreMainFrameClass", 20000);
    ASSERT_NE(frame, nullptr);
    ::PostMessageA(frame, WM_COMMAND, kCmdAppExit, 0);
    EXPECT_EQ(lumatre.WaitForExit(20000).value_or(0xFFFFFFFF), 0u);
  }
  // The program wrote its settings on the way out; the autostart value stands in for one the
  // user set in the program.
  EXPECT_TRUE(e2e::KeyExists(HKEY_CURRENT_USER, kSettingsKey + "\\CaptureOptions"));
  ASSERT_TRUE(e2e::WriteString(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", "Lumatre",
                               kFolder + "\\Lumatre.exe"));

  // The uninstaller copies itself away and returns at once, and its copy removes the files
  // first and the shortcuts and values after them: wait until all of it is gone.
  ASSERT_EQ(RunAndWait(kFolder + "\\Uninstall.exe", "/S"), 0u);
  e2e::WaitUntil(
      [] {
        return !e2e::DirectoryExists(kFolder) && !e2e::KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey) &&
               !e2e::ReadString(HKEY_LOCAL_MACHINE, kSettingsKey, "InstallPath") &&
               !e2e::DirectoryExists(CommonPrograms() + "\\Lumatre") &&
               !e2e::ReadString(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", "Lumatre");
      },
      60000);
  EXPECT_FALSE(e2e::DirectoryExists(kFolder)) << "files left in " << kFolder;
  EXPECT_FALSE(e2e::ReadString(HKEY_LOCAL_MACHINE, kSettingsKey, "InstallPath"));
  EXPECT_FALSE(e2e::KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
  EXPECT_FALSE(e2e::DirectoryExists(CommonPrograms() + "\\Lumatre"));
  EXPECT_FALSE(e2e::ReadString(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", "Lumatre"));
  EXPECT_TRUE(e2e::KeyExists(HKEY_CURRENT_USER, kSettingsKey + "\\CaptureOptions"));  // kept when silent
}

}  // namespace
