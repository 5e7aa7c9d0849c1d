#include "PixelMemory.h"

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

// At most this many blocks and bytes are kept. A 32-bit process keeps less, as its address
// space must also hold the GDI sections and the undo copies of the pictures.
constexpr int KeptSlots = 6;
constexpr size_t KeptLimit = sizeof(void*) >= 8 ? size_t{512} << 20 : size_t{192} << 20;

struct KeptBlock {
    void* block = nullptr;
    size_t bytes = 0;
    unsigned long long age = 0;
};

KeptBlock g_kept[KeptSlots];
size_t g_keptBytes = 0;
unsigned long long g_clock = 0;
std::atomic_flag g_busy = ATOMIC_FLAG_INIT;
std::atomic<void (*)()> g_trimOther{nullptr};

class CKeptLock {
public:
    CKeptLock() {
        while (g_busy.test_and_set(std::memory_order_acquire)) {
        }
    }
    ~CKeptLock() { g_busy.clear(std::memory_order_release); }
    CKeptLock(const CKeptLock&) = delete;
    CKeptLock& operator=(const CKeptLock&) = delete;
};

// Takes the smallest kept block that holds bytes without wasting more than an eighth of it.
KeptBlock TakeKept(size_t bytes) {
    CKeptLock lock;
    int best = -1;
    for (int i = 0; i < KeptSlots; ++i) {
        const KeptBlock& k = g_kept[i];
        if (k.block == nullptr || k.bytes < bytes || k.bytes - bytes > bytes / 8) continue;
        if (best < 0 || k.bytes < g_kept[best].bytes) best = i;
    }
    if (best < 0) return KeptBlock{};
    const KeptBlock taken = g_kept[best];
    g_keptBytes -= taken.bytes;
    g_kept[best] = KeptBlock{};
    return taken;
}

// A large block is one allocation from the C runtime with room for a prefix and for moving the
// handed-out address to the wanted alignment: the prefix just below that address holds the
// allocation's own address and the bytes it can hand out (whatever the alignment asked for).
constexpr size_t PrefixBytes = 16;
constexpr size_t LineBytes = 64;
constexpr size_t SlackBytes = PrefixBytes + 2 * LineBytes;

struct Prefix {
    void* allocation;
    size_t capacity;
};
static_assert(sizeof(Prefix) <= PrefixBytes, "prefix size");

uint8_t* Place(void* allocation, size_t capacity, size_t alignedAt) {
    const uintptr_t raw = reinterpret_cast<uintptr_t>(allocation);
    const uintptr_t offset = alignedAt % LineBytes;
    const uintptr_t line = (raw + PrefixBytes + offset + LineBytes - 1) & ~static_cast<uintptr_t>(LineBytes - 1);
    uint8_t* memory = reinterpret_cast<uint8_t*>(line - offset);
    const Prefix prefix{allocation, capacity};
    std::memcpy(memory - PrefixBytes, &prefix, sizeof(prefix));
    return memory;
}

}  // namespace

void* CPixelMemory::Allocate(size_t bytes, bool zero, size_t alignedAt) {
    if (bytes < MinKeptBytes) return zero ? std::calloc(bytes ? bytes : 1, 1) : std::malloc(bytes ? bytes : 1);
    if (bytes > static_cast<size_t>(-1) - SlackBytes) return nullptr;
    const KeptBlock kept = TakeKept(bytes);
    if (kept.block != nullptr) {
        uint8_t* memory = Place(kept.block, kept.bytes, alignedAt);
        if (zero) std::memset(memory, 0, bytes);
        return memory;
    }
    // Fresh memory from the system comes zeroed, so calloc costs nothing more than malloc.
    void* allocation = std::calloc(bytes + SlackBytes, 1);
    if (allocation == nullptr) {
        Trim();
        allocation = std::calloc(bytes + SlackBytes, 1);
        if (allocation == nullptr) return nullptr;
    }
    return Place(allocation, bytes, alignedAt);
}

void CPixelMemory::Free(void* memory, size_t bytes) {
    if (memory == nullptr) return;
    if (bytes < MinKeptBytes) {
        std::free(memory);
        return;
    }
    Prefix prefix;
    std::memcpy(&prefix, static_cast<uint8_t*>(memory) - PrefixBytes, sizeof(prefix));
    void* block = prefix.allocation;
    bytes = prefix.capacity;
    if (bytes > KeptLimit) {
        std::free(block);
        return;
    }
    void* evicted[KeptSlots] = {};
    int evictedCount = 0;
    {
        CKeptLock lock;
        // Make room: the oldest blocks go first.
        for (;;) {
            int freeSlot = -1, oldest = -1;
            for (int i = 0; i < KeptSlots; ++i) {
                if (g_kept[i].block == nullptr) {
                    freeSlot = i;
                } else if (oldest < 0 || g_kept[i].age < g_kept[oldest].age) {
                    oldest = i;
                }
            }
            if (freeSlot >= 0 && g_keptBytes + bytes <= KeptLimit) {
                g_kept[freeSlot] = KeptBlock{block, bytes, ++g_clock};
                g_keptBytes += bytes;
                break;
            }
            evicted[evictedCount++] = g_kept[oldest].block;
            g_keptBytes -= g_kept[oldest].bytes;
            g_kept[oldest] = KeptBlock{};
        }
    }
    for (int i = 0; i < evictedCount; ++i) std::free(evicted[i]);
}

void CPixelMemory::Trim() {
    void* released[KeptSlots] = {};
    {
        CKeptLock lock;
        for (int i = 0; i < KeptSlots; ++i) {
            released[i] = g_kept[i].block;
            g_kept[i] = KeptBlock{};
        }
        g_keptBytes = 0;
    }
    for (void* block : released) std::free(block);
    if (void (*trimOther)() = g_trimOther.load()) trimOther();
}

void CPixelMemory::SetOtherKeeper(void (*trim)()) { g_trimOther.store(trim); }

size_t CPixelMemory::KeptBytes() {
    CKeptLock lock;
    return g_keptBytes;
}
