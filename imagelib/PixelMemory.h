#pragma once

// CPixelMemory: the allocator of the pixel blocks of the bitmap kinds that live on the heap.
//
// The C runtime hands large blocks straight back to the system when they are freed, so every
// new picture of some megabytes pays a page fault for each of its pages again (under Wine, far
// more than the work of most filters on them). A filter that replaces a bitmap frees a block and
// asks for one of the same size a moment later; the same happens when an undo step restores a
// picture. So the last few large blocks that were given back are kept, with their pages
// mapped, and a request of (nearly) the same size takes one of them. Blocks are kept only up to
// a total size; when an allocation fails, the kept blocks are released and it is tried again.

#include <cstddef>
#include <cstdint>
#include <utility>

class CPixelMemory {
public:
    // Blocks below this size go to the C runtime directly.
    static constexpr size_t MinKeptBytes = size_t{1} << 20;

    // A block of at least bytes, zeroed when zero is set; nullptr when there is no memory.
    // For large blocks, the address alignedAt bytes into the block starts a cache line (the
    // rows of a packed DIB follow its header). The block must be given back with Free and the
    // same byte count.
    static void* Allocate(size_t bytes, bool zero, size_t alignedAt = 0);
    // Gives a block back (nullptr is allowed).
    static void Free(void* block, size_t bytes);
    // Frees every kept block, and whatever the other keeper keeps.
    static void Trim();
    // Another keeper of freed memory (the GDI sections), given up together with the blocks
    // when memory runs short.
    static void SetOtherKeeper(void (*trim)());
    // Bytes held in kept blocks.
    static size_t KeptBytes();
};

// A block of CPixelMemory owned by one holder (not cleared).
class CPixelMemoryBlock {
public:
    CPixelMemoryBlock() = default;
    explicit CPixelMemoryBlock(size_t bytes)
        : m_data(static_cast<uint8_t*>(CPixelMemory::Allocate(bytes, false))), m_bytes(m_data ? bytes : 0) {}
    ~CPixelMemoryBlock() { reset(); }
    CPixelMemoryBlock(CPixelMemoryBlock&& other) noexcept
        : m_data(std::exchange(other.m_data, nullptr)), m_bytes(std::exchange(other.m_bytes, 0)) {}
    CPixelMemoryBlock& operator=(CPixelMemoryBlock&& other) noexcept {
        if (this != &other) {
            reset();
            m_data = std::exchange(other.m_data, nullptr);
            m_bytes = std::exchange(other.m_bytes, 0);
        }
        return *this;
    }
    CPixelMemoryBlock(const CPixelMemoryBlock&) = delete;
    CPixelMemoryBlock& operator=(const CPixelMemoryBlock&) = delete;

    uint8_t* data() const { return m_data; }
    size_t size() const { return m_bytes; }
    explicit operator bool() const { return m_data != nullptr; }
    void reset() {
        CPixelMemory::Free(m_data, m_bytes);
        m_data = nullptr;
        m_bytes = 0;
    }

private:
    uint8_t* m_data = nullptr;
    size_t m_bytes = 0;
};
