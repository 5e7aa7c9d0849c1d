#include "TextException.h"

#include <cstdarg>
#include <cstdio>
#include <utility>

CTextException::CTextException(int code, std::string text) : m_code(code), m_text(std::move(text)) {}

CTextException::~CTextException() = default;

std::string PLFormatText(const char* format, va_list args) {
    char buffer[1024];
    int n = std::vsnprintf(buffer, sizeof buffer, format, args);
    if (n < 0) buffer[0] = '\0';
    return buffer;
}

CTextException CTextException::Format(int code, const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string text = PLFormatText(format, args);
    va_end(args);
    return CTextException(code, std::move(text));
}
