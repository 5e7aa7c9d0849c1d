// Message maps under a real window: cracked handlers, chaining to the base class's map, default
// processing, registered messages read at dispatch time, commands, notifications, creation
// failure, destruction and subclassing.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "FrameworkTestSupport.h"

namespace {

UINT g_registeredMessage = 0;  // set only after the maps were first used
int g_postNcDestroyCalls = 0;

constexpr UINT WM_TEST_PRIVATE = WM_APP + 1;
constexpr UINT WM_TEST_THROW = WM_APP + 2;
constexpr UINT ID_CMD_PLAIN = 40001;
constexpr UINT ID_CMD_RANGE_FIRST = 40010;
constexpr UINT ID_CMD_RANGE_LAST = 40019;
constexpr UINT ID_CMD_EX = 40020;
constexpr UINT IDC_CHILD_EDIT = 40030;

class CBaseTestWnd : public CWnd {
 public:
  std::vector<std::string> log;
  UINT sizeType = 0;
  int cx = -1, cy = -1;

 protected:
  void OnSize(UINT type, int x, int y) {
    sizeType = type;
    cx = x;
    cy = y;
    log.push_back("base:size");
    CWnd::OnSize(type, x, y);
  }
  void OnTimer(UINT_PTR id) { log.push_back("base:timer" + std::to_string(id)); }
  LRESULT OnPrivate(WPARAM w, LPARAM l) { return static_cast<LRESULT>(w + l); }
  void OnCmdEx() { log.push_back("base:cmdex"); }

  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CBaseTestWnd, CWnd)
  ON_WM_SIZE()
  ON_WM_TIMER()
  ON_MESSAGE(WM_TEST_PRIVATE, OnPrivate)
  ON_COMMAND(ID_CMD_EX, OnCmdEx)
END_MESSAGE_MAP()

class CDerivedTestWnd : public CBaseTestWnd {
 public:
  bool failCreate = false;
  int creates = 0;
  CPoint lastPoint{-100, -100};
  UINT hotkeyId = 0, hotkeyMods = 0, hotkeyVk = 0;
  std::vector<UINT> rangeIds;
  int editChanges = 0;
  int plainCommands = 0;
  UINT lastNotifyId = 0;

  void PostNcDestroy() override { ++g_postNcDestroyCalls; }

 private:
  // Private handlers: the map's thunks reach them.
  int OnCreate(LPCREATESTRUCT cs) {
    ++creates;
    if (failCreate) return -1;
    return CBaseTestWnd::OnCreate(cs);
  }
  void OnTimer(UINT_PTR id) {
    log.push_back("derived:timer");
    CBaseTestWnd::OnTimer(id);
  }
  void OnLButtonDown(UINT, CPoint point) { lastPoint = point; }
  void OnHotKey(UINT id, UINT mods, UINT vk) {
    hotkeyId = id;
    hotkeyMods = mods;
    hotkeyVk = vk;
  }
  LRESULT OnRegistered(WPARAM w, LPARAM) { return 77 + static_cast<LRESULT>(w); }
  LRESULT OnThrow(WPARAM, LPARAM) { throw std::runtime_error("handler failed"); }
  void OnPlain() { ++plainCommands; }
  void OnRange(UINT id) { rangeIds.push_back(id); }
  BOOL OnCmdExFirst(UINT) {
    log.push_back("derived:cmdex");
    return FALSE;  // let the base class have it too
  }
  void OnEditChange() { ++editChanges; }
  void OnClick(NMHDR* nm, LRESULT* result) {
    lastNotifyId = static_cast<UINT>(nm->idFrom);
    *result = 9;
  }

  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CDerivedTestWnd, CBaseTestWnd)
  ON_WM_CREATE()
  ON_WM_TIMER()
  ON_WM_LBUTTONDOWN()
  ON_WM_HOTKEY()
  ON_REGISTERED_MESSAGE(g_registeredMessage, OnRegistered)
  ON_MESSAGE(WM_TEST_THROW, OnThrow)
  ON_COMMAND(ID_CMD_PLAIN, OnPlain)
  ON_COMMAND_RANGE(ID_CMD_RANGE_FIRST, ID_CMD_RANGE_LAST, OnRange)
  ON_COMMAND_EX(ID_CMD_EX, OnCmdExFirst)
  ON_EN_CHANGE(IDC_CHILD_EDIT, OnEditChange)
  ON_NOTIFY(NM_CLICK, 5, OnClick)
END_MESSAGE_MAP()

bool MakeWindow(CWnd& wnd) {
  return wnd.CreateEx(0, nullptr, "Message map test", WS_OVERLAPPEDWINDOW, 10, 10, 200, 150, nullptr, nullptr) != FALSE;
}

// An EDIT control made through CreateEx, counting WM_CHAR and keeping the control's behaviour.
class CEditSpy : public CWnd {
 public:
  int chars = 0;

