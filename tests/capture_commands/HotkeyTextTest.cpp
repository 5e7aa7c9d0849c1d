// Key names, hotkey texts, mode names taken from the program's tray menu, and the conflict
// message.
#include "capture/HotkeyText.h"

#include <gtest/gtest.h>

#include "common/Settings.h"
#include "capture/CaptureModes.h"
#include "framework/FrameworkRes.h"
#include "resources/resource.h"

namespace {

TEST(KeyNames, EveryNamedKey) {
  const KeyNameMap names = BuildKeyNames();
  const std::pair<UINT, const char*> expected[] = {
      {44, "Print Screen"}, {8, "Backspace"}, {9, "Tab"},   {13, "Enter"}, {27, "Escape"},
      {32, "Space"},        {35, "End"},      {36, "Home"}, {37, "Left"},  {38, "Up"},
      {39, "Right"},        {40, "Down"},     {45, "Insert"}, {46, "Delete"},
      {96, "Num 0"},        {101, "Num 5"},   {105, "Num 9"}, {106, "*"}, {107, "+"},
      {109, "-"},           {111, "/"},       {112, "F1"},  {117, "F6"},  {123, "F12"},
      {48, "0"},            {57, "9"},        {65, "A"},    {77, "M"},    {90, "Z"},
  };
  for (const auto& [vk, text] : expected) {
    auto found = names.find(vk);
    ASSERT_NE(found, names.end()) << vk;
    EXPECT_EQ(found->second, text) << vk;
  }
  // 14 named keys, 10 keypad digits, 4 keypad operators, 12 function keys, 10 digits, 26 letters.
  EXPECT_EQ(names.size(), 14u + 10 + 4 + 12 + 10 + 26);
  for (UINT unnamed : {0u, 16u, 17u, 18u, 91u, 108u, 110u, 124u, 186u, 255u})
    EXPECT_EQ(names.count(unnamed), 0u) << unnamed;
}

TEST(FormatHotkeyText, ModifiersInOrderThenTheKey) {
  const KeyNameMap names = BuildKeyNames();
  const std::pair<WORD, const char*> cases[] = {
      {0x202C, "Alt+Print Screen"},      {0xE043, "Ctrl+Shift+Alt+C"},
      {0xA042, "Ctrl+Alt+B"},            {0xC04C, "Ctrl+Shift+L"},
      {0x002C, "Print Screen"},          {0x0071, "F2"},
      {0x6060, "Shift+Alt+Num 0"},       {0x4041, "Shift+A"},
      {0x8000 | VK_ESCAPE, "Ctrl+Escape"},
      {0, ""},                           // no hotkey
      {0xE000, "Ctrl+Shift+Alt"},        // modifiers without a key
      {0x8000 | VK_F13, "Ctrl"},         // a key without a name adds nothing
      {0x00BA, ""},
      {0x1F41, "A"},                     // bits that are no modifier are not shown
  };
  for (const auto& [code, text] : cases)
    EXPECT_EQ(FormatHotkeyText(code, names), text) << std::hex << code;
}

TEST(FormatHotkeyText, WithoutKeyNamesOnlyModifiers) {
  EXPECT_EQ(FormatHotkeyText(0xE043, KeyNameMap{}), "Ctrl+Shift+Alt");
  EXPECT_EQ(FormatHotkeyText(0x0043, KeyNameMap{}), "");
}

TEST(HotkeyMenuLabel, TabThenTheKeysThenTheMarkOfARefusedKey) {
  const KeyNameMap names = BuildKeyNames();
  struct Case {
    WORD code;
    long registered;
    const char* label;
  };
  const Case cases[] = {
      {0x202C, 1, "&Desktop\tAlt+Print Screen"},
      {0x202C, 0, "&Desktop\tAlt+Print Screen (?)"},
      {0xC04C, 1, "&Desktop\tCtrl+Shift+L"},
      {0x4041, 1, "&Desktop\tShift+A"},
      {0x002C, 1, "&Desktop\tPrint Screen"},
      {0x0000, 0, "&Desktop (?)"},        // no hotkey: never registered
      {0xA000, 0, "&Desktop\tCtrl+Alt (?)"},
      {0x8000 | VK_F13, 0, "&Desktop\tCtrl (?)"},
      {0x0071, 2, "&Desktop\tF2 (?)"},   // only 1 counts as registered
  };
  for (const Case& c : cases)
    EXPECT_EQ(BuildHotkeyMenuLabel("&Desktop", c.code, names, c.registered), c.label) << std::hex << c.code;
}

// The labels on the program's own menus: the tray menu and the Capture popup of the document
// menu, with keys the system refused and a mode without a key; other items stay as they are,
// and owner-drawn items stay owner-drawn.
TEST(HotkeyMenuLabel, AppliedToTheProgramsMenus) {
  const HINSTANCE self = ::GetModuleHandleA(nullptr);
  HMENU tray = ::LoadMenuA(self, MAKEINTRESOURCEA(IDR_TRAYMENU));
  HMENU document = ::LoadMenuA(self, MAKEINTRESOURCEA(IDR_LUMATRETYPE));
  ASSERT_TRUE(tray && document);
  ModeNameMap names = BuildModeNames();
  TakeModeTextsFromMenu(names, ::GetSubMenu(tray, 0));
  const KeyNameMap keys = BuildKeyNames();

  WORD codes[36] = {};
  LONG registered[36] = {};
  codes[kModeDesktop] = 0x202C;  // Alt+Print Screen, registered
  registered[kModeDesktop] = 1;
  codes[kModeRectangle] = 0xC052;  // Ctrl+Shift+R, refused by the system
  codes[kModeColorPicker] = 0x0071;
  registered[kModeColorPicker] = 1;
  // Active Window has no key at all (code 0).

  HMENU capture = nullptr;
  for (int i = 0; i < ::GetMenuItemCount(document) && !capture; ++i) {
    HMENU popup = ::GetSubMenu(document, i);
    if (popup && ::GetMenuState(popup, ID_CAPTURE_DESKTOP, MF_BYCOMMAND) != static_cast<UINT>(-1)) capture = popup;
  }
  ASSERT_NE(capture, nullptr);
  MENUITEMINFOA owner{};
  owner.cbSize = sizeof owner;
  owner.fMask = MIIM_FTYPE | MIIM_DATA;
  owner.fType = MFT_OWNERDRAW;
  owner.dwItemData = 0x1234;
  ASSERT_TRUE(::SetMenuItemInfoA(capture, ID_CAPTURE_DESKTOP, FALSE, &owner));

  auto text = [](HMENU menu, UINT id) {
    char buffer[256] = {};
    MENUITEMINFOA mii{};
    mii.cbSize = sizeof mii;
    mii.fMask = MIIM_STRING;
    mii.dwTypeData = buffer;
    mii.cch = sizeof buffer - 1;
    ::GetMenuItemInfoA(menu, id, FALSE, &mii);
    return std::string(buffer);
  };
  for (HMENU popup : {::GetSubMenu(tray, 0), capture}) {
    ApplyHotkeyLabels(popup, names, keys, codes, registered);
    EXPECT_EQ(text(popup, ID_CAPTURE_DESKTOP), "&Desktop\tAlt+Print Screen");
    EXPECT_EQ(text(popup, ID_CAPTURE_RECTANGLE), "&Rectangle\tCtrl+Shift+R (?)");
    EXPECT_EQ(text(popup, ID_CAPTURE_ACTIVEWINDOW), "Ac&tive Window (?)");
    EXPECT_EQ(text(popup, ID_CAPTURE_COLORPICKER), "Color Pic&ker\tF2");
    // Applied twice, the label is not doubled.
    ApplyHotkeyLabels(popup, names, keys, codes, registered);
    EXPECT_EQ(text(popup, ID_CAPTURE_DESKTOP), "&Desktop\tAlt+Print Screen");
  }
  EXPECT_EQ(text(::GetSubMenu(tray, 0), ID_FILE_OPEN), "&Open...");
  MENUITEMINFOA after{};
  after.cbSize = sizeof after;
  after.fMask = MIIM_FTYPE | MIIM_DATA;
  ASSERT_TRUE(::GetMenuItemInfoA(capture, ID_CAPTURE_DESKTOP, FALSE, &after));
  EXPECT_TRUE(after.fType & MFT_OWNERDRAW);
  EXPECT_EQ(after.dwItemData, 0x1234u);
  ::DestroyMenu(tray);
  ::DestroyMenu(document);
}

TEST(ModeNames, StartEmptyForTheFourteenCommands) {
  const ModeNameMap names = BuildModeNames();
  ASSERT_EQ(names.size(), 14u);
  for (int slot = 0; slot < kCaptureModeSlots; ++slot) {
    auto entry = names.find(FindModeBySlot(slot)->commandId);
    ASSERT_NE(entry, names.end()) << slot;
    EXPECT_EQ(entry->second.index, slot);
    EXPECT_TRUE(entry->second.text.empty());
  }
}

TEST(ModeNames, TakenFromTheTrayMenu) {
  HMENU menu = ::LoadMenuA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_TRAYMENU));
  ASSERT_NE(menu, nullptr);
  ModeNameMap names = BuildModeNames();
  TakeModeTextsFromMenu(names, ::GetSubMenu(menu, 0));
  ::DestroyMenu(menu);
  const char* expected[14] = {
      "Ac&tive Window", "Active Window C&lient", "&Control,Button,Child Window", "&Square",
      "&Rectangle",     "&Circle",               "&Ellipse",                     "&Polygon",
      "&Menu",          "&Desktop",              "Sin&gle Window",               "&Repeat Last",
      "De&fault Action", "Color Pic&ker",
  };
  for (int slot = 0; slot < kCaptureModeSlots; ++slot)
    EXPECT_EQ(names[FindModeBySlot(slot)->commandId].text, expected[slot]) << slot;
  EXPECT_EQ(GetModeName(names, 2), "Control,Button,Child Window");
  EXPECT_EQ(GetModeName(names, 0), "Active Window");
  EXPECT_EQ(GetModeName(names, 13), "Color Picker");
  EXPECT_EQ(GetModeName(names, 14), "");
  EXPECT_EQ(GetModeName(names, -1), "");
}

