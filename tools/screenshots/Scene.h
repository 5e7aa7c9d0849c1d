// Pictures for the screenshots: small landscapes drawn with GDI, so that the image windows and
// the screen behind the selection tracker show something that looks like a real picture.
#pragma once

#include "E2EDriver.h"

namespace screenshots {

// A landscape of width x height; variants 0, 1, 2 differ in time of day and colours.
lumatre::e2e::Image DrawScene(int width, int height, int variant);

// A borderless window of this process showing picture at (x, y), above the other windows.
// Paints while this thread pumps messages. Null on failure.
HWND ShowPictureWindow(const lumatre::e2e::Image& picture, int x, int y);
void ClosePictureWindow(HWND hwnd);

}  // namespace screenshots