 protected:
  void OnChar(UINT ch, UINT rep, UINT flags) {
    ++chars;
    CWnd::OnChar(ch, rep, flags);
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CEditSpy, CWnd)
  ON_WM_CHAR()
END_MESSAGE_MAP()

}  // namespace

TEST(MessageMap, CrackedHandlersGetTheirParameters) {
  CDerivedTestWnd wnd;
  ASSERT_TRUE(MakeWindow(wnd));
  EXPECT_EQ(wnd.creates, 1);

  wnd.SendMessage(WM_SIZE, SIZE_MAXIMIZED, MAKELPARAM(300, 200));
  EXPECT_EQ(wnd.sizeType, static_cast<UINT>(SIZE_MAXIMIZED));
  EXPECT_EQ(wnd.cx, 300);
  EXPECT_EQ(wnd.cy, 200);

  // Mouse coordinates are signed (left of the window on a second monitor).
  wnd.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(static_cast<WORD>(-5), 7));
  EXPECT_EQ(wnd.lastPoint, CPoint(-5, 7));

  wnd.SendMessage(WM_HOTKEY, 9, MAKELPARAM(MOD_CONTROL | MOD_ALT, 'D'));
  EXPECT_EQ(wnd.hotkeyId, 9u);
  EXPECT_EQ(wnd.hotkeyMods, static_cast<UINT>(MOD_CONTROL | MOD_ALT));
  EXPECT_EQ(wnd.hotkeyVk, static_cast<UINT>('D'));
}

TEST(MessageMap, DerivedEntriesComeFirstAndBaseEntriesStillApply) {
  CDerivedTestWnd wnd;
  ASSERT_TRUE(MakeWindow(wnd));
  wnd.log.clear();
  wnd.SendMessage(WM_TIMER, 5, 0);
  ASSERT_EQ(wnd.log.size(), 2u);
  EXPECT_EQ(wnd.log[0], "derived:timer");
  EXPECT_EQ(wnd.log[1], "base:timer5");
  // Only the base class maps this one.
  EXPECT_EQ(wnd.SendMessage(WM_TEST_PRIVATE, 40, 2), 42);
}

TEST(MessageMap, UnhandledMessagesGetTheDefaultProcessing) {
  CDerivedTestWnd wnd;
  ASSERT_TRUE(MakeWindow(wnd));
  wnd.SetWindowText("Caption set through the default procedure");
  EXPECT_EQ(wnd.GetWindowText(), "Caption set through the default procedure");
  // A handler that calls the base handler (which runs Default) changes nothing visible.
  wnd.SendMessage(WM_SIZE, SIZE_RESTORED, MAKELPARAM(10, 10));
  EXPECT_TRUE(wnd.IsWindow());
}

TEST(MessageMap, RegisteredMessageIdIsReadWhenDispatched) {
  CDerivedTestWnd wnd;
  ASSERT_TRUE(MakeWindow(wnd));
  // Not registered yet: message 0 must not hit the entry.
  EXPECT_EQ(wnd.SendMessage(WM_NULL, 1, 0), 0);
  g_registeredMessage = ::RegisterWindowMessageA("LumatreFrameworkTestMessage");
  ASSERT_NE(g_registeredMessage, 0u);
  EXPECT_EQ(wnd.SendMessage(g_registeredMessage, 3, 0), 80);
}

