// Plain text on the clipboard (the colour picker's output).
#pragma once

#include <windows.h>

// Puts the zero-terminated text on the clipboard as CF_TEXT, replacing whatever it held, with
// owner as the clipboard's owner (may be null). 1 on success. 0 when the clipboard cannot be
// opened (another program holds it: nothing changes), or when the memory for the text cannot be
// obtained or the clipboard refuses it (the clipboard is left empty). A null text counts as
// empty.
int SetClipboardText(const char* text, HWND owner);
