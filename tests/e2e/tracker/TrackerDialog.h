// The layout of e2e_tracker_dialog.exe, shared with the tests that point at it.
#pragma once

#include <windows.h>

namespace tracker_dialog {

inline constexpr const char* kExe = "e2e_tracker_dialog.exe";
inline constexpr const char* kClass = "LumatreE2ETrackerDialog";
inline constexpr int kClientWidth = 400;
inline constexpr int kClientHeight = 300;
inline constexpr int kButtonId = 1;
inline constexpr RECT kButton{40, 40, 200, 100};  // client coordinates
inline constexpr int kStripCount = 4;
inline constexpr COLORREF kStripColors[kStripCount] = {RGB(0, 0, 255), RGB(255, 255, 255),
                                                       RGB(255, 0, 0), RGB(0, 0, 0)};
// Strip i in client coordinates.
constexpr RECT StripRect(int i) { return RECT{i * 100, 150, i * 100 + 100, 300}; }

}  // namespace tracker_dialog
