#include "Settings.h"

#include <cstring>

namespace {

struct ModeEntry {
  const char* name;
  WORD defaultCode;
};

constexpr ModeEntry kModes[kCaptureModeCount] = {
    {"ActiveWindow", 0x202C},        // Alt+Print Screen
    {"ActiveWindowClient", 0xE043},  // Ctrl+Shift+Alt+C
    {"Control", 0xA042},             // Ctrl+Alt+B
    {"Square", 0xA053},              // Ctrl+Alt+S
    {"Rectangle", 0xA052},           // Ctrl+Alt+R
    {"Circle", 0xC043},              // Ctrl+Shift+C
    {"Ellipse", 0xA045},             // Ctrl+Alt+E
    {"Polygon", 0xA050},             // Ctrl+Alt+P
    {"PopupMenu", 0xC04D},           // Ctrl+Shift+M
    {"Desktop", 0xA044},             // Ctrl+Alt+D
    {"SingleWindow", 0xC053},        // Ctrl+Shift+S
    {"RepeatLast", 0xC04C},          // Ctrl+Shift+L
    {"Default", 0x002C},             // Print Screen
    {"ColorPicker", 0x0071},         // F2
};

}  // namespace

const char* CaptureModeName(int mode) {
  return mode >= 0 && mode < kCaptureModeCount ? kModes[mode].name : nullptr;
}

WORD DefaultHotkeyCode(int mode) {
  return mode >= 0 && mode < kCaptureModeCount ? kModes[mode].defaultCode : 0;
}

const char* ImageTypeExtension(int type) {
  switch (type) {
    case kImageBitmap: return ".BMP";
    case kImageJpeg: return ".JPG";
    case kImagePng: return ".PNG";
    case kImageGif: return ".GIF";
    case kImageTiff: return ".TIF";
    default: return "";
  }
}

void HotkeyTable::Reset() {
  count = kCaptureModeCount;
  std::memset(registered, 0, sizeof registered);
  std::memset(hotkey, 0, sizeof hotkey);
  for (int mode = 0; mode < kCaptureModeCount; ++mode) hotkey[mode] = kModes[mode].defaultCode;
}

void CopyText(char* buffer, size_t size, const char* text) {
  if (!buffer || size == 0) return;
  size_t length = text ? strnlen(text, size - 1) : 0;
  std::memcpy(buffer, text ? text : "", length);
  buffer[length] = '\0';
}
