#include "encode/EncoderError.h"

#include <cstdarg>
#include <string>

CTextException PLEncoderError(int code, const char* format, ...) {
    va_list args;
    va_start(args, format);
    const std::string text = PLFormatText(format, args);
    va_end(args);
    return CTextException(code, "Decoder error: " + text + "\n");
}
