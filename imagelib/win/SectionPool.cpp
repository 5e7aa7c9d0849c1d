#include "win/SectionPool.h"

#include <mutex>

#include "PixelMemory.h"

namespace {

// A 32-bit process keeps less: its address space also holds the heap bitmaps' kept blocks,
// the open pictures and their undo copies.
constexpr int KeptSlots = 4;
constexpr size_t KeptLimit = sizeof(void*) >= 8 ? size_t{512} << 20 : size_t{96} << 20;

struct KeptSection {
    HBITMAP section = nullptr;
    void* bits = nullptr;
    int32_t width = 0;
    int32_t height = 0;
    uint16_t bitsPerPixel = 0;
    size_t bytes = 0;
    unsigned long long age = 0;
};

struct Pool {
    std::mutex mutex;
    KeptSection kept[KeptSlots];
    size_t keptBytes = 0;
    unsigned long long clock = 0;

    ~Pool() {
        for (KeptSection& k : kept)
            if (k.section != nullptr) ::DeleteObject(k.section);
    }
};

Pool& ThePool() {
    static Pool pool;
    return pool;
}

void* SectionBits(HBITMAP section) {
    DIBSECTION info{};
    if (::GetObjectA(section, sizeof info, &info) != static_cast<int>(sizeof info)) return nullptr;
    return info.dsBm.bmBits;
}

}  // namespace

HBITMAP CSectionPool::Take(int32_t width, int32_t height, uint16_t bitsPerPixel, void** bits) {
    Pool& pool = ThePool();
    std::lock_guard<std::mutex> lock(pool.mutex);
    for (KeptSection& k : pool.kept) {
        if (k.section == nullptr || k.width != width || k.height != height || k.bitsPerPixel != bitsPerPixel) continue;
        const KeptSection taken = k;
        k = KeptSection{};
        pool.keptBytes -= taken.bytes;
        *bits = taken.bits;
        return taken.section;
    }
    return nullptr;
}

void CSectionPool::Give(HBITMAP section, int32_t width, int32_t height, uint16_t bitsPerPixel, size_t bytes) {
    if (section == nullptr) return;
    void* bits = bytes >= MinKeptBytes && bytes <= KeptLimit ? SectionBits(section) : nullptr;
    if (bits == nullptr) {
        ::DeleteObject(section);
        return;
    }
    // Heap bitmaps that find no memory give up the kept sections too.
    static const bool registered = (CPixelMemory::SetOtherKeeper(&CSectionPool::Trim), true);
    (void)registered;
    HBITMAP dropped[KeptSlots] = {};
    int droppedCount = 0;
    {
        Pool& pool = ThePool();
        std::lock_guard<std::mutex> lock(pool.mutex);
        // Make room: the oldest sections go first.
        for (;;) {
            int free = -1, oldest = -1;
            for (int i = 0; i < KeptSlots; ++i) {
                if (pool.kept[i].section == nullptr) {
                    if (free < 0) free = i;
                } else if (oldest < 0 || pool.kept[i].age < pool.kept[oldest].age) {
                    oldest = i;
                }
            }
            if (free >= 0 && pool.keptBytes + bytes <= KeptLimit) {
                pool.kept[free] = KeptSection{section, bits, width, height, bitsPerPixel, bytes, ++pool.clock};
                pool.keptBytes += bytes;
                break;
            }
            if (oldest < 0) break;  // cannot happen: bytes alone fits the limit
            dropped[droppedCount++] = pool.kept[oldest].section;
            pool.keptBytes -= pool.kept[oldest].bytes;
            pool.kept[oldest] = KeptSection{};
        }
    }
    for (int i = 0; i < droppedCount; ++i) ::DeleteObject(dropped[i]);
}

void CSectionPool::Trim() {
    HBITMAP dropped[KeptSlots] = {};
    {
        Pool& pool = ThePool();
        std::lock_guard<std::mutex> lock(pool.mutex);
        for (int i = 0; i < KeptSlots; ++i) {
            dropped[i] = pool.kept[i].section;
            pool.kept[i] = KeptSection{};
        }
        pool.keptBytes = 0;
    }
    for (HBITMAP section : dropped)
        if (section != nullptr) ::DeleteObject(section);
}

size_t CSectionPool::KeptBytes() {
    Pool& pool = ThePool();
    std::lock_guard<std::mutex> lock(pool.mutex);
    return pool.keptBytes;
}
