// The hook procedures as they run in another process: a peer window in the foreground receives
// the injected input, the hooks inside it forward to a window of this process.
#include "HookSharedData.h"
#include "PeerProcess.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

namespace {

struct Forwarded {
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};

std::vector<Forwarded> g_forwarded;
// A busy main program: the next forwarded message takes this long, calling g_whileBusy meanwhile.
DWORD g_busyMs = 0;
std::function<void(DWORD elapsed)> g_whileBusy;

LRESULT CALLBACK TargetProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == TSYM_ForwardKeyboardMessage || msg == TSYM_ForwardMouseMessage) {
    g_forwarded.push_back({msg, wp, lp});
    const DWORD busy = g_busyMs, start = GetTickCount();
    g_busyMs = 0;
    while (GetTickCount() - start < busy) {
      if (g_whileBusy) g_whileBusy(GetTickCount() - start);
      Sleep(20);
    }
    return 0;
  }
  return DefWindowProcA(wnd, msg, wp, lp);
}

void Pump(DWORD ms) {
  DWORD end = GetTickCount() + ms;
  do {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    Sleep(10);
  } while (static_cast<LONG>(end - GetTickCount()) > 0);
}

// Pumps until pred holds or ms have passed; whether it holds.
template <typename Pred>
bool PumpUntil(Pred pred, DWORD ms = 3000) {
  DWORD end = GetTickCount() + ms;
  while (!pred()) {
    if (static_cast<LONG>(end - GetTickCount()) <= 0) return false;
    Pump(20);
  }
  return true;
}

bool SawForwarded(UINT message, WPARAM wp, LPARAM lp) {
  for (const Forwarded& f : g_forwarded)
    if (f.message == message && f.wParam == wp && f.lParam == lp) return true;
  return false;
}

void Key(WORD vk, bool up) {
  INPUT in{};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = vk;
  in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  SendInput(1, &in, sizeof in);
  Pump(60);
}

void MoveMouse(int x, int y) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dx = x * 65536 / GetSystemMetrics(SM_CXSCREEN) + 1;
  in.mi.dy = y * 65536 / GetSystemMetrics(SM_CYSCREEN) + 1;
  in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  SendInput(1, &in, sizeof in);
  Pump(100);
}

class HookProcedures : public ::testing::Test {
 protected:
  void SetUp() override {
    g_forwarded.clear();
    WNDCLASSA wc{};
    wc.lpfnWndProc = TargetProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "HookTestTarget";
    RegisterClassA(&wc);
    m_target = CreateWindowExA(0, wc.lpszClassName, "target", WS_POPUP, 0, 0, 10, 10, nullptr,
                              nullptr, wc.hInstance, nullptr);
    ASSERT_NE(m_target, nullptr);
    TSY_GetCaptureHotKey(m_saved);
    m_query = RegisterWindowMessageA("HookPeerQuery");
    m_peer = std::make_unique<PeerProcess>("window 300 200 200 150");
    for (int i = 0; i < 100 && !m_peerWindow; ++i) {
      Pump(50);
      m_peerWindow = FindWindowA("HookPeerWindow", nullptr);
    }
    ASSERT_NE(m_peerWindow, nullptr);
    Pump(300);
    ASSERT_EQ(GetForegroundWindow(), m_peerWindow);
  }
  void TearDown() override {
    g_busyMs = 0;
    g_whileBusy = nullptr;
    TSY_UnHookMouse();
    TSY_UnHookKeyboard();
    TSY_SetCaptureHotKey(m_saved);
    if (m_peerWindow) PostMessageA(m_peerWindow, WM_CLOSE, 0, 0);
    m_peer.reset();
    if (m_target) DestroyWindow(m_target);
  }
  // Key messages the peer window saw for vk: downs | ups << 16.
  DWORD PeerKeys(UINT vk) { return static_cast<DWORD>(SendMessageA(m_peerWindow, m_query, vk, 0)); }
  DWORD PeerMouse() { return static_cast<DWORD>(SendMessageA(m_peerWindow, m_query, 0, 0)); }
  void HookKeyboardWith(std::initializer_list<std::pair<int, WORD>> codes) {
    WORD table[kHookHotkeySlots] = {};
    for (auto [slot, code] : codes) table[slot] = code;
    ASSERT_EQ(TSY_HookKeyboard(m_target, table), 1);
  }

  HWND m_target = nullptr;
  HWND m_peerWindow = nullptr;
  UINT m_query = 0;
  WORD m_saved[kHookHotkeySlots]{};
  std::unique_ptr<PeerProcess> m_peer;
};

