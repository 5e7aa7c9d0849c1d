// Printing a new capture: the last of a capture's outputs, after the clipboard and the file.
#pragma once

#include "common/Settings.h"

class CDocument;

// With "print each capture" (OptionsA 0x80) set, runs the Print command of the document's view;
// the view's print preparation skips the Print dialog when 0x100 is set as well, and reports a
// printer fault with message 151. FALSE when nothing was sent (option clear, no view).
bool PrintCapture(CDocument* doc, const CaptureSettings& settings);
