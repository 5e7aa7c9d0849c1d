// The clipboard output of a capture: the captured device bitmap goes on the clipboard as a
// device-independent bitmap (CF_DIB) with a palette (CF_PALETTE), through a temporary display
// bitmap of the image library.
#pragma once

#include <windows.h>

// True when the clipboard holds the picture afterwards. False when the bitmap cannot be read,
// the library cannot make the picture, or the clipboard could not be opened or did not take it
// (another program holding it, for example).
bool CopyCaptureToClipboard(HBITMAP captured);