TEST(MessageMap, CommandsRangesAndContinuedRouting) {
  CDerivedTestWnd wnd;
  ASSERT_TRUE(MakeWindow(wnd));
  wnd.SendMessage(WM_COMMAND, MAKEWPARAM(ID_CMD_PLAIN, 0), 0);   // menu
  wnd.SendMessage(WM_COMMAND, MAKEWPARAM(ID_CMD_PLAIN, 1), 0);   // accelerator
  EXPECT_EQ(wnd.plainCommands, 2);

  wnd.SendMessage(WM_COMMAND, MAKEWPARAM(ID_CMD_RANGE_FIRST + 3, 0), 0);
  wnd.SendMessage(WM_COMMAND, MAKEWPARAM(ID_CMD_RANGE_LAST, 0), 0);
  wnd.SendMessage(WM_COMMAND, MAKEWPARAM(ID_CMD_RANGE_LAST + 1, 0), 0);  // outside
  ASSERT_EQ(wnd.rangeIds.size(), 2u);
  EXPECT_EQ(wnd.rangeIds[0], ID_CMD_RANGE_FIRST + 3);
  EXPECT_EQ(wnd.rangeIds[1], ID_CMD_RANGE_LAST);

  wnd.log.clear();
  wnd.SendMessage(WM_COMMAND, MAKEWPARAM(ID_CMD_EX, 0), 0);
  ASSERT_EQ(wnd.log.size(), 2u);
  EXPECT_EQ(wnd.log[0], "derived:cmdex");
  EXPECT_EQ(wnd.log[1], "base:cmdex");

  // Handler queries find handlers without running them.
  AFX_CMDHANDLERINFO info;
  EXPECT_TRUE(wnd.OnCmdMsg(ID_CMD_PLAIN, CN_QUERY_HANDLER, &info));
  EXPECT_EQ(info.pTarget, &wnd);
  EXPECT_EQ(wnd.plainCommands, 2);
  EXPECT_FALSE(wnd.OnCmdMsg(ID_CMD_PLAIN + 100, CN_QUERY_HANDLER, nullptr));
}

TEST(MessageMap, ControlNotificationsAndNotifyMessages) {
  CDerivedTestWnd wnd;
  ASSERT_TRUE(MakeWindow(wnd));
  HWND edit = ::CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE, 0, 0, 100, 20, wnd.m_hWnd,
                                reinterpret_cast<HMENU>(static_cast<UINT_PTR>(IDC_CHILD_EDIT)), nullptr, nullptr);
  ASSERT_NE(edit, nullptr);
  ::SetWindowTextA(edit, "changed");
  EXPECT_EQ(wnd.editChanges, 1);

  NMHDR nm{edit, 5, static_cast<UINT>(NM_CLICK)};
  EXPECT_EQ(wnd.SendMessage(WM_NOTIFY, 5, reinterpret_cast<LPARAM>(&nm)), 9);
  EXPECT_EQ(wnd.lastNotifyId, 5u);
  NMHDR other{edit, 6, static_cast<UINT>(NM_CLICK)};
  EXPECT_EQ(wnd.SendMessage(WM_NOTIFY, 6, reinterpret_cast<LPARAM>(&other)), 0);
}

TEST(MessageMap, FailedCreationLeavesTheObjectWithItsCreator) {
  g_postNcDestroyCalls = 0;
  CDerivedTestWnd wnd;
  wnd.failCreate = true;
  EXPECT_FALSE(MakeWindow(wnd));
  EXPECT_EQ(wnd.creates, 1);
  EXPECT_EQ(wnd.m_hWnd, nullptr);
  EXPECT_EQ(g_postNcDestroyCalls, 0);
  // The object can try again.
  wnd.failCreate = false;
  EXPECT_TRUE(MakeWindow(wnd));
  EXPECT_EQ(wnd.creates, 2);
}

TEST(MessageMap, DestroyUnbindsAndCallsPostNcDestroy) {
  g_postNcDestroyCalls = 0;
  CDerivedTestWnd wnd;
  ASSERT_TRUE(MakeWindow(wnd));
  HWND h = wnd.m_hWnd;
  EXPECT_EQ(CWnd::FromHandlePermanent(h), &wnd);
  EXPECT_TRUE(wnd.DestroyWindow());
  EXPECT_EQ(wnd.m_hWnd, nullptr);
  EXPECT_EQ(CWnd::FromHandlePermanent(h), nullptr);
  EXPECT_EQ(g_postNcDestroyCalls, 1);
}

TEST(MessageMap, DeletingTheObjectDestroysItsWindow) {
  auto* wnd = new CDerivedTestWnd;
  ASSERT_TRUE(MakeWindow(*wnd));
  HWND h = wnd->m_hWnd;
  delete wnd;
  EXPECT_FALSE(::IsWindow(h));
  EXPECT_EQ(CWnd::FromHandlePermanent(h), nullptr);
}

