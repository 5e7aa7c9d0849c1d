// The mode table and the rules that choose which mode runs.
#include "capture/CaptureModes.h"

#include <gtest/gtest.h>

#include <set>

#include "resources/resource.h"

namespace {

TEST(CaptureModeTable, EveryModeHasItsCommandTrackerAndStartState) {
  struct Row {
    int slot;
    UINT command;
    int tracker;
    CaptureKind kind;
    int state;
  };
  const Row rows[] = {
      {0, 1100, 19, CaptureKind::kImmediate, 0},  {1, 32788, 18, CaptureKind::kImmediate, 0},
      {2, 1101, 20, CaptureKind::kTracked, 5},    {3, 32791, 3, CaptureKind::kTracked, 1},
      {4, 1168, 1, CaptureKind::kTracked, 1},     {5, 32790, 6, CaptureKind::kTracked, 1},
      {6, 1104, 5, CaptureKind::kTracked, 1},     {7, 1152, 17, CaptureKind::kTracked, 7},
      {8, 1103, 23, CaptureKind::kImmediate, 0},  {9, 32792, 24, CaptureKind::kImmediate, 0},
      {10, 32793, 21, CaptureKind::kTracked, 8},  {11, 1232, 0, CaptureKind::kCommand, 0},
      {12, 32824, 0, CaptureKind::kCommand, 0},   {13, 32859, 25, CaptureKind::kTracked, 9},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.slot);
    const CaptureModeInfo* bySlot = FindModeBySlot(row.slot);
    ASSERT_NE(bySlot, nullptr);
    EXPECT_EQ(bySlot->index, row.slot);
    EXPECT_EQ(bySlot->commandId, row.command);
    EXPECT_EQ(bySlot->trackerType, row.tracker);
    EXPECT_EQ(bySlot->kind, row.kind);
    EXPECT_EQ(bySlot->initialState, row.state);
    EXPECT_EQ(FindModeByCommand(row.command), bySlot);
  }
}

TEST(CaptureModeTable, UnknownSlotsAndCommandsFindNothing) {
  for (int slot : {-2, -1, 14, 35, 36, 1000}) EXPECT_EQ(FindModeBySlot(slot), nullptr) << slot;
  for (UINT id : {0u, 1102u, 32789u, 32822u, 0xFFFFu}) EXPECT_EQ(FindModeByCommand(id), nullptr) << id;
}

TEST(CaptureModeTable, CommandIdsAreTheResourceIds) {
  std::set<UINT> ids;
  for (int slot = 0; slot < kCaptureModeSlots; ++slot) ids.insert(CaptureModeTable()[slot].commandId);
  EXPECT_EQ(ids.size(), 14u);
  EXPECT_EQ(FindModeByCommand(ID_CAPTURE_REPEATLAST)->index, 11);
  EXPECT_EQ(FindModeByCommand(ID_CAPTURE_COLORPICKER)->index, 13);
}

TEST(CaptureModeKinds, WindowModesAreEighteenToTwentyFourExceptTwentyTwo) {
  for (int type = -1; type <= 30; ++type) {
    const bool window = type >= 18 && type <= 24 && type != 22;
    EXPECT_EQ(IsWindowMode(type), window) << type;
    EXPECT_EQ(IsDrawnMode(type), !window) << type;
  }
}

TEST(DefaultAction, RunsOnlyTheFirstElevenModes) {
  for (long value = 0; value <= 10; ++value) EXPECT_EQ(DefaultActionSlot(value), value);
  for (long value : {-1L, 11L, 12L, 13L, 14L, 0x7FFFFFFFL, -0x7FFFFFFFL - 1})
    EXPECT_FALSE(DefaultActionSlot(value).has_value()) << value;
  EXPECT_EQ(DefaultActionSlot(9), 9);  // the default setting captures the desktop
}

TEST(RepeatLast, RemembersCapturingModesButNotThePickerOrTheCommands) {
  for (int slot = 0; slot <= 10; ++slot)
    EXPECT_TRUE(IsRepeatableCommand(FindModeBySlot(slot)->commandId)) << slot;
  EXPECT_FALSE(IsRepeatableCommand(ID_CAPTURE_REPEATLAST));
  EXPECT_FALSE(IsRepeatableCommand(ID_CAPTURE_DEFAULTACTION));
  EXPECT_FALSE(IsRepeatableCommand(ID_CAPTURE_COLORPICKER));
  EXPECT_FALSE(IsRepeatableCommand(0));
}

TEST(HotkeyDispatchRule, EachPressRunsOnceFromTheSourceOfItsRegistration) {
  LONG registered[36] = {};
  registered[0] = 1;  // the system took slot 0
  registered[9] = 1;
  struct Case {
    long slot;
    int source;
    HotkeyDispatch expected;
  };
  const Case cases[] = {
      {0, kHotkeyFromSystem, HotkeyDispatch::kRun},     // WM_HOTKEY of a registered key
      {0, kHotkeyFromHook, HotkeyDispatch::kIgnore},    // ... and its release seen by the hook
      {1, kHotkeyFromHook, HotkeyDispatch::kRun},       // a refused key runs through the hook
      {1, kHotkeyFromSystem, HotkeyDispatch::kIgnore},  // (a WM_HOTKEY for it cannot be ours)
      {9, kHotkeyFromSystem, HotkeyDispatch::kRun},
      {13, kHotkeyFromHook, HotkeyDispatch::kRun},
      {14, kHotkeyFromHook, HotkeyDispatch::kOutOfRange},
      {35, kHotkeyFromHook, HotkeyDispatch::kOutOfRange},
      {36, kHotkeyFromSystem, HotkeyDispatch::kOutOfRange},
      {-3, kHotkeyFromSystem, HotkeyDispatch::kOutOfRange},
      {0x7FFFFFFF, kHotkeyFromSystem, HotkeyDispatch::kOutOfRange},
  };
  for (const Case& c : cases)
    EXPECT_EQ(DecideHotkeyDispatch(c.slot, c.source, registered), c.expected)
        << c.slot << " from " << c.source;
}

TEST(HotkeyDispatchRule, AnyNonZeroFlagCountsAsRegistered) {
  LONG registered[36] = {};
  registered[4] = 7;
  EXPECT_EQ(DecideHotkeyDispatch(4, kHotkeyFromSystem, registered), HotkeyDispatch::kRun);
  EXPECT_EQ(DecideHotkeyDispatch(4, kHotkeyFromHook, registered), HotkeyDispatch::kIgnore);
  EXPECT_EQ(DecideHotkeyDispatch(4, kHotkeyFromHook, nullptr), HotkeyDispatch::kRun);
}

TEST(HotkeyRegistration, ModifiersAndKeyOfACode) {
  EXPECT_EQ(HotkeyModifiers(0x202C), static_cast<UINT>(MOD_ALT));
  EXPECT_EQ(HotkeyModifiers(0xE043), static_cast<UINT>(MOD_CONTROL | MOD_SHIFT | MOD_ALT));
  EXPECT_EQ(HotkeyModifiers(0xC04C), static_cast<UINT>(MOD_CONTROL | MOD_SHIFT));
  EXPECT_EQ(HotkeyModifiers(0x002C), 0u);
  EXPECT_EQ(HotkeyModifiers(0x1F2C), 0u);  // bits that are no modifier
  EXPECT_EQ(HotkeyVirtualKey(0xE043), static_cast<UINT>('C'));
  EXPECT_EQ(HotkeyVirtualKey(0x8000), 0u);  // a modifier alone has no key: never registered
}

}  // namespace
