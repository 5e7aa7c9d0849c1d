#include "encode/ByteSink.h"

#include <cstdlib>
#include <cstring>

CByteSink::~CByteSink() { FreeBuffer(); }

bool CByteSink::OpenBuffer(const char* name, size_t capacity) {
    FreeBuffer();
    m_name = name ? name : "";
    if (capacity == 0) capacity = 4096;
    if (capacity > MaxBytes) capacity = MaxBytes;
    m_buffer = static_cast<uint8_t*>(std::malloc(capacity));
    if (!m_buffer) return false;
    m_capacity = capacity;
    m_position = 0;
    return true;
}

void CByteSink::FreeBuffer() {
    std::free(m_buffer);
    m_buffer = nullptr;
    m_capacity = 0;
    m_position = 0;
}

void CByteSink::Reserve(size_t needed) {
    if (needed <= m_capacity && m_buffer) return;
    if (needed > MaxBytes) throw CTextException(PLErr::EndOfFile, OverflowText);
    // Grow by half again at least, so that many small writes past the estimate stay cheap.
    size_t grown = m_capacity + m_capacity / 2;
    if (grown < needed || grown > MaxBytes) grown = grown < needed ? needed : MaxBytes;
    auto* block = static_cast<uint8_t*>(std::realloc(m_buffer, grown));
    if (!block && grown > needed) {
        grown = needed;
        block = static_cast<uint8_t*>(std::realloc(m_buffer, grown));
    }
    if (!block) throw CTextException(PLErr::NoMemory, "Out of memory while encoding.");
    m_buffer = block;
    m_capacity = grown;
}

void CByteSink::WriteNBytes(size_t n, const void* data) { WriteAt(m_position, n, data); }

void CByteSink::WriteAt(size_t offset, size_t n, const void* data) {
    if (offset > MaxBytes || n > MaxBytes - offset) throw CTextException(PLErr::EndOfFile, OverflowText);
    size_t end = offset + n;
    Reserve(end);
    if (offset > m_position) std::memset(m_buffer + m_position, 0, offset - m_position);
    if (n) std::memcpy(m_buffer + offset, data, n);
    if (end > m_position) m_position = end;
}

uint8_t* CByteSink::Append(size_t n) {
    if (n > MaxBytes - m_position) throw CTextException(PLErr::EndOfFile, OverflowText);
    Reserve(m_position + n);
    uint8_t* p = m_buffer + m_position;
    m_position += n;
    return p;
}

void CByteSink::Extend(size_t size) {
    if (size <= m_position) return;
    Reserve(size);
    std::memset(m_buffer + m_position, 0, size - m_position);
    m_position = size;
}

CMemoryByteSink::~CMemoryByteSink() = default;

int CMemoryByteSink::Open(size_t capacity) { return OpenBuffer("Mem", capacity) ? 0 : -1; }
