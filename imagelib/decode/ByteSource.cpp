#include "decode/ByteSource.h"

#include <cstring>

#include "decode/ImageDecoder.h"

namespace {
// An empty block still needs a valid pointer so that an open source is recognisable.
const uint8_t kEmptyBlock[1] = {0};
}  // namespace

CByteSource::~CByteSource() = default;

void CByteSource::Open(const char* name, uint32_t size) {
    m_name = name != nullptr ? name : "";
    m_size = size;
    m_position = 0;
    m_open = true;
}

void CByteSource::Close() {
    if (m_open && m_progress != nullptr) m_progress->OnProgress(1.0);
    m_open = false;
    m_data = nullptr;
    m_position = 0;
    m_size = 0;
}

// The decoders' one failure path, so that the end of the data is traced like every other error.
void CByteSource::ThrowEndOfFile() const { CImageDecoder::RaiseEndOfFile(); }

const uint8_t* CByteSource::GetBufferPtr(uint32_t minBytes) {
    if (m_data == nullptr || minBytes > GetBytesLeft()) ThrowEndOfFile();
    return m_data + m_position;
}

const uint8_t* CByteSource::ReadNBytes(uint32_t n) {
    if (m_data == nullptr || n > GetBytesLeft()) ThrowEndOfFile();
    const uint8_t* p = m_data + m_position;
    uint32_t old = m_position;
    m_position += n;
    if (m_progress != nullptr && (old >> 10) != (m_position >> 10) && m_size != 0)
        m_progress->OnProgress(static_cast<double>(m_position) / m_size);
    return p;
}

const uint8_t* CByteSource::ReadEverything() {
    if (m_data == nullptr) ThrowEndOfFile();
    return m_data + m_position;
}

uint8_t CByteSource::ReadByte() { return *ReadNBytes(1); }

uint16_t CByteSource::ReadWordLE() {
    const uint8_t* p = ReadNBytes(2);
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

uint32_t CByteSource::ReadLongLE() {
    const uint8_t* p = ReadNBytes(4);
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
           (static_cast<uint32_t>(p[3]) << 24);
}

uint16_t CByteSource::ReadWordBE() {
    const uint8_t* p = ReadNBytes(2);
    return static_cast<uint16_t>((p[0] << 8) | p[1]);
}

uint32_t CByteSource::ReadLongBE() {
    const uint8_t* p = ReadNBytes(4);
    return (static_cast<uint32_t>(p[0]) << 24) | (static_cast<uint32_t>(p[1]) << 16) |
           (static_cast<uint32_t>(p[2]) << 8) | static_cast<uint32_t>(p[3]);
}

// ---------------------------------------------------------------------------------------------

CMemoryByteSource::~CMemoryByteSource() = default;

int CMemoryByteSource::Open(const void* data, size_t size) {
    if (data == nullptr) size = 0;
    if (size > UINT32_MAX) size = UINT32_MAX;
    CByteSource::Open("Mem", static_cast<uint32_t>(size));
    SetData(data != nullptr ? static_cast<const uint8_t*>(data) : kEmptyBlock);
    return 0;
}

void CMemoryByteSource::Close() { CByteSource::Close(); }
