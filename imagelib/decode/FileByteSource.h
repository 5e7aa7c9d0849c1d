#pragma once

// CFileByteSource: serves a whole file from memory. Nothing is read piecewise; every read is a
// pointer step inside the file's bytes.
//
// On Windows the file is read at once into pixel memory the library keeps (CPixelMemory), whose
// pages are already mapped when a picture of that size was opened before: a mapped view costs a
// page fault per page at every open, several times the reading of the file from the system's
// cache. The file is closed again right after. When there is no memory for a copy, the file is
// mapped read-only instead and stays open while the source does.

#include "PixelMemory.h"
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
    //    read or mapped (an empty file, a file of 4 GiB or more, a read error).
    // On failure nothing stays open.
    int Open(const char* path);
    void Close() override;

private:
#ifdef _WIN32
    CPixelMemoryBlock m_copy;
    UniqueHandle m_file;
    UniqueHandle m_mapping;
    MappedView m_view;
#else
    void* m_view = nullptr;
    size_t m_viewSize = 0;
#endif
};