TEST(HookPacking, PointsAreCutTo16BitsEach) {
  EXPECT_EQ(PackForwardedPoint(100, 200), static_cast<LPARAM>(0x00C80064));
  EXPECT_EQ(static_cast<DWORD>(PackForwardedPoint(-1, -2)), 0xFFFEFFFFu);
  EXPECT_EQ(static_cast<DWORD>(PackForwardedPoint(70000, 0)), 70000u & 0xFFFF);
  EXPECT_EQ(MakeHotkeyCode('C', true, true, true), 0xE043);
  EXPECT_EQ(MakeHotkeyCode(VK_SNAPSHOT, false, false, true), 0x202C);
}

TEST_F(HookProcedures, HotkeyMatchesOnReleaseWithModifiersHeld) {
  HookKeyboardWith({{3, 0xA053}});  // Ctrl+Alt+S
  Key(VK_CONTROL, false);
  Key(VK_MENU, false);
  Key('S', false);
  EXPECT_TRUE(g_forwarded.empty()) << "a press is never a match";
  Key('S', true);
  Key(VK_MENU, true);
  Key(VK_CONTROL, true);
  PumpUntil([] { return !g_forwarded.empty(); });
  Pump(200);
  ASSERT_EQ(g_forwarded.size(), 1u);
  EXPECT_EQ(g_forwarded[0].message, TSYM_ForwardKeyboardMessage);
  EXPECT_EQ(g_forwarded[0].wParam, 3u);
  EXPECT_EQ(g_forwarded[0].lParam, 'S');
  // The press reached the peer, the matched release was swallowed.
  EXPECT_EQ(PeerKeys('S'), 1u);
}

TEST_F(HookProcedures, ReleasingTheModifierFirstGivesNoMatch) {
  HookKeyboardWith({{3, 0xA053}});
  Key(VK_CONTROL, false);
  Key(VK_MENU, false);
  Key('S', false);
  Key(VK_MENU, true);
  Key(VK_CONTROL, true);
  Key('S', true);
  PumpUntil([&] { return PeerKeys('S') == 0x10001u; });
  EXPECT_TRUE(g_forwarded.empty());
  EXPECT_EQ(PeerKeys('S'), 0x10001u);
}

TEST_F(HookProcedures, LowerIndexWinsAndTheFirstHookKeepsItsTable) {
  HookKeyboardWith({{7, 0x0071}, {2, 0x0071}});  // F2 twice
  WORD other[kHookHotkeySlots] = {};
  other[9] = 0x0071;
  EXPECT_EQ(TSY_HookKeyboard(nullptr, other), 1);  // already installed: nothing changes
  WORD now[kHookHotkeySlots];
  TSY_GetCaptureHotKey(now);
  EXPECT_EQ(now[9], 0);
  EXPECT_EQ(now[2], 0x0071);
  Key(VK_F2, false);
  Key(VK_F2, true);
  PumpUntil([] { return !g_forwarded.empty(); });
  Pump(200);
  ASSERT_EQ(g_forwarded.size(), 1u);
  EXPECT_EQ(g_forwarded[0].wParam, 2u);
}

TEST_F(HookProcedures, TrackingSwallowsKeysAndForwardsSteeringKeys) {
  HookKeyboardWith({{4, 0xA052}});
  ASSERT_EQ(TSY_HookMouse(m_target, LoadCursorA(nullptr, IDC_CROSS)), 1);
  Pump(200);
  g_forwarded.clear();
  Key(VK_RETURN, false);
  Key(VK_RETURN, true);
  Key('A', false);
  Key('A', true);
  Key(VK_LEFT, false);
  Key(VK_LEFT, false);  // auto-repeat
  Key(VK_LEFT, false);  // auto-repeat
  Key(VK_LEFT, true);
  PumpUntil([] { return g_forwarded.size() >= 4; });
  Pump(200);
  std::vector<LPARAM> keys;
  for (const Forwarded& f : g_forwarded) {
    if (f.message != TSYM_ForwardKeyboardMessage) continue;
    EXPECT_EQ(f.wParam, static_cast<WPARAM>(-1));
    keys.push_back(f.lParam);
  }
  EXPECT_EQ(keys, (std::vector<LPARAM>{VK_RETURN, VK_LEFT, VK_LEFT, VK_LEFT}));
  EXPECT_EQ(PeerKeys(VK_RETURN), 0u);
  EXPECT_EQ(PeerKeys('A'), 0u);
  EXPECT_EQ(PeerKeys(VK_LEFT), 0u);

  ASSERT_EQ(TSY_UnHookMouse(), 1);
  EXPECT_EQ(TSY_UnHookMouse(), 0);
  Key('A', false);
  Key('A', true);
  PumpUntil([&] { return PeerKeys('A') == 0x10001u; });
  EXPECT_EQ(PeerKeys('A'), 0x10001u) << "keys flow again after tracking";
}

