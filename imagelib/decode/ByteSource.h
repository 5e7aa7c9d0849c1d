#pragma once

// Byte sources: where a decoder reads its data from. Every source serves one contiguous block
// (a mapped file or a caller's memory), so a read is a pointer step. Every read checks its
// length first: a read that would pass the end of the data throws CTextException code 11
// ("End of file reached while decoding.\n") and returns nothing, so a decoder never touches a
// byte beyond the block.
//
// Kinds: CMemoryByteSource (here, portable) and CFileByteSource (decode/FileByteSource.h).

#include <cstddef>
#include <cstdint>
#include <string>

#include "PLObject.h"
#include "ProgressSink.h"
#include "TextException.h"

class CByteSource : public CPLObject {
public:
    ~CByteSource() override;
    CByteSource(const CByteSource&) = delete;
    CByteSource& operator=(const CByteSource&) = delete;

    // Ends reading: tells the progress sink 1.0 (once) and lets the kind release its block.
    virtual void Close();

    // The current read pointer, without advancing. Throws code 11 when fewer than minBytes
    // remain; GetBytesLeft() tells how many bytes may be read from the pointer.
    virtual const uint8_t* GetBufferPtr(uint32_t minBytes);

    // Returns the current read pointer and advances by n. Throws code 11 (and stays where it
    // is) when fewer than n bytes remain. Each time the position passes a multiple of 1024
    // the progress sink is told position / size.
    virtual const uint8_t* ReadNBytes(uint32_t n);

    // The current read pointer, without advancing, for handing the rest of the data
    // (GetBytesLeft() bytes) to a library.
    virtual const uint8_t* ReadEverything();

    // Typed reads on top of ReadNBytes.
    uint8_t ReadByte();
    uint16_t ReadWordLE();
    uint32_t ReadLongLE();
    uint16_t ReadWordBE();
    uint32_t ReadLongBE();
    void Skip(uint32_t n) { ReadNBytes(n); }

    const char* GetName() const { return m_name.c_str(); }
    uint32_t GetFileSize() const { return m_size; }
    uint32_t GetPosition() const { return m_position; }
    uint32_t GetBytesLeft() const { return m_size - m_position; }
    bool IsOpen() const { return m_open; }
    CProgressSink* GetProgressSink() const { return m_progress; }

    static constexpr const char* EndOfFileText = "End of file reached while decoding.\n";

protected:
    explicit CByteSource(CProgressSink* progress = nullptr) : m_progress(progress) {}

    // The base part of every kind's Open: stores the name and the size and starts at 0.
    void Open(const char* name, uint32_t size);
    // The kinds tell the base where the bytes are (null after closing).
    void SetData(const uint8_t* data) { m_data = data; }

private:
    [[noreturn]] void ThrowEndOfFile() const;

    std::string m_name;
    uint32_t m_size = 0;
    uint32_t m_position = 0;
    CProgressSink* m_progress = nullptr;
    const uint8_t* m_data = nullptr;
    bool m_open = false;
};

// Serves a block of memory owned by the caller, who keeps it alive while the source is used.
// Its name is "Mem".
class CMemoryByteSource : public CByteSource {
public:
    explicit CMemoryByteSource(CProgressSink* progress = nullptr) : CByteSource(progress) {}
    ~CMemoryByteSource() override;

    // Always returns 0. Blocks larger than 4 GiB - 1 are served as if they ended there.
    int Open(const void* data, size_t size);
    void Close() override;
};
