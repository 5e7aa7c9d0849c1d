#include "HotkeyText.h"

#include "CaptureModes.h"

namespace {

// Longest menu text taken for a mode name.
constexpr int kMaxMenuText = 1024;

}  // namespace

KeyNameMap BuildKeyNames() {
  KeyNameMap names = {
      {VK_SNAPSHOT, "Print Screen"}, {VK_BACK, "Backspace"}, {VK_TAB, "Tab"},
      {VK_RETURN, "Enter"},          {VK_ESCAPE, "Escape"},  {VK_SPACE, "Space"},
      {VK_END, "End"},               {VK_HOME, "Home"},      {VK_LEFT, "Left"},
      {VK_UP, "Up"},                 {VK_RIGHT, "Right"},    {VK_DOWN, "Down"},
      {VK_INSERT, "Insert"},         {VK_DELETE, "Delete"},  {VK_MULTIPLY, "*"},
      {VK_ADD, "+"},                 {VK_SUBTRACT, "-"},     {VK_DIVIDE, "/"},
  };
  for (UINT digit = 0; digit <= 9; ++digit) {
    std::string name("Num ");
    name += static_cast<char>('0' + digit);
    names[VK_NUMPAD0 + digit] = name;
  }
  for (UINT f = 1; f <= 12; ++f) {
    std::string name("F");
    name.append(std::to_string(f));
    names[VK_F1 + f - 1] = name;
  }
  for (UINT c = '0'; c <= '9'; ++c) names[c] = std::string(1, static_cast<char>(c));
  for (UINT c = 'A'; c <= 'Z'; ++c) names[c] = std::string(1, static_cast<char>(c));
  return names;
}

std::string FormatHotkeyText(WORD code, const KeyNameMap& keyNames) {
  std::string text;
  if (code & 0x8000) text += "Ctrl";
  if (code & 0x4000) text += text.empty() ? "Shift" : "+Shift";
  if (code & 0x2000) text += text.empty() ? "Alt" : "+Alt";
  auto key = keyNames.find(code & 0xFFu);
  if (key != keyNames.end()) {
    if (!text.empty()) text += "+";
    text += key->second;
  }
  return text;
}

std::string BuildHotkeyMenuLabel(const std::string& menuText, WORD code, const KeyNameMap& keyNames,
                                 long registeredFlag) {
  std::string label = menuText;
  const std::string hotkey = FormatHotkeyText(code, keyNames);
  if (!hotkey.empty()) label += "\t" + hotkey;
  if (registeredFlag != 1) label += " (?)";
  return label;
}

void ApplyHotkeyLabels(HMENU popup, const ModeNameMap& modeNames, const KeyNameMap& keyNames, const WORD* codes,
                       const LONG* registered) {
  if (!popup || modeNames.empty()) return;
  const int count = ::GetMenuItemCount(popup);
  for (int position = 0; position < count; ++position) {
    const UINT id = ::GetMenuItemID(popup, position);
    auto mode = modeNames.find(id);
    if (id == 0 || id == static_cast<UINT>(-1) || mode == modeNames.end()) continue;
    const int slot = mode->second.index;
    if (slot < 0 || slot >= kCaptureModeSlots) continue;
    const std::string label = BuildHotkeyMenuLabel(mode->second.text, codes[slot], keyNames, registered[slot]);
    MENUITEMINFOA mii{};
    mii.cbSize = sizeof mii;
    mii.fMask = MIIM_STRING;
    mii.dwTypeData = const_cast<LPSTR>(label.c_str());
    ::SetMenuItemInfoA(popup, static_cast<UINT>(position), TRUE, &mii);
  }
}

ModeNameMap BuildModeNames() {
  ModeNameMap names;
  const CaptureModeInfo* table = CaptureModeTable();
  for (int slot = 0; slot < kCaptureModeSlots; ++slot)
    names[table[slot].commandId] = ModeNameEntry{table[slot].index, std::string()};
  return names;
}

void TakeModeTextsFromMenu(ModeNameMap& modeNames, HMENU popup) {
  if (!popup) return;
  const int count = ::GetMenuItemCount(popup);
  for (int position = 0; position < count; ++position) {
    const UINT id = ::GetMenuItemID(popup, position);
    auto entry = modeNames.find(id);
    if (id == 0 || id == static_cast<UINT>(-1) || entry == modeNames.end()) continue;
    char text[kMaxMenuText + 1] = {};
    const int length = ::GetMenuStringA(popup, position, text, sizeof text, MF_BYPOSITION);
    entry->second.text.assign(text, length > 0 ? static_cast<size_t>(length) : 0);
  }
}

std::string StripAmpersands(const std::string& text) {
  std::string plain;
  plain.reserve(text.size());
  for (char c : text)
    if (c != '&') plain += c;
  return plain;
}

std::string GetModeName(const ModeNameMap& modeNames, int slot) {
  for (const auto& [id, entry] : modeNames)
    if (entry.index == slot) return StripAmpersands(entry.text);
  return std::string();
}

std::string BuildHotkeyConflictText(const std::string& introduction,
                                    const std::vector<RefusedHotkey>& refused) {
  std::string text = introduction;
  for (const RefusedHotkey& hotkey : refused) {
    text += "\n\t";
    text += hotkey.modeName;
    text += " : ";
    text += hotkey.hotkeyText;
  }
  return text;
}
