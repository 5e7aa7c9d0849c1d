// The recent-file list: adding (front, no duplicates whatever the case), removing, the fixed
// number of slots, writing and reading "Recent File List"\"File1".., and the File menu items.
#include <gtest/gtest.h>

#include <string>

#include "FrameworkTestRes.h"
#include "FrameworkTestSupport.h"

namespace {

constexpr char kRoot[] = "software\\LumatreFrameworkTest";
constexpr char kSection[] = "software\\LumatreFrameworkTest\\Recent Test\\Recent File List";

class RecentFileListTest : public ::testing::Test {
 protected:
  RecentFileListTest() : app("Recent Test") {}
  void SetUp() override {
    AfxDeleteRegKeyTree(HKEY_CURRENT_USER, kRoot);
    app.SetRegistryKey("LumatreFrameworkTest");
  }
  void TearDown() override {
    AfxDeleteRegKeyTree(HKEY_CURRENT_USER, kRoot);
    DrainQuit();
  }
  CWinApp app;
};

}  // namespace

TEST_F(RecentFileListTest, AddPutsFirstAndMovesDuplicatesUp) {
  CRecentFileList list(ID_FILE_MRU_FILE1, "Recent File List", "File%d", 6);
  EXPECT_EQ(list.GetSize(), 6);
  EXPECT_EQ(list.GetCount(), 0);
  list.Add("C:\\pics\\a.png");
  list.Add("C:\\pics\\b.png");
  list.Add("C:\\pics\\c.png");
  EXPECT_EQ(list[0], "C:\\pics\\c.png");
  EXPECT_EQ(list[2], "C:\\pics\\a.png");

  list.Add("c:\\PICS\\A.PNG");  // the same file
  EXPECT_EQ(list.GetCount(), 3);
  EXPECT_EQ(list[0], "c:\\PICS\\A.PNG");
  EXPECT_EQ(list[1], "C:\\pics\\c.png");
  EXPECT_EQ(list[2], "C:\\pics\\b.png");

  list.Add("");
  list.Add(nullptr);
  EXPECT_EQ(list.GetCount(), 3);
  EXPECT_EQ(list[6], "");
  EXPECT_EQ(list[-1], "");
}

TEST_F(RecentFileListTest, OnlyTheNewestSixAreKept) {
  CRecentFileList list(ID_FILE_MRU_FILE1, "Recent File List", "File%d", 6);
  for (int i = 1; i <= 8; ++i) list.Add(("C:\\f" + std::to_string(i) + ".bmp").c_str());
  EXPECT_EQ(list.GetCount(), 6);
  EXPECT_EQ(list[0], "C:\\f8.bmp");
  EXPECT_EQ(list[5], "C:\\f3.bmp");
  // Adding the last one again moves it up without losing another.
  list.Add("C:\\f3.bmp");
  EXPECT_EQ(list[0], "C:\\f3.bmp");
  EXPECT_EQ(list[5], "C:\\f4.bmp");
  EXPECT_EQ(list.GetCount(), 6);
}

TEST_F(RecentFileListTest, RemoveClosesTheGap) {
  CRecentFileList list(ID_FILE_MRU_FILE1, "Recent File List", "File%d", 6);
  list.Add("C:\\a");
  list.Add("C:\\b");
  list.Add("C:\\c");
  list.Remove(1);
  EXPECT_EQ(list.GetCount(), 2);
  EXPECT_EQ(list[0], "C:\\c");
  EXPECT_EQ(list[1], "C:\\a");
  EXPECT_EQ(list[2], "");
  list.Remove(-1);
  list.Remove(6);
  list.Remove(5);  // an empty slot
  EXPECT_EQ(list.GetCount(), 2);
  for (int i = list.GetSize() - 1; i >= 0; --i) list.Remove(i);
  EXPECT_EQ(list.GetCount(), 0);
}

