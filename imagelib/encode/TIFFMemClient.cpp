#include "encode/TIFFMemClient.h"

#include <cstdarg>
#include <cstring>

#include "TextException.h"
#include "decode/Trace.h"

namespace {

std::string g_lastError;

void ErrorHandler(const char* module, const char* format, va_list args) {
    g_lastError = PLFormatText(format, args);
    g_lastError += "\n";
    PLTrace(0, g_lastError.c_str());
}

void WarningHandler(const char* module, const char* format, va_list args) {
    if (PLTraceGetLevel() < 2) return;
    const std::string text = PLFormatText(format, args);
    if (module)
        PLTraceF(2, "Warning in LIBTIFF(%s): %s\n", module, text.c_str());
    else
        PLTraceF(2, "Warning in LIBTIFF: %s\n", text.c_str());
}

struct MemClient {
    const uint8_t* data;  // reading: the caller's block
    size_t capacity;      // reading: its size
    CByteSink* sink;      // writing: where the file goes
    std::exception_ptr* failure;
    size_t position;
    char mode;            // 'r' or 'w'

    size_t UsedSize() const { return mode == 'w' ? sink->GetPosition() : capacity; }
};

MemClient* Client(thandle_t handle) { return static_cast<MemClient*>(handle); }

tmsize_t ReadProc(thandle_t handle, void* buffer, tmsize_t size) {
    MemClient* c = Client(handle);
    if (size <= 0) return 0;
    size_t used = c->UsedSize();
    if (c->position >= used) return 0;
    size_t n = static_cast<size_t>(size);
    if (n > used - c->position) n = used - c->position;
    if (c->mode == 'w') {
        try {
            n = c->sink->ReadAt(c->position, n, buffer);
        } catch (...) {
            if (c->failure && !*c->failure) *c->failure = std::current_exception();
            return -1;
        }
    } else {
        std::memcpy(buffer, c->data + c->position, n);
    }
    c->position += n;
    return static_cast<tmsize_t>(n);
}

bool WriteToSink(MemClient* c, const void* buffer, size_t n) {
    try {
        c->sink->WriteAt(c->position, n, buffer);
        return true;
    } catch (...) {
        if (c->failure && !*c->failure) *c->failure = std::current_exception();
    }
    return false;
}

tmsize_t WriteProc(thandle_t handle, void* buffer, tmsize_t size) {
    MemClient* c = Client(handle);
    if (c->mode != 'w' || size < 0) return -1;
    if (size == 0) return 0;
    if (!WriteToSink(c, buffer, static_cast<size_t>(size))) return -1;
    c->position += static_cast<size_t>(size);
    return size;
}

toff_t SeekProc(thandle_t handle, toff_t offset, int whence) {
    MemClient* c = Client(handle);
    int64_t base;
    switch (whence) {
    case SEEK_SET: base = 0; break;
    case SEEK_CUR: base = static_cast<int64_t>(c->position); break;
    case SEEK_END: base = static_cast<int64_t>(c->UsedSize()); break;
    default: return static_cast<toff_t>(-1);
    }
    // offset is unsigned in the interface; relative seeks backwards arrive as large values.
    int64_t target = base + static_cast<int64_t>(offset);
    if (target < 0 || static_cast<uint64_t>(target) > CByteSink::MaxBytes) return static_cast<toff_t>(-1);
    c->position = static_cast<size_t>(target);
    return static_cast<toff_t>(target);
}

int CloseProc(thandle_t handle) {
    delete Client(handle);
    return 0;
}

toff_t SizeProc(thandle_t handle) { return static_cast<toff_t>(Client(handle)->UsedSize()); }

int MapProc(thandle_t, void**, toff_t*) { return 0; }
void UnmapProc(thandle_t, void*, toff_t) {}

TIFF* OpenClient(MemClient* client, const char* mode) {
    PLTiffInstallHandlers();
    PLTiffClearError();
    TIFF* tif = TIFFClientOpen("MemSource", mode, static_cast<thandle_t>(client), ReadProc, WriteProc,
                               SeekProc, CloseProc, SizeProc, MapProc, UnmapProc);
    if (!tif) {
        delete client;  // libtiff calls the close procedure only for handles it returned
        if (g_lastError.empty()) g_lastError = "Cannot open TIFF data.\n";
    }
    return tif;
}

}  // namespace

void PLTiffInstallHandlers() {
    static bool installed = false;
    if (installed) return;
    TIFFSetErrorHandler(ErrorHandler);
    TIFFSetWarningHandler(WarningHandler);
    installed = true;
}

const std::string& PLTiffLastError() { return g_lastError; }
void PLTiffClearError() { g_lastError.clear(); }

TIFF* PLTiffOpenRead(const uint8_t* data, size_t size) {
    return OpenClient(new MemClient{data, size, nullptr, nullptr, 0, 'r'}, "rm");
}

TIFF* PLTiffOpenWrite(CByteSink& sink, std::exception_ptr* failure) {
    return OpenClient(new MemClient{nullptr, 0, &sink, failure, 0, 'w'}, "wm");
}