TEST(MessageMap, SystemClassesAreSubclassedAndKeepTheirBehaviour) {
  CDerivedTestWnd parent;
  ASSERT_TRUE(MakeWindow(parent));
  CEditSpy edit;
  ASSERT_TRUE(edit.CreateEx(0, "EDIT", "", WS_CHILD | WS_VISIBLE, CRect(0, 0, 100, 20), &parent, IDC_CHILD_EDIT));
  EXPECT_NE(edit.m_pfnSuper, nullptr);
  edit.SendMessage(WM_CHAR, 'a', 1);
  edit.SendMessage(WM_CHAR, 'b', 1);
  EXPECT_EQ(edit.chars, 2);
  EXPECT_EQ(edit.GetWindowText(), "ab");

  // Subclassing a window made elsewhere, and giving it back.
  HWND plain = ::CreateWindowExA(0, "EDIT", "", WS_CHILD, 0, 30, 100, 20, parent.m_hWnd, nullptr, nullptr, nullptr);
  WNDPROC original = reinterpret_cast<WNDPROC>(::GetWindowLongPtrA(plain, GWLP_WNDPROC));
  CEditSpy spy;
  ASSERT_TRUE(spy.SubclassWindow(plain));
  EXPECT_FALSE(spy.SubclassWindow(plain));  // bound already
  ::SendMessageA(plain, WM_CHAR, 'z', 1);
  EXPECT_EQ(spy.chars, 1);
  EXPECT_EQ(spy.UnsubclassWindow(), plain);
  EXPECT_EQ(reinterpret_cast<WNDPROC>(::GetWindowLongPtrA(plain, GWLP_WNDPROC)), original);
  ::SendMessageA(plain, WM_CHAR, 'y', 1);
  EXPECT_EQ(spy.chars, 1);
  char text[8] = {};
  ::GetWindowTextA(plain, text, sizeof(text));
  EXPECT_STREQ(text, "zy");
}

TEST(MessageMap, TemporaryObjectsForUnboundWindows) {
  HWND h = ::CreateWindowExA(0, "STATIC", "unbound", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(CWnd::FromHandlePermanent(h), nullptr);
  CWnd* temp = CWnd::FromHandle(h);
  ASSERT_NE(temp, nullptr);
  EXPECT_EQ(temp->m_hWnd, h);
  EXPECT_EQ(CWnd::FromHandle(h), temp);  // the same object while it lives
  EXPECT_EQ(temp->GetWindowText(), "unbound");
  ::DestroyWindow(h);
}

TEST(MessageMap, AnExceptionInAHandlerIsReportedNotPropagated) {
  MessageBoxRecorder boxes;
  CDerivedTestWnd wnd;
  ASSERT_TRUE(MakeWindow(wnd));
  EXPECT_EQ(wnd.SendMessage(WM_TEST_THROW), 0);
  ASSERT_EQ(boxes.boxes().size(), 1u);
  EXPECT_EQ(boxes.boxes()[0].text, "Internal application error.");
  EXPECT_TRUE(wnd.IsWindow());
}

namespace {

// An owner-drawn button that draws itself and keeps its clicks.
class CSelfDrawnButton : public CWnd {
 public:
  int draws = 0, clicks = 0;
  BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override {
    if (message == WM_DRAWITEM) {
      ++draws;
      *pResult = TRUE;
      return TRUE;
    }
    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
      ++clicks;
      *pResult = 0;
      return TRUE;
    }
    return CWnd::OnChildNotify(message, wParam, lParam, pResult);
  }
};

class CButtonParent : public CWnd {
 public:
  int parentClicks = 0;

 private:
  void OnButton() { ++parentClicks; }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CButtonParent, CWnd)
  ON_BN_CLICKED(IDC_CHILD_EDIT, OnButton)
END_MESSAGE_MAP()

}  // namespace

TEST(MessageMap, ControlsGetTheFirstChanceAtTheirNotifications) {
  CButtonParent parent;
  ASSERT_TRUE(MakeWindow(parent));
  CSelfDrawnButton button;
  ASSERT_TRUE(button.CreateEx(0, "BUTTON", "b", WS_CHILD | BS_OWNERDRAW, CRect(0, 0, 40, 20), &parent, IDC_CHILD_EDIT));
  DRAWITEMSTRUCT dis{};
  dis.CtlType = ODT_BUTTON;
  dis.CtlID = IDC_CHILD_EDIT;
  dis.hwndItem = button.m_hWnd;
  EXPECT_EQ(parent.SendMessage(WM_DRAWITEM, IDC_CHILD_EDIT, reinterpret_cast<LPARAM>(&dis)), TRUE);
  EXPECT_EQ(button.draws, 1);
  parent.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_CHILD_EDIT, BN_CLICKED), reinterpret_cast<LPARAM>(button.m_hWnd));
  EXPECT_EQ(button.clicks, 1);
  EXPECT_EQ(parent.parentClicks, 0);
  // An unbound control's click reaches the parent's map.
  HWND hButton = button.UnsubclassWindow();
  parent.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_CHILD_EDIT, BN_CLICKED), reinterpret_cast<LPARAM>(hButton));
  EXPECT_EQ(parent.parentClicks, 1);
}