TEST(ModeNames, OnlyItemsOfTheMapTakeTextsAndNestedPopupsAreNotSearched) {
  HMENU popup = ::CreatePopupMenu();
  HMENU nested = ::CreatePopupMenu();
  ::AppendMenuA(nested, MF_STRING, ID_CAPTURE_POLYGON, "Nested &Polygon");
  ::AppendMenuA(popup, MF_STRING, ID_CAPTURE_DESKTOP, "&Whole screen");
  ::AppendMenuA(popup, MF_SEPARATOR, 0, nullptr);
  ::AppendMenuA(popup, MF_STRING, ID_OPTIONS, "&Options...");
  ::AppendMenuA(popup, MF_POPUP, reinterpret_cast<UINT_PTR>(nested), "More");
  const std::string longText(1500, 'x');
  ::AppendMenuA(popup, MF_STRING, ID_CAPTURE_MENU, longText.c_str());
  ModeNameMap names = BuildModeNames();
  TakeModeTextsFromMenu(names, popup);
  ::DestroyMenu(popup);
  EXPECT_EQ(names.size(), 14u);
  EXPECT_EQ(names.count(ID_OPTIONS), 0u);
  EXPECT_EQ(names[ID_CAPTURE_DESKTOP].text, "&Whole screen");
  EXPECT_EQ(names[ID_CAPTURE_POLYGON].text, "");
  EXPECT_EQ(names[ID_CAPTURE_MENU].text.size(), 1024u);  // cut, never overrun
  TakeModeTextsFromMenu(names, nullptr);  // no menu: nothing changes
  EXPECT_EQ(names[ID_CAPTURE_DESKTOP].text, "&Whole screen");
}

TEST(ModeNames, AmpersandsRemoved) {
  EXPECT_EQ(StripAmpersands("Ac&tive Window"), "Active Window");
  EXPECT_EQ(StripAmpersands("&&A&"), "A");
  EXPECT_EQ(StripAmpersands(""), "");
}

TEST(ConflictMessage, ListsEachRefusedHotkeyOnItsOwnLine) {
  const std::string intro = "The following hotkeys could not be registered.";
  EXPECT_EQ(BuildHotkeyConflictText(intro, {}), intro);
  EXPECT_EQ(BuildHotkeyConflictText(intro, {{"Desktop", "Ctrl+Alt+D"}, {"Color Picker", "F2"}}),
            intro + "\n\tDesktop : Ctrl+Alt+D\n\tColor Picker : F2");
}

}  // namespace
