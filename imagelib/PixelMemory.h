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
    // Frees every kept block.
    static void Trim();
    // Bytes held in kept blocks.
    static size_t KeptBytes();
};
