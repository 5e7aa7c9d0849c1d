// Key names, hotkey texts, mode names taken from the program's tray menu, and the conflict
// message.
#include "capture/HotkeyText.h"

#include <gtest/gtest.h>

#include "capture/CaptureModes.h"
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
