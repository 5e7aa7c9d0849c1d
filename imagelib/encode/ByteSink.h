#pragma once

// Byte sinks: where an encoder writes its file. The whole file is assembled in one block of
// memory; the file kind writes it to disk in one piece when it is closed.
//
// The block starts at the capacity given to Open and grows when an encoder writes more than
// was foreseen, so a picture that compresses badly still saves. Only a file that would pass
// MaxBytes throws "Buffer overflow while encoding.\n" (code 11); a block that cannot be grown
// throws code 10.

#include <cstddef>
#include <cstdint>
#include <string>

#include "PLObject.h"
#include "TextException.h"

class CByteSink : public CPLObject {
public:
    // Largest file the library writes: well inside what a 32-bit process can hold.
    static constexpr size_t MaxBytes = 0x7FFF0000u;

    ~CByteSink() override;
    CByteSink(const CByteSink&) = delete;
    CByteSink& operator=(const CByteSink&) = delete;

    // Appends n bytes at the current position.
    void WriteNBytes(size_t n, const void* data);

    // Writes n bytes at offset (for formats written with seeks). A gap between the bytes
    // written so far and offset is filled with zeros. The position becomes the end of the
    // written data when that is further than before.
    void WriteAt(size_t offset, size_t n, const void* data);

    // Raises the number of bytes held to size, filling with zeros (no effect when smaller).
    void Extend(size_t size);

    // Makes room for n more bytes at the current position, advances past them and returns
    // where they go, for encoders that build their output in place. The bytes are not
    // initialised.
    uint8_t* Append(size_t n);

    // Grows the block to hold at least total bytes, so that writes up to there never move it.
    void ReserveTotal(size_t total) { Reserve(total); }

    // Bytes written so far (the size of the file), and the bytes themselves.
    size_t GetPosition() const { return m_position; }
    const uint8_t* GetData() const { return m_buffer; }
    size_t GetCapacity() const { return m_capacity; }
    const char* GetName() const { return m_name.c_str(); }

    static constexpr const char* OverflowText = "Buffer overflow while encoding.\n";

protected:
    CByteSink() = default;

    // The base part of every kind's Open: a fresh block of capacity bytes and the name.
    // False when the block cannot be had.
    bool OpenBuffer(const char* name, size_t capacity);
    void FreeBuffer();

private:
    void Reserve(size_t needed);

    uint8_t* m_buffer = nullptr;
    size_t m_position = 0;
    std::string m_name;
    size_t m_capacity = 0;
};

// A sink whose result stays in memory (tests, the clipboard, mail). Its name is "Mem".
class CMemoryByteSink : public CByteSink {
public:
    CMemoryByteSink() = default;
    ~CMemoryByteSink() override;

    // Returns 0, or -1 when the block cannot be had.
    int Open(size_t capacity);
};
