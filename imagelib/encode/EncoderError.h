#pragma once

// The library's error path for file failures: the text is formatted and wrapped as
// "Decoder error: <text>\n", the form in which callers show open and write failures.

#include "TextException.h"

[[nodiscard]] CTextException PLEncoderError(int code, const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 2, 3)))
#endif
    ;
