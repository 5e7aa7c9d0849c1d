// The single-instance check inside one process: two checkers of the same name stand for the
// first and the second program start. Also the cursor under the pointer (shared desktop).
#include "common/AppHelpers.h"
#include "app/InstanceChecker.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string UniqueTitle() {
  return "LumatreTest" + std::to_string(GetCurrentProcessId()) + "_" +
         ::testing::UnitTest::GetInstance()->current_test_info()->name();
}

void Pump(DWORD ms) {
  DWORD start = GetTickCount();
  do {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    Sleep(10);
  } while (GetTickCount() - start < ms);
}

// A plain top-level window for the first instance.
class TestWindow {
 public:
  explicit TestWindow(HCURSOR cursor = nullptr) {
    static int serial = 0;
    m_class = "LumatreInstanceTest" + std::to_string(++serial);
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = m_class.c_str();
    wc.hCursor = cursor ? cursor : LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    RegisterClassA(&wc);
    m_hwnd = CreateWindowExA(0, m_class.c_str(), "first instance", WS_OVERLAPPEDWINDOW, 100, 100,
                             300, 200, nullptr, nullptr, wc.hInstance, nullptr);
  }
  ~TestWindow() {
    if (IsWindow(m_hwnd)) DestroyWindow(m_hwnd);
    UnregisterClassA(m_class.c_str(), GetModuleHandleA(nullptr));
  }
  HWND get() const { return m_hwnd; }

 private:
  std::string m_class;
  HWND m_hwnd = nullptr;
};

TEST(InstanceChecker, MappingNameCarriesTheTitle) {
  CInstanceChecker checker("Lumatre");
  EXPECT_EQ(checker.MappingName(), "CInstanceChecker_MMF_Lumatre");
}

TEST(InstanceChecker, FirstRunsSecondFindsIt) {
  const std::string title = UniqueTitle();
  TestWindow window;
  ASSERT_TRUE(window.get());
  CInstanceChecker first(title.c_str());
  EXPECT_FALSE(first.PreviousInstanceRunning(window.get()));
  // Asking again from the first instance changes nothing.
  EXPECT_FALSE(first.PreviousInstanceRunning(window.get()));

  CInstanceChecker second(title.c_str());
  EXPECT_TRUE(second.PreviousInstanceRunning(nullptr));
  EXPECT_EQ(second.ReadPreviousWindow(), window.get());

  // The mapping is really named so: another program can find it.
  HANDLE mapping = OpenFileMappingA(FILE_MAP_READ, FALSE, ("CInstanceChecker_MMF_" + title).c_str());
  ASSERT_NE(mapping, nullptr);
  CloseHandle(mapping);
}

TEST(InstanceChecker, TheMappingGoesWithTheFirstInstance) {
  const std::string title = UniqueTitle();
  {
    CInstanceChecker first(title.c_str());
    EXPECT_FALSE(first.PreviousInstanceRunning(nullptr));
  }
  CInstanceChecker later(title.c_str());
  EXPECT_FALSE(later.PreviousInstanceRunning(nullptr));
}

TEST(InstanceChecker, HandOverRestoresAHiddenMinimisedWindow) {
  const std::string title = UniqueTitle();
  TestWindow window;
  ShowWindow(window.get(), SW_SHOWMINIMIZED);
  ShowWindow(window.get(), SW_HIDE);  // closed to the tray
  Pump(100);
  ASSERT_TRUE(IsIconic(window.get()));
  ASSERT_FALSE(IsWindowVisible(window.get()));

  CInstanceChecker first(title.c_str());
  ASSERT_FALSE(first.PreviousInstanceRunning(window.get()));
  CInstanceChecker second(title.c_str());
  ASSERT_TRUE(second.PreviousInstanceRunning(nullptr));
  EXPECT_TRUE(second.ActivatePreviousInstance());
  Pump(200);
  EXPECT_TRUE(IsWindowVisible(window.get()));
  EXPECT_FALSE(IsIconic(window.get()));
  EXPECT_EQ(GetForegroundWindow(), window.get());
  // The hand-over closes the second instance's mapping handle; the first keeps its own.
  EXPECT_FALSE(second.ActivatePreviousInstance());
  CInstanceChecker third(title.c_str());
  EXPECT_TRUE(third.PreviousInstanceRunning(nullptr));
}

TEST(InstanceChecker, HandOverBringsTheLastActivePopupForward) {
  const std::string title = UniqueTitle();
  TestWindow window;
  ShowWindow(window.get(), SW_SHOW);
  HWND popup = CreateWindowExA(0, "STATIC", "popup", WS_POPUP | WS_CAPTION | WS_VISIBLE, 150, 150,
                               200, 100, window.get(), nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_TRUE(popup);
  SetActiveWindow(popup);
  Pump(100);
  CInstanceChecker first(title.c_str());
  ASSERT_FALSE(first.PreviousInstanceRunning(window.get()));
  HWND other = CreateWindowExA(0, "STATIC", "other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 100,
                               100, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  SetForegroundWindow(other);
  Pump(100);
  CInstanceChecker second(title.c_str());
  ASSERT_TRUE(second.PreviousInstanceRunning(nullptr));
  EXPECT_TRUE(second.ActivatePreviousInstance());
  Pump(200);
  EXPECT_EQ(GetForegroundWindow(), popup);
  DestroyWindow(other);
  DestroyWindow(popup);
}

TEST(InstanceChecker, NoWindowOrAGoneWindowIsNoCrash) {
  const std::string title = UniqueTitle();
  CInstanceChecker first(title.c_str());
  ASSERT_FALSE(first.PreviousInstanceRunning(nullptr));
  CInstanceChecker second(title.c_str());
  ASSERT_TRUE(second.PreviousInstanceRunning(nullptr));
  EXPECT_FALSE(second.ActivatePreviousInstance());

  const std::string title2 = title + "b";
  HWND gone;
  {
    TestWindow window;
    gone = window.get();
  }
  CInstanceChecker firstB(title2.c_str());
  ASSERT_FALSE(firstB.PreviousInstanceRunning(gone));
  CInstanceChecker secondB(title2.c_str());
  ASSERT_TRUE(secondB.PreviousInstanceRunning(nullptr));
  EXPECT_FALSE(secondB.ActivatePreviousInstance());
  // The first instance itself never hands over to anyone.
  EXPECT_FALSE(firstB.ActivatePreviousInstance());
}

TEST(CursorAtPoint, IsTheCursorOfTheWindowUnderThePointer) {
  HCURSOR cross = LoadCursor(nullptr, IDC_CROSS);
  TestWindow window(cross);
  ShowWindow(window.get(), SW_SHOW);
  SetForegroundWindow(window.get());
  Pump(100);
  RECT r;
  GetWindowRect(window.get(), &r);
  SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  Pump(200);
  // Our own thread's window: the current cursor, which the class cursor set on mouse move.
  EXPECT_EQ(GetCursorAtPoint(), GetCursor());
  EXPECT_EQ(GetCursorAtPoint(), cross);
}

}  // namespace
