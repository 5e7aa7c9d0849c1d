// The application object: idle processing in the message loop, the entry sequence of WinMain
// (also when InitInstance fails), names and the command line.
#include <gtest/gtest.h>

#include <vector>

#include "FrameworkTestRes.h"
#include "FrameworkTestSupport.h"

namespace {

class CIdleApp : public CWinApp {
 public:
  std::vector<LONG> counts;
  int ticks = 0;
  BOOL OnIdle(LONG lCount) override {
    counts.push_back(lCount);
    CWinApp::OnIdle(lCount);
    return lCount < 3;  // four idle calls each time the queue runs dry
  }
};

CIdleApp* g_idleApp = nullptr;

void CALLBACK IdleTimerProc(HWND, UINT, UINT_PTR id, DWORD) {
  if (++g_idleApp->ticks == 2) {
    ::KillTimer(nullptr, id);
    ::PostQuitMessage(7);
  }
}

}  // namespace

TEST(App, RunCallsOnIdleWhileTheQueueIsEmptyAndAgainAfterEachMessage) {
  CIdleApp app;
  g_idleApp = &app;
  ASSERT_NE(::SetTimer(nullptr, 0, 30, IdleTimerProc), 0u);
  int code = app.Run();
  EXPECT_EQ(code, 7);  // WM_QUIT's code, returned by ExitInstance
  EXPECT_EQ(app.ticks, 2);

  // Runs of 0, 1, 2, 3: one before the first tick and at least one after it.
  ASSERT_GE(app.counts.size(), 8u);
  int runs = 0;
  for (size_t i = 0; i < app.counts.size(); ++i) {
    if (app.counts[i] == 0) ++runs;
    if (i > 0 && app.counts[i] != 0) {
      EXPECT_EQ(app.counts[i], app.counts[i - 1] + 1);
    }
    EXPECT_LE(app.counts[i], 3);
  }
  EXPECT_GE(runs, 2);
  EXPECT_EQ(app.counts.back(), 3);
  g_idleApp = nullptr;
}

TEST(App, RepeatedMouseMovesAndPaintDoNotRestartIdle) {
  CWinApp app("Idle Messages");
  MSG move{};
  move.message = WM_MOUSEMOVE;
  move.pt = {10, 20};
  EXPECT_TRUE(app.IsIdleMessage(&move));
  EXPECT_FALSE(app.IsIdleMessage(&move));  // same place again
  move.pt = {11, 20};
  EXPECT_TRUE(app.IsIdleMessage(&move));
  MSG paint{};
  paint.message = WM_PAINT;
  EXPECT_FALSE(app.IsIdleMessage(&paint));
  MSG key{};
  key.message = WM_KEYDOWN;
  EXPECT_TRUE(app.IsIdleMessage(&key));
}

namespace {

class CStartApp : public CWinApp {
 public:
  BOOL succeed = TRUE;
  int initCalls = 0, exitCalls = 0;
  HWND mainAtInit = nullptr;
  bool mainGoneAtExit = false;
  std::string cmdLine;
  int cmdShow = -1;

  BOOL InitInstance() override {
    ++initCalls;
    cmdLine = m_lpCmdLine ? m_lpCmdLine : "";
    cmdShow = m_nCmdShow;
    auto* frame = new CFrameWnd;
    if (!frame->Create(nullptr, "Start test")) {
      delete frame;
      return FALSE;
    }
    m_pMainWnd = frame;
    mainAtInit = frame->m_hWnd;
    if (succeed) ::PostQuitMessage(5);
    return succeed;
  }
  int ExitInstance() override {
    ++exitCalls;
    mainGoneAtExit = !::IsWindow(mainAtInit);
    return CWinApp::ExitInstance() + 100;
  }
};

}  // namespace

TEST(App, WinMainRunsInitRunAndExit) {
  CStartApp app;
  char cmd[] = "/p file.png";
  int code = AfxWinMain(::GetModuleHandleA(nullptr), nullptr, cmd, SW_HIDE);
  EXPECT_EQ(code, 105);  // the quit code through ExitInstance
  EXPECT_EQ(app.initCalls, 1);
  EXPECT_EQ(app.exitCalls, 1);
  EXPECT_EQ(app.cmdLine, "/p file.png");
  EXPECT_EQ(app.cmdShow, SW_HIDE);
  if (app.m_pMainWnd) app.m_pMainWnd->DestroyWindow();
  DrainQuit();
}