TEST_F(HookProcedures, MouseEventsAreSwallowedAndForwarded) {
  ShowWindow(m_target, SW_SHOWNA);
  ASSERT_EQ(TSY_HookMouse(m_target, LoadCursorA(nullptr, IDC_CROSS)), 1);
  EXPECT_EQ(TSY_HookMouse(m_target, nullptr), 1) << "already installed";
  Pump(200);
  DWORD before = PeerMouse();
  g_forwarded.clear();
  MoveMouse(350, 260);
  MoveMouse(360, 270);
  EXPECT_TRUE(PumpUntil([] {
    return SawForwarded(TSYM_ForwardMouseMessage, WM_MOUSEMOVE, PackForwardedPoint(360, 270));
  }));
  Pump(200);
  for (const Forwarded& f : g_forwarded) EXPECT_EQ(f.message, TSYM_ForwardMouseMessage);
  EXPECT_EQ(PeerMouse(), before) << "the peer never sees a hooked mouse event";
  EXPECT_FALSE(IsWindowVisible(m_target)) << "the target is hidden while tracking";
  HookMouseRecord record{};
  EXPECT_EQ(TSY_GetMouseHookStruct(&record), 1);
  // The record is the copy of a hooked event; Wine may run the hook for the two moves on two
  // threads, so either of them can be the last one copied.
  EXPECT_TRUE((record.x == 360 && record.y == 270) || (record.x == 350 && record.y == 260))
      << record.x << ", " << record.y;
  ASSERT_EQ(TSY_UnHookMouse(), 1);
  MoveMouse(380, 280);
  PumpUntil([&] { return PeerMouse() > before; });
  EXPECT_GT(PeerMouse(), before) << "mouse input flows again after the unhook";
}

// A main program busy for three seconds holds the program in front for about one: the hotkey's
// release it did not take in time goes on to the program in front.
TEST_F(HookProcedures, ABusyMainProgramHoldsAHotkeyReleaseAboutASecond) {
  HookKeyboardWith({{3, 0xA053}});
  Key(VK_CONTROL, false);
  Key(VK_MENU, false);
  Key('S', false);
  DWORD passedOnAt = 0;
  g_busyMs = 3000;
  g_whileBusy = [&](DWORD elapsed) {
    DWORD_PTR keys = 0;
    if (passedOnAt == 0 && SendMessageTimeoutA(m_peerWindow, m_query, 'S', 0, SMTO_NORMAL, 200, &keys) &&
        (keys >> 16) >= 1)
      passedOnAt = elapsed;
  };
  Key('S', true);
  PumpUntil([] { return !g_forwarded.empty(); });
  Key(VK_MENU, true);
  Key(VK_CONTROL, true);
  ASSERT_EQ(g_forwarded.size(), 1u);
  EXPECT_EQ(g_forwarded[0].wParam, 3u);
  EXPECT_GT(passedOnAt, 0u) << "the program in front waited for the whole busy time";
  EXPECT_LT(passedOnAt, 2500u);
}

// A cursor that cannot be copied leaves the pointer as it was instead of hiding it.
TEST_F(HookProcedures, ACursorThatCannotBeCopiedLeavesThePointerAlone) {
  HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
  SetCursor(arrow);
  ASSERT_EQ(TSY_HookMouse(m_target, reinterpret_cast<HCURSOR>(static_cast<INT_PTR>(0x4321))), 1);
  EXPECT_EQ(GetCursor(), arrow);
  ASSERT_EQ(TSY_UnHookMouse(), 1);
}

TEST_F(HookProcedures, AGoneTargetBlocksNothing) {
  HookKeyboardWith({{3, 0xA053}});
  ASSERT_EQ(TSY_HookMouse(m_target, nullptr), 1);
  DestroyWindow(m_target);
  m_target = nullptr;
  Key('B', false);
  Key('B', true);
  PumpUntil([&] { return PeerKeys('B') == 0x10001u; });
  EXPECT_EQ(PeerKeys('B'), 0x10001u);
  EXPECT_TRUE(g_forwarded.empty());
}

}  // namespace
