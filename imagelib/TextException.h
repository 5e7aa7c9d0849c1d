#pragma once

#include <cstdarg>
#include <string>

#include "PLObject.h"

// Failure codes carried by CTextException.
namespace PLErr {
constexpr int OpenFailed = -1;      // an output file could not be opened
constexpr int WrongSignature = 1;   // not this format / bad signature
constexpr int UnknownVariant = 2;   // variant of the format not understood
constexpr int PathNotFound = 3;
constexpr int FileNotFound = 4;     // file cannot be opened for any other reason
constexpr int AccessDenied = 5;     // access denied, sharing violation, cannot be mapped
constexpr int Unsupported = 6;      // unsupported feature
constexpr int CorruptData = 7;
constexpr int UnknownFileType = 8;
constexpr int NoMemory = 10;        // out of memory, or a size too large to hold
constexpr int EndOfFile = 11;       // read or write past the end of the data
}  // namespace PLErr

// printf-style formatting as the library's messages use it: at most 1023 characters, and an
// empty text when the format cannot be applied.
std::string PLFormatText(const char* format, va_list args);

// The image library's exception: a numeric code and a message text.
class CTextException : public CPLObject {
public:
    CTextException(int code, std::string text);
    CTextException(const CTextException&) = default;
    CTextException& operator=(const CTextException&) = default;
    ~CTextException() override;

    // printf-style construction: CTextException::Format(PLErr::Unsupported, "Can't handle Opcode %x.\n", op)
    [[nodiscard]] static CTextException Format(int code, const char* format, ...)
#if defined(__GNUC__)
        __attribute__((format(printf, 2, 3)))
#endif
        ;

    int GetCode() const noexcept { return m_code; }
    const char* GetText() const noexcept { return m_text.c_str(); }
    operator const char*() const noexcept { return m_text.c_str(); }

private:
    int m_code;
    std::string m_text;
};
