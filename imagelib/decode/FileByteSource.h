#pragma once

// CFileByteSource: serves a whole file, mapped read-only into memory. Nothing is read piecewise;
// every read is a pointer step inside the mapping.

#include "decode/ByteSource.h"

#ifdef _WIN32
#include <windows.h>

#include "framework/Handles.h"
#endif

class CFileByteSource : public CByteSource {
public:
    explicit CFileByteSource(CProgressSink* progress = nullptr) : CByteSource(progress) {}
    ~CFileByteSource() override;

    // Opens and maps the file. Returns 0, or:
    //  3 (PLErr::PathNotFound) when the folder does not exist,
    //  4 (PLErr::FileNotFound) when the file cannot be opened for any other reason
    //    (a missing file in an existing folder among them),
    //  5 (PLErr::AccessDenied) for access denied, a sharing violation, or a file that cannot be
    //    mapped (an empty file, a file of 4 GiB or more).
    // On failure nothing stays open.
    int Open(const char* path);
    void Close() override;

private:
#ifdef _WIN32
    UniqueHandle m_file;
    UniqueHandle m_mapping;
    MappedView m_view;
#else
    void* m_view = nullptr;
    size_t m_viewSize = 0;
#endif
};
