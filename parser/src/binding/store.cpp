#include "binding/store.hpp"

#include <sys/mman.h>

#include <mutex>
#include <new>

namespace quorvane {
namespace {

constexpr std::align_val_t kAlign{alignof(std::max_align_t)};
// Blocks from this size on are mapped from the system directly: asking the
// C allocator for them would have it first tidy up every small block other
// code freed, which after a large DOM costs more than the parse.
constexpr std::size_t kMapped = std::size_t(1) << 20;
constexpr std::size_t kPage = 4096;

std::size_t mapped_size(std::size_t n) { return (n + kPage - 1) & ~(kPage - 1); }

std::byte* allocate(std::size_t n) {
    if (n < kMapped) return static_cast<std::byte*>(::operator new(n, kAlign));
    void* p = ::mmap(nullptr, mapped_size(n), PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED) throw std::bad_alloc();
    return static_cast<std::byte*>(p);
}

void deallocate(std::byte* p, std::size_t n) noexcept {
    if (n < kMapped) {
        ::operator delete(p, kAlign);
    } else {
        ::munmap(p, mapped_size(n));
    }
}
constexpr std::size_t kCacheBlocks = 8;
constexpr std::size_t kCacheBytes = std::size_t(32) << 20;

struct Cache {
    std::mutex lock;
    struct Entry {
        std::byte* p;
        std::size_t n;
    };
    Entry blocks[kCacheBlocks];
    std::size_t count = 0;
    std::size_t bytes = 0;
};

// Never destroyed: blocks may be released while the process ends.
Cache& cache() {
    static Cache* const c = new Cache;
    return *c;
}

}  // namespace

Bytes Bytes::at_least(std::size_t n) {
    {
        Cache& c = cache();
        const std::lock_guard<std::mutex> guard(c.lock);
        // The smallest that is large enough.
        std::size_t best = c.count;
        for (std::size_t i = 0; i < c.count; ++i)
            if (c.blocks[i].n >= n && (best == c.count || c.blocks[i].n < c.blocks[best].n)) best = i;
        if (best != c.count) {
            const Cache::Entry e = c.blocks[best];
            c.blocks[best] = c.blocks[--c.count];
            c.bytes -= e.n;
            return Bytes(e.p, e.n);
        }
    }
    return Bytes(allocate(n), n);
}

void Bytes::release() noexcept {
    if (n_ <= kCacheBytes) {
        Cache& c = cache();
        try {
            const std::lock_guard<std::mutex> guard(c.lock);
            // Room made by dropping smaller blocks, never larger ones.
            while (c.count != 0 && (c.count == kCacheBlocks || c.bytes + n_ > kCacheBytes)) {
                std::size_t smallest = 0;
                for (std::size_t i = 1; i < c.count; ++i)
                    if (c.blocks[i].n < c.blocks[smallest].n) smallest = i;
                if (c.blocks[smallest].n >= n_) break;
                const Cache::Entry e = c.blocks[smallest];
                c.blocks[smallest] = c.blocks[--c.count];
                c.bytes -= e.n;
                deallocate(e.p, e.n);
            }
            if (c.count < kCacheBlocks && c.bytes + n_ <= kCacheBytes) {
                std::memset(p_, 0, dirty_ < n_ ? dirty_ : n_);
                c.blocks[c.count++] = Cache::Entry{p_, n_};
                c.bytes += n_;
                p_ = nullptr;
                return;
            }
        } catch (...) {
            // A lock that cannot be taken: the block is freed.
        }
    }
    deallocate(p_, n_);
    p_ = nullptr;
}

}  // namespace quorvane