TEST_F(RecentFileListTest, RelativePathsAreMadeFull) {
  CRecentFileList list(ID_FILE_MRU_FILE1, "Recent File List", "File%d", 6);
  list.Add("relative.png");
  EXPECT_EQ(list[0], AfxFullPath("relative.png"));
  EXPECT_NE(list[0].find('\\'), std::string::npos);
}

TEST_F(RecentFileListTest, WriteAndReadTheProfileSection) {
  app.LoadStdProfileSettings(6);
  ASSERT_NE(app.m_pRecentFileList, nullptr);
  EXPECT_EQ(app.m_pRecentFileList->GetSize(), 6);
  app.AddToRecentFileList("C:\\one.png");
  app.AddToRecentFileList("C:\\two.png");
  app.m_pRecentFileList->WriteList();

  CRegKey section;
  ASSERT_EQ(section.Open(HKEY_CURRENT_USER, kSection, KEY_READ), ERROR_SUCCESS);
  std::string value;
  ASSERT_EQ(section.QueryStringValue("File1", value), ERROR_SUCCESS);
  EXPECT_EQ(value, "C:\\two.png");
  ASSERT_EQ(section.QueryStringValue("File2", value), ERROR_SUCCESS);
  EXPECT_EQ(value, "C:\\one.png");
  DWORD type = 0;
  ASSERT_EQ(section.QueryValueType("File1", type), ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(section.QueryValueType("File3", type), ERROR_FILE_NOT_FOUND);
  section.Close();

  // A shorter list leaves no stale values behind.
  app.m_pRecentFileList->Remove(0);
  app.SaveStdProfileSettings();
  ASSERT_EQ(section.Open(HKEY_CURRENT_USER, kSection, KEY_READ), ERROR_SUCCESS);
  EXPECT_EQ(section.EnumValueNames(), std::vector<std::string>{"File1"});
  section.Close();

  // Read back by a fresh list, blank values skipped.
  app.WriteProfileString("Recent File List", "File2", "   ");
  app.WriteProfileString("Recent File List", "File3", "C:\\three.png");
  app.WriteProfileInt("Recent File List", "File4", 5);  // not a text: ignored
  app.LoadStdProfileSettings(6);
  EXPECT_EQ(app.m_pRecentFileList->GetCount(), 2);
  EXPECT_EQ((*app.m_pRecentFileList)[0], "C:\\one.png");
  EXPECT_EQ((*app.m_pRecentFileList)[1], "C:\\three.png");

  // Emptied and written: the section goes.
  for (int i = app.m_pRecentFileList->GetSize() - 1; i >= 0; --i) app.m_pRecentFileList->Remove(i);
  app.m_pRecentFileList->WriteList();
  EXPECT_NE(section.Open(HKEY_CURRENT_USER, kSection, KEY_READ), ERROR_SUCCESS);
}

TEST_F(RecentFileListTest, TheFileMenuShowsTheEntries) {
  app.LoadStdProfileSettings(6);
  auto* frame = new CFrameWnd;
  ASSERT_TRUE(frame->LoadFrame(IDR_TESTFRAME, WS_OVERLAPPEDWINDOW));
  HMENU file = ::GetSubMenu(frame->GetMenu(), 0);
  auto open = [&] { frame->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(file), 0); };
  auto label = [&](int pos) {
    char buf[256] = {};
    ::GetMenuStringA(file, pos, buf, sizeof(buf), MF_BYPOSITION);
    return std::string(buf);
  };

  // No files: the original item, disabled.
  open();
  EXPECT_EQ(::GetMenuItemCount(file), 4);
  EXPECT_EQ(label(1), "Recent File");
  EXPECT_TRUE(::GetMenuState(file, 1, MF_BYPOSITION) & MF_GRAYED);

  app.AddToRecentFileList("C:\\pics\\a.png");
  app.AddToRecentFileList("C:\\very long folder name\\another folder\\picture.png");
  app.AddToRecentFileList("C:\\R&D\\x.png");
  open();
  ASSERT_EQ(::GetMenuItemCount(file), 6);
  EXPECT_EQ(label(0), "&Open...");
  EXPECT_EQ(label(1), "&1 C:\\R&&D\\x.png");
  EXPECT_EQ(label(2), "&2 C:\\...\\picture.png");
  EXPECT_EQ(label(3), "&3 C:\\pics\\a.png");
  EXPECT_EQ(label(5), "E&xit");
  EXPECT_EQ(::GetMenuItemID(file, 1), static_cast<UINT>(ID_FILE_MRU_FILE1));
  EXPECT_EQ(::GetMenuItemID(file, 3), static_cast<UINT>(ID_FILE_MRU_FILE3));
  for (int i = 1; i <= 3; ++i) EXPECT_FALSE(::GetMenuState(file, i, MF_BYPOSITION) & MF_GRAYED) << i;

  // Opening again rebuilds rather than adding more.
  open();
  EXPECT_EQ(::GetMenuItemCount(file), 6);

  // Emptied: back to the single disabled item.
  for (int i = app.m_pRecentFileList->GetSize() - 1; i >= 0; --i) app.m_pRecentFileList->Remove(i);
  open();
  EXPECT_EQ(::GetMenuItemCount(file), 4);
  EXPECT_EQ(label(1), "Recent File");
  EXPECT_TRUE(::GetMenuState(file, 1, MF_BYPOSITION) & MF_GRAYED);
  frame->DestroyWindow();
}

