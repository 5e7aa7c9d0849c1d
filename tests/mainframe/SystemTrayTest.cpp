// The tray icon against a taskbar that records what it is told, or refuses the icon.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "ui/SystemTray.h"

namespace {

struct Call {
  DWORD message;
  NOTIFYICONDATAA data;
};
std::vector<Call> g_calls;
BOOL g_answer = TRUE;

BOOL WINAPI RecordingTaskbar(DWORD message, PNOTIFYICONDATAA data) {
  g_calls.push_back(Call{message, *data});
  return g_answer;
}

class SystemTrayTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_calls.clear();
    g_answer = TRUE;
    CSystemTray::SetNotifyIconFunction(RecordingTaskbar);
    ASSERT_TRUE(target.CreateEx(0, AfxFrameWndClass(), "target", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                                nullptr));
  }
  void TearDown() override { CSystemTray::SetNotifyIconFunction(nullptr); }

  CWnd target;
};

TEST_F(SystemTrayTest, AddsTheIconWithItsRecordAndTakesItOffWithTheWindow) {
  HICON icon = ::LoadIconA(nullptr, MAKEINTRESOURCEA(32512));
  {
    CSystemTray tray;
    ASSERT_TRUE(tray.Create(&target, WM_USER + 200, "Lumatre", icon, 155));
    EXPECT_TRUE(tray.IsEnabled());
    ASSERT_EQ(g_calls.size(), 1u);
    const NOTIFYICONDATAA& d = g_calls[0].data;
    EXPECT_EQ(g_calls[0].message, static_cast<DWORD>(NIM_ADD));
    EXPECT_EQ(d.hWnd, tray.m_hWnd);
    EXPECT_EQ(d.uID, 155u);
    EXPECT_EQ(d.uCallbackMessage, static_cast<UINT>(WM_USER + 200));
    EXPECT_EQ(d.uFlags, static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP));
    EXPECT_EQ(d.hIcon, icon);
    EXPECT_STREQ(d.szTip, "Lumatre");
    EXPECT_EQ(tray.GetWindowText(), "");
    char className[64] = {};
    ::GetClassNameA(tray.m_hWnd, className, sizeof className);
    EXPECT_STREQ(className, "LumatreSystemTrayClass");
    EXPECT_FALSE(tray.IsWindowVisible());

    // The shell started again: the icon goes back on the new taskbar.
    tray.SendMessage(::RegisterWindowMessageA("TaskbarCreated"));
    ASSERT_EQ(g_calls.size(), 2u);
    EXPECT_EQ(g_calls[1].message, static_cast<DWORD>(NIM_ADD));
    EXPECT_EQ(g_calls[1].data.uID, 155u);
  }
  ASSERT_EQ(g_calls.size(), 3u);
  EXPECT_EQ(g_calls[2].message, static_cast<DWORD>(NIM_DELETE));
  EXPECT_EQ(g_calls[2].data.uID, 155u);
}

TEST_F(SystemTrayTest, ARefusedIconLeavesNothingBehind) {
  g_answer = FALSE;
  CSystemTray tray;
  EXPECT_FALSE(tray.Create(&target, WM_USER + 200, "Lumatre", nullptr, 155));
  EXPECT_FALSE(tray.IsEnabled());
  EXPECT_EQ(tray.m_hWnd, nullptr);
  ASSERT_EQ(g_calls.size(), 1u);
  tray.RemoveIcon();  // nothing to remove
  EXPECT_EQ(g_calls.size(), 1u);
  // A later attempt may succeed.
  g_answer = TRUE;
  EXPECT_TRUE(tray.Create(&target, WM_USER + 200, "Lumatre", nullptr, 155));
}

TEST_F(SystemTrayTest, ADoubleClickBringsTheHiddenTargetBack) {
  CSystemTray tray;
  ASSERT_TRUE(tray.Create(&target, WM_USER + 200, "Lumatre", nullptr, 155));
  target.ShowWindow(SW_MINIMIZE);
  target.ShowWindow(SW_HIDE);
  ASSERT_FALSE(target.IsWindowVisible());
  // Another icon's notification is not ours.
  tray.SendMessage(WM_USER + 200, 154, WM_LBUTTONDBLCLK);
  EXPECT_FALSE(target.IsWindowVisible());
  tray.SendMessage(WM_USER + 200, 155, WM_LBUTTONDBLCLK);
  EXPECT_TRUE(target.IsWindowVisible());
  EXPECT_FALSE(target.IsIconic());
}

// A disabled target runs a modal loop for a window it owns: a dialog, or a box over that
// dialog (which disables the dialog in turn). Clicks on the icon go to that window.
TEST_F(SystemTrayTest, ClicksWhileTheTargetIsDisabledGoToItsDialog) {
  CSystemTray tray;
  ASSERT_TRUE(tray.Create(&target, WM_USER + 200, "Lumatre", nullptr, 155));
  auto popupOf = [](HWND owner) {
    return ::CreateWindowExA(0, "STATIC", "popup", WS_POPUP | WS_CAPTION | WS_VISIBLE, 10, 10, 100, 60, owner,
                             nullptr, nullptr, nullptr);
  };
  EXPECT_EQ(CSystemTray::ModalPopupOf(target.m_hWnd), nullptr);  // enabled: no modal loop
  HWND dialog = popupOf(target.m_hWnd);
  HWND box = popupOf(dialog);
  HWND stranger = popupOf(nullptr);
  target.EnableWindow(FALSE);
  const struct {
    bool dialogEnabled;
    HWND expected;
  } cases[] = {{false, box}, {true, dialog}};
  for (const auto& c : cases) {
    ::EnableWindow(dialog, c.dialogEnabled);
    ::ShowWindow(box, c.dialogEnabled ? SW_HIDE : SW_SHOW);
    EXPECT_EQ(CSystemTray::ModalPopupOf(target.m_hWnd), c.expected) << c.dialogEnabled;
  }
  // Hidden in the tray, the target comes back with its dialog in front.
  target.ShowWindow(SW_HIDE);
  ::SetActiveWindow(stranger);
  tray.SendMessage(WM_USER + 200, 155, WM_LBUTTONDBLCLK);
  EXPECT_TRUE(target.IsWindowVisible());
  EXPECT_EQ(::GetActiveWindow(), dialog);
  ::DestroyWindow(stranger);
  ::DestroyWindow(dialog);
  target.EnableWindow(TRUE);
}

}  // namespace
