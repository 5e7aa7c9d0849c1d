#pragma once

// What the JPEG encoder and decoder share: an error manager that ends a failing library call
// by jumping back to the setjmp of the call's wrapper (no C++ exception ever travels through
// the C library) and keeps the formatted message, and silence for the library's warnings.

#include <csetjmp>
#include <cstddef>
#include <cstdio>

extern "C" {
#include <jpeglib.h>
#include <jerror.h>
}

struct PLJpegErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
    int warnings;  // number of warnings the library emitted (corrupt or cut-short data)
};

// Prepares manager and returns its public part, for cinfo.err.
jpeg_error_mgr* PLJpegInitErrorManager(PLJpegErrorManager* manager);
