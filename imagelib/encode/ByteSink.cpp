#include "encode/ByteSink.h"

#include <cstdlib>
#include <cstring>

CByteSink::~CByteSink() { FreeBuffer(); }

bool CByteSink::OpenBuffer(const char* name, size_t capacity, size_t window) {
    FreeBuffer();
    m_name = name ? name : "";
    m_window = window;
    if (capacity == 0) capacity = 4096;
    if (capacity > MaxBytes) capacity = MaxBytes;
    if (window != 0 && capacity > window) capacity = window;
    m_buffer = static_cast<uint8_t*>(std::malloc(capacity));
    if (!m_buffer) return false;
    m_capacity = capacity;
    m_position = 0;
    m_base = 0;
    return true;
}

void CByteSink::FreeBuffer() {
    std::free(m_buffer);
    m_buffer = nullptr;
    m_capacity = 0;
    m_position = 0;
    m_base = 0;
}

void CByteSink::WriteOut(const uint8_t*, size_t) {}
void CByteSink::RewriteOut(size_t, const uint8_t*, size_t) {}
void CByteSink::ReadBack(size_t, uint8_t* data, size_t n) { std::memset(data, 0, n); }

void CByteSink::SpillWindow() {
    if (m_position == m_base) return;
    WriteOut(m_buffer, m_position - m_base);
    m_base = m_position;
}

// Makes the window hold the file up to offset needed.
void CByteSink::Reserve(size_t needed) {
    if (needed > MaxBytes) throw CTextException(PLErr::EndOfFile, OverflowText);
    if (needed - m_base <= m_capacity && m_buffer) return;
    if (m_window != 0 && m_position > m_base) {
        SpillWindow();
        if (needed - m_base <= m_capacity && m_buffer) return;
    }
    const size_t wanted = needed - m_base;
    // Grow by half again at least, so that many small writes past the estimate stay cheap.
    size_t grown = m_capacity + m_capacity / 2;
    if (grown < wanted || grown > MaxBytes) grown = grown < wanted ? wanted : MaxBytes;
    auto* block = static_cast<uint8_t*>(std::realloc(m_buffer, grown));
    if (!block && grown > wanted) {
        grown = wanted;
        block = static_cast<uint8_t*>(std::realloc(m_buffer, grown));
    }
    if (!block) throw CTextException(PLErr::NoMemory, "Out of memory while encoding.");
    m_buffer = block;
    m_capacity = grown;
}

void CByteSink::WriteNBytes(size_t n, const void* data) { WriteAt(m_position, n, data); }

void CByteSink::WriteAt(size_t offset, size_t n, const void* data) {
    if (offset > MaxBytes || n > MaxBytes - offset) throw CTextException(PLErr::EndOfFile, OverflowText);
    const auto* bytes = static_cast<const uint8_t*>(data);
    if (offset < m_base) {  // the part that was written out already
        const size_t behind = n < m_base - offset ? n : m_base - offset;
        RewriteOut(offset, bytes, behind);
        offset += behind;
        bytes += behind;
        n -= behind;
    }
    if (offset < m_position && n) {  // the part inside the window
        const size_t inside = n < m_position - offset ? n : m_position - offset;
        std::memcpy(m_buffer + (offset - m_base), bytes, inside);
        offset += inside;
        bytes += inside;
        n -= inside;
    }
    if (n == 0 && offset <= m_position) return;
    // From here on the write extends the file.
    if (m_window != 0 && offset == m_position && n >= m_window) {
        // A block at least as large as the window goes out as it is, without a copy.
        SpillWindow();
        WriteOut(bytes, n);
        m_position = m_base = offset + n;
        return;
    }
    const size_t end = offset + n;
    Reserve(end);
    if (offset > m_position) std::memset(m_buffer + (m_position - m_base), 0, offset - m_position);
    std::memcpy(m_buffer + (offset - m_base), bytes, n);
    m_position = end;
}

uint8_t* CByteSink::Append(size_t n) {
    if (n > MaxBytes - m_position) throw CTextException(PLErr::EndOfFile, OverflowText);
    Reserve(m_position + n);
    uint8_t* p = m_buffer + (m_position - m_base);
    m_position += n;
    return p;
}

void CByteSink::Extend(size_t size) {
    if (size <= m_position) return;
    Reserve(size);
    std::memset(m_buffer + (m_position - m_base), 0, size - m_position);
    m_position = size;
}

size_t CByteSink::ReadAt(size_t offset, size_t n, void* data) {
    if (offset >= m_position) return 0;
    if (n > m_position - offset) n = m_position - offset;
    auto* out = static_cast<uint8_t*>(data);
    size_t done = 0;
    if (offset < m_base) {
        done = n < m_base - offset ? n : m_base - offset;
        ReadBack(offset, out, done);
    }
    if (done < n) std::memcpy(out + done, m_buffer + (offset + done - m_base), n - done);
    return n;
}

CMemoryByteSink::~CMemoryByteSink() = default;

int CMemoryByteSink::Open(size_t capacity) { return OpenBuffer("Mem", capacity) ? 0 : -1; }
