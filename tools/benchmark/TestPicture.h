#pragma once

// A deterministic photo-like picture: a sky gradient, a hilly horizon, soft discs, textured
// ground and a little sensor noise. Only +, -, x and / are used, so every build makes the
// same pixels.

#include <cstdint>

#include "DibBitmap.h"

void MakeTestPicture(CDibBitmap& bitmap, int32_t width, int32_t height);

// Writes the picture's colours (alpha left out) as a binary PPM or as a 24-bit BMP.
// Returns false when the file cannot be written.
bool WritePpm(const CDibBitmap& bitmap, const char* path);
bool WriteBmp24(const CDibBitmap& bitmap, const char* path);