TEST(App, FailedInitInstanceDestroysTheMainWindowThenExits) {
  CStartApp app;
  app.succeed = FALSE;
  char cmd[] = "";
  int code = AfxWinMain(::GetModuleHandleA(nullptr), nullptr, cmd, SW_SHOWNORMAL);
  EXPECT_EQ(app.initCalls, 1);
  EXPECT_EQ(app.exitCalls, 1);
  EXPECT_TRUE(app.mainGoneAtExit);
  EXPECT_EQ(app.m_pMainWnd, nullptr);
  EXPECT_EQ(code, 100);
  DrainQuit();
}

TEST(App, NamesComeFromTheResourcesOrTheProgram) {
  {
    CWinApp named("Given Title");
    EXPECT_STREQ(named.m_pszAppName, "Given Title");
    EXPECT_EQ(AfxGetApp(), &named);
    EXPECT_STREQ(AfxGetAppName(), "Given Title");
    named.SetRegistryKey("Maker");
    EXPECT_STREQ(named.m_pszRegistryKey, "Maker");
    EXPECT_STREQ(named.m_pszProfileName, "Given Title");  // the profile is the title
  }
  EXPECT_EQ(AfxGetApp(), nullptr);
  // The test program has no AFX_IDS_APP_TITLE: the exe name serves.
  CWinApp unnamed;
  EXPECT_STREQ(unnamed.m_pszAppName, unnamed.m_pszExeName);
  EXPECT_STREQ(unnamed.m_pszExeName, "framework_app");
}

TEST(App, CommandLineIsSplitLikeThePlatformDoes) {
  struct Case {
    const char* line;
    std::vector<std::string> args;
  };
  const Case cases[] = {
      {"", {}},
      {"   ", {}},
      {"a b  c", {"a", "b", "c"}},
      {"\"C:\\My Pictures\\shot 1.png\" /p", {"C:\\My Pictures\\shot 1.png", "/p"}},
      {"C:\\dir\\ \"x\"", {"C:\\dir\\", "x"}},
      {"a\\\\\"b c\"", {"a\\b c"}},
      {"a\\\"b", {"a\"b"}},
      {"\"\"", {""}},
      {"\"unterminated quote", {"unterminated quote"}},
  };
  for (const Case& c : cases) EXPECT_EQ(AfxSplitCommandLine(c.line), c.args) << c.line;
}

TEST(App, ParseCommandLineFillsTheRecord) {
  CWinApp app("Parse");
  char line[] = "/nologo \"C:\\a b\\c.png\"";
  app.m_lpCmdLine = line;
  CCommandLineInfo info;
  app.ParseCommandLine(info);
  EXPECT_EQ(info.m_nShellCommand, CCommandLineInfo::FileOpen);
  EXPECT_EQ(info.m_strFileName, "C:\\a b\\c.png");
  EXPECT_FALSE(info.m_bShowSplash);

  char print[] = "-pt doc.bmp \"Printer One\" driver port";
  app.m_lpCmdLine = print;
  CCommandLineInfo pt;
  app.ParseCommandLine(pt);
  EXPECT_EQ(pt.m_nShellCommand, CCommandLineInfo::FilePrintTo);
  EXPECT_EQ(pt.m_strFileName, "doc.bmp");
  EXPECT_EQ(pt.m_strPrinterName, "Printer One");
  EXPECT_EQ(pt.m_strDriverName, "driver");
  EXPECT_EQ(pt.m_strPortName, "port");

  char none[] = "";
  app.m_lpCmdLine = none;
  CCommandLineInfo empty;
  app.ParseCommandLine(empty);
  EXPECT_EQ(empty.m_nShellCommand, CCommandLineInfo::FileNew);
  EXPECT_TRUE(empty.m_strFileName.empty());
}
