#pragma once

// The image library's trace facility: diagnostic texts of the decoders and encoders go to a
// file when one is set and the text's level is at most the current trace level. It is
// process-wide; nothing in the program sets a trace file, so tracing is off in normal use.
// Level 0 carries error texts, 1 the start of each decode, 2 recognised formats and library
// warnings, 3 and up details.

// Sets the highest level that is written (default 0).
void PLTraceSetLevel(int level);
int PLTraceGetLevel();

// Sets the file the texts are appended to; null or an empty path turns tracing off (default).
void PLTraceSetFile(const char* path);

// Appends text to the trace file when a file is set and level <= the trace level. Never throws;
// a file that cannot be opened is skipped silently.
void PLTrace(int level, const char* text);

// printf-style variant of PLTrace.
void PLTraceF(int level, const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 2, 3)))
#endif
    ;
