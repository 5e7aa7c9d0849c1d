// The closing step of Lumatre: what happens when the main window is asked to close.
//
// A close that came from the window's system Close command (title-bar button, system menu,
// Alt+F4) only hides the program to the tray. Any other close ends the program, asking about
// modified images first when "OptionsA" says so.
#pragma once

#include <windows.h>

#include <optional>

// The main frame carries the system-close mark: set when the Close system command arrives,
// read and cleared by the closing step.
class ISystemCloseMark {
 public:
  // True when the mark was set; it is clear afterwards.
  virtual bool TakeSystemCloseMark() = 0;

 protected:
  ~ISystemCloseMark() = default;
};

enum class CloseAction {
  kHideToTray,      // minimise and hide the main window; the program keeps running
  kCloseNow,        // close without asking (modified images are discarded)
  kAskCount,        // ask once with the number of modified images (message 140)
  kAskEach,         // let the framework ask for each modified image in turn
};

CloseAction DecideCloseAction(bool systemClose, DWORD optionsA, int modifiedCount);

// What the answer to the count question leads to: Yes asks for each image, No closes without
// saving, anything else (Cancel) keeps the program running (nothing).
std::optional<CloseAction> ActionAfterCountQuestion(int answer);
