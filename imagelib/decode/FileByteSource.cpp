#include "decode/FileByteSource.h"

#ifndef _WIN32
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#endif

CFileByteSource::~CFileByteSource() { Close(); }

#ifdef _WIN32

namespace {

int OpenErrorCode(DWORD error) {
    switch (error) {
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
        return PLErr::PathNotFound;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return PLErr::AccessDenied;
    default:
        return PLErr::FileNotFound;
    }
}

// Reads size bytes from the start of file into buffer; false on a read error or a file that
// became shorter meanwhile.
bool ReadWhole(HANDLE file, uint8_t* buffer, DWORD size) {
    // Reads of a few megabytes at a time: the system may refuse one huge read for lack of
    // its own buffers.
    constexpr DWORD kChunk = DWORD{16} << 20;
    DWORD done = 0;
    while (done < size) {
        const DWORD want = size - done < kChunk ? size - done : kChunk;
        DWORD got = 0;
        if (!::ReadFile(file, buffer + done, want, &got, nullptr) || got == 0) return false;
        done += got;
    }
    return true;
}

}  // namespace

int CFileByteSource::Open(const char* path) {
    Close();
    if (path == nullptr || *path == '\0') return PLErr::FileNotFound;
    UniqueHandle file(::CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) return OpenErrorCode(::GetLastError());
    DWORD high = 0;
    DWORD size = ::GetFileSize(file.get(), &high);
    if ((size == INVALID_FILE_SIZE && ::GetLastError() != NO_ERROR) || high != 0 || size == 0)
        return PLErr::AccessDenied;
    CPixelMemoryBlock copy(size);
    if (copy) {
        if (!ReadWhole(file.get(), copy.data(), size)) return PLErr::AccessDenied;
        m_copy = std::move(copy);
        CByteSource::Open(path, size);
        SetData(m_copy.data());
        return 0;
    }
    UniqueHandle mapping(::CreateFileMappingA(file.get(), nullptr, PAGE_READONLY, 0, 0, nullptr));
    if (!mapping) return PLErr::AccessDenied;
    MappedView view(::MapViewOfFile(mapping.get(), FILE_MAP_READ, 0, 0, 0));
    if (!view) return PLErr::AccessDenied;

    m_file = std::move(file);
    m_mapping = std::move(mapping);
    m_view = std::move(view);
    CByteSource::Open(path, size);
    SetData(static_cast<const uint8_t*>(m_view.get()));
    return 0;
}

void CFileByteSource::Close() {
    CByteSource::Close();
    m_copy.reset();
    m_view.reset();
    m_mapping.reset();
    m_file.reset();
}

#else  // POSIX: the same contract over mmap, so that the portable tests can read files too.

namespace {

bool FolderExists(const char* path) {
    std::string folder(path);
    size_t slash = folder.find_last_of('/');
    if (slash == std::string::npos) return true;
    folder.resize(slash == 0 ? 1 : slash);
    struct stat st {};
    return ::stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace

int CFileByteSource::Open(const char* path) {
    Close();
    if (path == nullptr || *path == '\0') return PLErr::FileNotFound;
    int fd = ::open(path, O_RDONLY);
    if (fd < 0) {
        int error = errno;
        if (error == EACCES || error == EPERM) return PLErr::AccessDenied;
        if ((error == ENOENT || error == ENOTDIR) && !FolderExists(path)) return PLErr::PathNotFound;
        return PLErr::FileNotFound;
    }
    struct stat st {};
    int code = 0;
    void* view = MAP_FAILED;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))
        code = PLErr::FileNotFound;
    else if (st.st_size <= 0 || static_cast<unsigned long long>(st.st_size) > UINT32_MAX)
        code = PLErr::AccessDenied;
    else if ((view = ::mmap(nullptr, static_cast<size_t>(st.st_size), PROT_READ, MAP_PRIVATE, fd, 0)) == MAP_FAILED)
        code = PLErr::AccessDenied;
    ::close(fd);
    if (code != 0) return code;
    m_view = view;
    m_viewSize = static_cast<size_t>(st.st_size);
    CByteSource::Open(path, static_cast<uint32_t>(m_viewSize));
    SetData(static_cast<const uint8_t*>(m_view));
    return 0;
}

void CFileByteSource::Close() {
    CByteSource::Close();
    if (m_view != nullptr) ::munmap(m_view, m_viewSize);
    m_view = nullptr;
    m_viewSize = 0;
}

#endif
