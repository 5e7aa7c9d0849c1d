#pragma once

// Byte sinks: where an encoder writes its file. The memory kind assembles the whole file in
// one block. The file kind keeps only a window of it: once the window is full, the bytes in it
// go to the file (its temporary file) and the window starts again behind them, so that saving
// a large picture neither needs a second copy of it in memory nor touches fresh pages for one.
// Writes and reads below the window reach the bytes already on disk.
//
// The block starts at the capacity given to Open (the file kind: at most its window) and grows
// when an encoder writes more than was foreseen, so a picture that compresses badly still saves.
// Only a file that would pass MaxBytes throws "Buffer overflow while encoding.\n" (code 11); a
// block that cannot be grown throws code 10.

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
    // initialised; the pointer is good until the next call that writes.
    uint8_t* Append(size_t n);

    // Grows the block to hold at least total bytes, so that writes up to there never move it
    // (a hint: a sink with a window keeps its window).
    void ReserveTotal(size_t total) {
        if (m_window == 0) Reserve(total);
    }

    // Copies up to n bytes from offset on into data, wherever they are kept; returns how many
    // there were.
    size_t ReadAt(size_t offset, size_t n, void* data);

    // Bytes written so far (the size of the file), and the bytes themselves (a sink with a
    // window: only those from GetDataOffset on).
    size_t GetPosition() const { return m_position; }
    const uint8_t* GetData() const { return m_buffer; }
    size_t GetDataOffset() const { return m_base; }
    size_t GetCapacity() const { return m_capacity; }
    const char* GetName() const { return m_name.c_str(); }

    static constexpr const char* OverflowText = "Buffer overflow while encoding.\n";

protected:
    CByteSink() = default;

    // The base part of every kind's Open: a fresh block of capacity bytes and the name.
    // False when the block cannot be had.
    // window non-zero: the sink keeps at most about that many bytes and hands the rest to
    // WriteOut.
    bool OpenBuffer(const char* name, size_t capacity, size_t window = 0);
    void FreeBuffer();

    // Hands every byte still in the window to WriteOut; the window is then empty.
    void SpillWindow();

    // The file kind's storage behind the window: append n bytes at the end of what it holds,
    // overwrite bytes it holds, read them back. Failures throw.
    virtual void WriteOut(const uint8_t* data, size_t n);
    virtual void RewriteOut(size_t offset, const uint8_t* data, size_t n);
    virtual void ReadBack(size_t offset, uint8_t* data, size_t n);

private:
    void Reserve(size_t needed);

    uint8_t* m_buffer = nullptr;
    size_t m_position = 0;
    std::string m_name;
    size_t m_capacity = 0;
    size_t m_base = 0;    // file offset of m_buffer[0]; the bytes before it were written out
    size_t m_window = 0;  // 0: everything stays in memory
};

// A sink whose result stays in memory (tests, the clipboard, mail). Its name is "Mem".
class CMemoryByteSink : public CByteSink {
public:
    CMemoryByteSink() = default;
    ~CMemoryByteSink() override;

    // Returns 0, or -1 when the block cannot be had.
    int Open(size_t capacity);
};
