#include "encode/EncoderError.h"

#include <cstdarg>
#include <cstdio>
#include <string>

CTextException PLEncoderError(int code, const char* format, ...) {
    char text[1024];
    va_list args;
    va_start(args, format);
    int n = std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    if (n < 0) text[0] = '\0';
    return CTextException(code, std::string("Decoder error: ") + text + "\n");
}