namespace {

class CMruApp : public CWinApp {
 public:
  CMruApp() : CWinApp("Recent Test") {}
  std::string opened;
  bool succeed = false;
  CDocument* OpenDocumentFile(LPCSTR path) override {
    opened = path;
    return succeed ? reinterpret_cast<CDocument*>(this) : nullptr;  // only compared with null
  }
};

}  // namespace

TEST(RecentFileCommands, AFileThatCannotBeOpenedLeavesTheList) {
  CMruApp app;
  app.SetRegistryKey("LumatreFrameworkTest");
  app.LoadStdProfileSettings(6);
  app.AddToRecentFileList("C:\\gone.png");
  app.AddToRecentFileList("C:\\there.png");
  EXPECT_TRUE(app.OnCmdMsg(ID_FILE_MRU_FILE2, CN_COMMAND, nullptr));
  EXPECT_EQ(app.opened, "C:\\gone.png");
  EXPECT_EQ(app.m_pRecentFileList->GetCount(), 1);
  app.succeed = true;
  EXPECT_TRUE(app.OnCmdMsg(ID_FILE_MRU_FILE1, CN_COMMAND, nullptr));
  EXPECT_EQ(app.opened, "C:\\there.png");
  EXPECT_EQ(app.m_pRecentFileList->GetCount(), 1);
  // An empty slot is not handled.
  EXPECT_FALSE(app.OnCmdMsg(ID_FILE_MRU_FILE4, CN_COMMAND, nullptr));
  AfxDeleteRegKeyTree(HKEY_CURRENT_USER, kRoot);
}

TEST(RecentFileNames, AbbreviationKeepsRootAndName) {
  struct Case {
    const char* path;
    int max;
    BOOL atLeastName;
    const char* expected;
  };
  const Case cases[] = {
      {"C:\\short.png", 30, TRUE, "C:\\short.png"},
      {"C:\\a\\b\\c\\file.png", 15, TRUE, "C:\\...\\file.png"},
      {"C:\\aaaa\\bbbb\\cccc\\file.png", 22, TRUE, "C:\\...\\cccc\\file.png"},
      {"C:\\dir\\averyveryverylongfilename.png", 10, TRUE, "averyveryverylongfilename.png"},
      {"C:\\dir\\averyveryverylongfilename.png", 10, FALSE, ""},
      {"\\\\server\\share\\folder\\deeper\\name.bmp", 27, TRUE, "\\\\server\\share\\...\\name.bmp"},
      {"name.bmp", 4, TRUE, "name.bmp"},
  };
  for (const Case& c : cases) EXPECT_EQ(AfxAbbreviateName(c.path, c.max, c.atLeastName), c.expected) << c.path;
}
