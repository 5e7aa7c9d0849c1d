#include "decode/Trace.h"

#include <cstdarg>
#include <cstdio>
#include <string>

namespace {

int g_traceLevel = 0;
std::string g_traceFile;

}  // namespace

void PLTraceSetLevel(int level) { g_traceLevel = level; }

int PLTraceGetLevel() { return g_traceLevel; }

void PLTraceSetFile(const char* path) {
    try {
        g_traceFile = path != nullptr ? path : "";
    } catch (...) {
        g_traceFile.clear();
    }
}

void PLTrace(int level, const char* text) {
    if (g_traceFile.empty() || level > g_traceLevel || text == nullptr) return;
#ifdef _WIN32
    std::FILE* f = std::fopen(g_traceFile.c_str(), "a+t");
#else
    std::FILE* f = std::fopen(g_traceFile.c_str(), "a+");
#endif
    if (f == nullptr) return;
    std::fputs(text, f);
    std::fclose(f);
}

void PLTraceF(int level, const char* format, ...) {
    if (g_traceFile.empty() || level > g_traceLevel) return;
    char buffer[1024];
    va_list args;
    va_start(args, format);
    int n = std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    if (n < 0) return;
    PLTrace(level, buffer);
}
