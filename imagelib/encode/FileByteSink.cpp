#include "encode/FileByteSink.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

#include "encode/EncoderError.h"

namespace {

// Creates a new file that did not exist before; null when the name is taken or the folder
// cannot be written (errno tells which).
std::FILE* CreateNewFile(const std::string& path) {
#ifdef _WIN32
    int fd = _open(path.c_str(), _O_RDWR | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
    if (fd < 0) return nullptr;
    std::FILE* file = _fdopen(fd, "w+b");
    if (!file) _close(fd);
#else
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) return nullptr;
    std::FILE* file = ::fdopen(fd, "w+b");
    if (!file) ::close(fd);
#endif
    return file;
}

// False when the path names something that exists but cannot be overwritten: a directory or a
// file that cannot be opened for writing.
bool TargetWritable(const std::string& path) {
#ifdef _WIN32
    // The read-only attribute protects a file from every user, the administrator included.
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0)
        return false;
#endif
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) return true;  // absent: the folder decides
    if (!S_ISREG(st.st_mode)) return false;
    std::FILE* probe = std::fopen(path.c_str(), "r+b");  // opens for writing without truncating
    if (!probe) return false;
    std::fclose(probe);
    return true;
}

bool ReplaceFile(const std::string& from, const std::string& to) {
#ifdef _WIN32
    return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
#else
    return std::rename(from.c_str(), to.c_str()) == 0;
#endif
}

unsigned g_tempCounter = 0;

}  // namespace

std::string PLPathFolder(const std::string& path) {
    size_t cut = path.find_last_of("/\\");
#ifdef _WIN32
    if (cut == std::string::npos && path.size() >= 2 && path[1] == ':') cut = 1;
#endif
    return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
}

CFileByteSink::~CFileByteSink() { Discard(); }

int CFileByteSink::Open(const char* path, size_t capacity) {
    Discard();
    if (!path || !*path) return -1;
    std::string target(path);
    if (!TargetWritable(target)) return -1;

    // A short name beside the target, so the final step is a rename within one folder.
    std::string folder = PLPathFolder(target);
#ifdef _WIN32
    unsigned salt = GetCurrentProcessId();
#else
    unsigned salt = static_cast<unsigned>(::getpid());
#endif
    for (int attempt = 0; attempt < 64 && !m_file; ++attempt) {
        char name[48];
        std::snprintf(name, sizeof name, "~lm%04x%04x.tmp", salt & 0xFFFFu, (g_tempCounter++) & 0xFFFFu);
        std::string candidate = folder + name;
        m_file = CreateNewFile(candidate);
        if (m_file) m_tempPath = candidate;
        else if (errno != EEXIST) break;
    }
    if (!m_file) return -1;
    m_written = 0;
    m_atEnd = true;
    if (!OpenBuffer(path, capacity, WindowBytes)) {
        Discard();
        return -1;
    }
    return 0;
}

void CFileByteSink::Fail() {
    std::string name = GetName();
    Discard();
    throw PLEncoderError(PLErr::OpenFailed, "Writing %s failed", name.c_str());
}

bool CFileByteSink::SeekTo(size_t offset) {
    // Offsets stay below MaxBytes, which a long holds on every platform.
    return std::fseek(m_file, static_cast<long>(offset), SEEK_SET) == 0;
}

void CFileByteSink::WriteOut(const uint8_t* data, size_t n) {
    if (!m_file) Fail();
    if (!m_atEnd && !SeekTo(m_written)) Fail();
    m_atEnd = true;
    if (std::fwrite(data, 1, n, m_file) != n) Fail();
    m_written += n;
}

void CFileByteSink::RewriteOut(size_t offset, const uint8_t* data, size_t n) {
    m_atEnd = false;
    if (!m_file || !SeekTo(offset) || std::fwrite(data, 1, n, m_file) != n) Fail();
}

void CFileByteSink::ReadBack(size_t offset, uint8_t* data, size_t n) {
    m_atEnd = false;
    if (!m_file || !SeekTo(offset) || std::fread(data, 1, n, m_file) != n) Fail();
}

void CFileByteSink::Close() {
    if (!m_file) return;
    SpillWindow();  // a failure discards everything and throws "Writing %s failed"
    bool ok = std::fflush(m_file) == 0;
    ok = std::fclose(m_file) == 0 && ok;
    m_file = nullptr;
    if (ok) ok = ReplaceFile(m_tempPath, GetName());
    if (!ok) {
        std::string name = GetName();
        Discard();
        throw PLEncoderError(PLErr::OpenFailed, "Writing %s failed", name.c_str());
    }
    m_tempPath.clear();
    FreeBuffer();
}

void CFileByteSink::Discard() {
    if (m_file) {
        std::fclose(m_file);
        m_file = nullptr;
    }
    if (!m_tempPath.empty()) {
        std::remove(m_tempPath.c_str());
        m_tempPath.clear();
    }
    FreeBuffer();
}
