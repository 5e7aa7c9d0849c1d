// Small helpers of the application object: the program's own path, the default output folder,
// help topics, the autostart entry and the cursor under the mouse pointer.
#pragma once

#include <windows.h>

#include <string>

// Full path of the running program; empty when it cannot be obtained.
std::string GetProgramFilePath();

// The default auto-save folder: the folder of `programFile` followed by "Output". An existing
// folder of that name is used as it is; a missing one is created. When the name is taken by a
// file, the lookup fails for another reason or the folder cannot be created, the program's
// folder itself (ending with a backslash) is used instead.
std::string EnsureOutputDirectory(const std::string& programFile);

// Help topics of "Lumatre.chm".
enum HelpTopic : int {
  kHelpGeneralOptions = 1,
  kHelpResizeDialog = 2,
  kHelpRotateDialog = 3,
  kHelpPrintLayout = 4,
  kHelpContrastDialog = 5,
  kHelpBrightnessDialog = 6,
  kHelpWindowsManage = 7,
  kHelpIndex = 0,  // any number without a topic of its own
};

// "dialog.htm#generaloption" ... for topics 1..7, "index.htm" for any other number.
const char* HelpTopicPage(int topic);

// The folder of `programPath` (up to, not including, its last backslash; the whole text when it
// has none) followed by "\Lumatre.chm::/" and the topic's page.
std::string BuildHelpTopicPath(const char* programPath, int topic);

// Opens `path` with the platform's HTML help viewer (HtmlHelpA from hhctrl.ocx, loaded when
// first needed; display-topic command; owner: the desktop window). False when the viewer is
// missing or refuses the topic.
bool OpenHtmlHelpTopic(const std::string& path);

// The autostart entry: value "Lumatre" under <hive>\Software\Microsoft\Windows\CurrentVersion\Run.
extern const char kAutoStartRunKey[];
extern const char kAutoStartValueName[];
bool IsAutoStartEnabled(HKEY hive = HKEY_CURRENT_USER);
// On: writes `programPath` as the value; off: deletes the value. False when the Run key cannot be
// opened or the write or delete fails (deleting a value that is not there succeeds).
bool SetAutoStart(bool on, const char* programPath, HKEY hive = HKEY_CURRENT_USER);

// The cursor shown by the window under the mouse pointer, or null when the pointer position
// cannot be read or the other thread's input state cannot be reached.
HCURSOR GetCursorAtPoint();
