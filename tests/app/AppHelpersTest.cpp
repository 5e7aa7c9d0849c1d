// The output folder, help topic paths, the autostart entry and the program path.
#include "common/AppHelpers.h"
#include "ScratchRegistry.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string TestName() {
  return ::testing::UnitTest::GetInstance()->current_test_info()->name();
}

// A fresh folder under the temporary folder, removed with what the test left in it.
class TempFolder {
 public:
  TempFolder() {
    char base[MAX_PATH];
    GetTempPathA(MAX_PATH, base);
    m_path = std::string(base) + "lumatre_app_" + std::to_string(GetCurrentProcessId()) + "_" +
             TestName();
    CreateDirectoryA(m_path.c_str(), nullptr);
  }
  ~TempFolder() {
    std::string output = m_path + "\\Output";
    RemoveDirectoryA(output.c_str());
    DeleteFileA(output.c_str());
    RemoveDirectoryA(m_path.c_str());
  }
  const std::string& path() const { return m_path; }

 private:
  std::string m_path;
};

bool IsFolder(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

TEST(OutputDirectory, IsCreatedBesideTheProgram) {
  TempFolder folder;
  std::string program = folder.path() + "\\Lumatre.exe";
  EXPECT_EQ(EnsureOutputDirectory(program), folder.path() + "\\Output");
  EXPECT_TRUE(IsFolder(folder.path() + "\\Output"));
  // A second start finds it and uses it as it is.
  EXPECT_EQ(EnsureOutputDirectory(program), folder.path() + "\\Output");
}

TEST(OutputDirectory, AFileNamedOutputLeavesTheProgramFolder) {
  TempFolder folder;
  std::string blocker = folder.path() + "\\Output";
  HANDLE file = CreateFileA(blocker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  CloseHandle(file);
  EXPECT_EQ(EnsureOutputDirectory(folder.path() + "\\Lumatre.exe"), folder.path() + "\\");
  EXPECT_FALSE(IsFolder(blocker));
}

TEST(OutputDirectory, AMissingProgramFolderLeavesTheProgramFolder) {
  TempFolder folder;
  std::string gone = folder.path() + "\\no\\such\\folder\\";
  EXPECT_EQ(EnsureOutputDirectory(gone + "Lumatre.exe"), gone);
  EXPECT_FALSE(IsFolder(gone));
}

TEST(ProgramPath, IsTheRunningExecutable) {
  std::string path = GetProgramFilePath();
  ASSERT_GT(path.size(), 4u);
  EXPECT_EQ(path.substr(path.size() - 4), ".exe");
  EXPECT_NE(GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(HelpTopics, PathsAreBuiltBesideTheProgram) {
  const char* program = "C:\\Program Files\\Lumatre\\Lumatre.exe";
  const std::string folder = "C:\\Program Files\\Lumatre\\Lumatre.chm::/";
  const char* pages[] = {"index.htm",
                         "dialog.htm#generaloption",
                         "dialog.htm#resizedialog",
                         "dialog.htm#rotatedialog",
                         "dialog.htm#printlayout",
                         "dialog.htm#contrastdialog",
                         "dialog.htm#brightnessdialog",
                         "dialog.htm#windowsmanage"};
  for (int topic = 0; topic <= 7; ++topic)
    EXPECT_EQ(BuildHelpTopicPath(program, topic), folder + pages[topic]) << topic;
  EXPECT_EQ(BuildHelpTopicPath(program, 8), folder + "index.htm");
  EXPECT_EQ(BuildHelpTopicPath(program, -1), folder + "index.htm");
  // No backslash: the whole text is the folder; nothing at all is no crash.
  EXPECT_EQ(BuildHelpTopicPath("Lumatre.exe", 1), "Lumatre.exe\\Lumatre.chm::/dialog.htm#generaloption");
  EXPECT_EQ(BuildHelpTopicPath("", 0), "\\Lumatre.chm::/index.htm");
  EXPECT_EQ(BuildHelpTopicPath(nullptr, 0), "\\Lumatre.chm::/index.htm");
}

TEST(AutoStart, ValueUnderTheRunKey) {
  ScratchRegistry reg(TestName(), false);
  // No Run key: nothing can be done, and that is said by the result alone.
  EXPECT_FALSE(IsAutoStartEnabled(reg.hive()));
  EXPECT_FALSE(SetAutoStart(true, "C:\\L\\Lumatre.exe", reg.hive()));

  const std::string run = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
  reg.CreateKey(run);
  EXPECT_FALSE(IsAutoStartEnabled(reg.hive()));
  EXPECT_TRUE(SetAutoStart(true, "C:\\L\\Lumatre.exe", reg.hive()));
  EXPECT_TRUE(IsAutoStartEnabled(reg.hive()));
  EXPECT_EQ(reg.ValueType(run, "Lumatre"), REG_SZ);
  EXPECT_EQ(reg.GetString(run, "Lumatre"), "C:\\L\\Lumatre.exe");
  EXPECT_TRUE(SetAutoStart(false, nullptr, reg.hive()));
  EXPECT_FALSE(IsAutoStartEnabled(reg.hive()));
  EXPECT_EQ(reg.ValueType(run, "Lumatre"), -1);
  EXPECT_TRUE(SetAutoStart(false, nullptr, reg.hive()));  // already off
}

TEST(HelpTopics, AMissingHelpFileIsNoCrash) {
  // The viewer may or may not exist here; either way the call comes back and says so.
  char folder[MAX_PATH];
  GetTempPathA(MAX_PATH, folder);
  std::string path = BuildHelpTopicPath((std::string(folder) + "nowhere\\Lumatre.exe").c_str(), 1);
  EXPECT_FALSE(OpenHtmlHelpTopic(path));
  EXPECT_FALSE(OpenHtmlHelpTopic(""));
}

}  // namespace
