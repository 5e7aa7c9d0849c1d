#pragma once

// CFileByteSink: assembles a file in memory and puts it on disk only when it is complete.
//
// Open checks that the target can be written and creates an empty temporary file beside it
// (so a folder that cannot be written is reported before anything is encoded). The encoded
// bytes go to the temporary file a window at a time (WindowBytes); Close writes the rest and
// then puts the file in the target's place. When
// Close is never reached (an encoder threw) or the write fails, the temporary file is removed
// and an existing file of the target's name is left exactly as it was.

#include <cstdio>
#include <string>

#include "encode/ByteSink.h"

class CFileByteSink : public CByteSink {
public:
    CFileByteSink() = default;
    ~CFileByteSink() override;

    // Returns 0, or -1 when the target cannot be written (a read-only file, a directory, a
    // folder that is missing or read-only) or the block cannot be had.
    int Open(const char* path, size_t capacity);

    // Writes the file and replaces the target. Throws "Writing %s failed" (through the
    // encoder error path, code -1) when the data cannot be written or the target cannot be
    // replaced; the target is then untouched. Does nothing when the sink is not open.
    void Close();

    // Gives up the file: removes the temporary file and frees the block. The target is untouched.
    void Discard();

    bool IsOpen() const { return m_file != nullptr; }
    const std::string& GetTempPath() const { return m_tempPath; }

    // Bytes kept in memory before they go to the file: small enough to be a reused heap block.
    static constexpr size_t WindowBytes = 256 * 1024;

protected:
    void WriteOut(const uint8_t* data, size_t n) override;
    void RewriteOut(size_t offset, const uint8_t* data, size_t n) override;
    void ReadBack(size_t offset, uint8_t* data, size_t n) override;

private:
    [[noreturn]] void Fail();
    bool SeekTo(size_t offset);

    std::FILE* m_file = nullptr;
    std::string m_tempPath;
    size_t m_written = 0;  // bytes in the temporary file
    bool m_atEnd = true;   // the file position is m_written
};

// The folder part of a path, with its trailing separator ("" for a bare file name).
std::string PLPathFolder(const std::string& path);
