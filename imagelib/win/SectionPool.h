#pragma once
// CSectionPool: DIB sections of freed display bitmaps, kept for the next bitmap of the same
// geometry.
//
// GDI hands a section's pages back to the system when the section is deleted, and a new one
// pays a page fault for every page it touches (under Wine about 20 ms for a 1920 x 1080 screen
// picture, far more than copying its pixels). The editor frees a picture and makes one of the
// same size a moment later all the time: a capture after the last one was saved and closed, an
// undo step, an operation whose result replaces its source. So the last few large sections
// that were freed are kept, unselected, and a bitmap of the same width, height and depth takes
// one of them. Sections are kept only up to a total size, and all are given up when memory runs
// short (Trim).

#include <windows.h>

#include <cstddef>
#include <cstdint>

class CSectionPool {
public:
    // Sections below this size are deleted at once.
    static constexpr size_t MinKeptBytes = size_t{1} << 20;

    // A kept section of exactly this geometry, with its pixels in bits (as they were left);
    // nullptr when none is kept.
    static HBITMAP Take(int32_t width, int32_t height, uint16_t bitsPerPixel, void** bits);
    // Gives a section back (nullptr is allowed): kept when it is large enough and there is
    // room, deleted otherwise. It must not be selected into any DC.
    static void Give(HBITMAP section, int32_t width, int32_t height, uint16_t bitsPerPixel, size_t bytes);
    // Deletes every kept section.
    static void Trim();
    // Bytes held in kept sections.
    static size_t KeptBytes();
};
