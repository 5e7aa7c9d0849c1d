// How hotkeys and capture modes are named for the user: the key names, the text of a hotkey
// ("Ctrl+Shift+Alt+C"), the names of the modes taken from the tray menu's items, and the
// message that lists the hotkeys the system refused.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

// Virtual-key code -> key name.
using KeyNameMap = std::map<UINT, std::string>;

// Command id -> the mode's CaptureModeIndex and its menu text (with its "&" marks).
struct ModeNameEntry {
  int index = -1;
  std::string text;
};
using ModeNameMap = std::map<UINT, ModeNameEntry>;

// The names of the keys a hotkey can use: Print Screen, Backspace, Tab, Enter, Escape, Space,
// End, Home, the arrows, Insert, Delete, the keypad digits and operators, F1 .. F12, the digits
// and the letters.
KeyNameMap BuildKeyNames();

// The text of a hotkey code: modifiers in the order Ctrl, Shift, Alt joined by "+", then "+" and
// the key's name. A key without a name adds nothing; a code without modifiers is just the name;
// code 0 is an empty text.
std::string FormatHotkeyText(WORD code, const KeyNameMap& keyNames);

// The text of a capture command's menu item with its hotkey: the mode's menu text, then a tab
// and the hotkey's text when the code has a modifier or a named key, then " (?)" when the
// system did not register the hotkey (registeredFlag other than 1; a code of 0 is never
// registered). "Ac&tive Window" with Alt+Print Screen gives "Ac&tive Window\tAlt+Print Screen".
std::string BuildHotkeyMenuLabel(const std::string& menuText, WORD code, const KeyNameMap& keyNames,
                                 long registeredFlag);

// Relabels every item of the popup (not of nested popups) whose command is a capture mode with
// BuildHotkeyMenuLabel of the mode's menu text, its code in codes and its flag in registered
// (both indexed by CaptureModeIndex, 36 entries). Only the texts change: each item keeps its
// type (owner-drawn or not), state and data.
void ApplyHotkeyLabels(HMENU popup, const ModeNameMap& modeNames, const KeyNameMap& keyNames, const WORD* codes,
                       const LONG* registered);

// Every mode command (the fourteen of the mode table) with an empty text.
ModeNameMap BuildModeNames();
// Gives the map's entries their texts from the items of a menu (the first popup of the tray
// menu): every item whose id is in the map sets that entry's text (up to 1024 characters).
// Items of nested popups are not looked at.
void TakeModeTextsFromMenu(ModeNameMap& modeNames, HMENU popup);

// The name of the mode with that CaptureModeIndex, without its "&" marks ("Control,Button,Child
// Window"); empty when the map has no such mode.
std::string GetModeName(const ModeNameMap& modeNames, int slot);
// A menu text without its "&" marks.
std::string StripAmpersands(const std::string& text);

// One refused hotkey as the conflict message lists it.
struct RefusedHotkey {
  std::string modeName;
  std::string hotkeyText;
};
// The conflict message: the introduction followed, for each refused hotkey in the order given,
// by "\n\t", the mode's name, " : " and the hotkey's text.
std::string BuildHotkeyConflictText(const std::string& introduction,
                                    const std::vector<RefusedHotkey>& refused);
