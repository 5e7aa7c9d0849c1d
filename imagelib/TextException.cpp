#include "TextException.h"

#include <cstdarg>
#include <cstdio>
#include <utility>

CTextException::CTextException(int code, std::string text) : m_code(code), m_text(std::move(text)) {}

CTextException::~CTextException() = default;

CTextException CTextException::Format(int code, const char* format, ...) {
    char buffer[1024];
    va_list args;
    va_start(args, format);
    int n = std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    if (n < 0) buffer[0] = '\0';
    return CTextException(code, buffer);
}
