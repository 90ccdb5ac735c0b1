#include "binding/blocks.hpp"

#include <sys/mman.h>
#include <unistd.h>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

namespace quorvane {
namespace {

constexpr std::align_val_t kAlign{alignof(std::max_align_t)};
// Blocks from this size on are mapped from the system directly: asking the
// C allocator for them would have it first tidy up every small block other
// code freed, which after a large DOM costs more than the parse.
constexpr std::size_t kMapped = std::size_t(1) << 20;
constexpr std::size_t kCacheBytes = std::size_t(32) << 20;
// The C allocator keeps what is freed in the middle of its heap; after a
// burst of kept documents is dropped, that would be the burst's peak held
// for good. Once the bytes of its blocks held here fell to half their
// highest count since it last gave memory back, and by this much at least,
// it is asked to: when that is cheap for what was freed.
constexpr std::size_t kTrimAfter = std::size_t(24) << 20;
// Giving back costs a system call for each free chunk of the C allocator's
// that holds a whole page, and each is dear (a flush of the processor's
// page tables); after drops in random order, there are about as many as
// blocks still held. It waits, looking again at each halving, until the
// chunks are at most one for this many bytes freed: then a burst dropped in
// any order pays a few hundredths of a system call a document.
constexpr std::size_t kFreedPerChunk = std::size_t(64) << 10;

std::size_t system_page_size() noexcept {
    const long page = ::sysconf(_SC_PAGESIZE);
    if (page > 0 && (page & (page - 1)) == 0) return static_cast<std::size_t>(page);
    return static_cast<std::size_t>(::getpagesize());
}

void* system_map(std::size_t n) {
    void* p = ::mmap(nullptr, n, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    return p == MAP_FAILED ? nullptr : p;
}

bool system_unmap(void* p, std::size_t n) { return ::munmap(p, n) == 0; }

void* system_remap(void* p, std::size_t n, std::size_t to) {
    void* q = ::mremap(p, n, to, MREMAP_MAYMOVE);
    return q == MAP_FAILED ? nullptr : q;
}

bool system_discard(void* p, std::size_t n) { return ::madvise(p, n, MADV_DONTNEED) == 0; }

// The free chunks that giving memory back would go through, at most.
std::size_t free_chunks() noexcept {
#if defined(__GLIBC__) && (__GLIBC__ > 2 || __GLIBC_MINOR__ >= 33)
    return ::mallinfo2().ordblks;
#else
    return 0;
#endif
}

void trim_heap() noexcept {
#if defined(__GLIBC__)
    ::malloc_trim(0);
#endif
}

}  // namespace

const PageCalls& system_pages() {
    static const PageCalls calls{system_page_size(), system_map, system_unmap, system_remap, system_discard};
    return calls;
}

Blocks& Blocks::shared() {
    static Blocks* const blocks = new Blocks(system_pages());
    return *blocks;
}

Blocks::~Blocks() {
    while (count_ != 0) deallocate(remove(count_ - 1));
    for (std::size_t i = 0; i < stuck_count_; ++i) calls_.unmap(stuck_[i].p, stuck_[i].n);
}

Blocks::Block Blocks::allocate(std::size_t n) {
    if (n < kMapped) {
        auto* p = static_cast<std::byte*>(::operator new(n, kAlign));
        heap_taken(n);
        return {p, n, false};
    }
    const std::size_t size = whole_pages(n);
    if (size < n) throw std::bad_alloc();
    void* p = calls_.map(size);
    if (!p) throw std::bad_alloc();
    return {static_cast<std::byte*>(p), size, true};
}

void Blocks::deallocate(Block b) noexcept {
    if (b.mapped) {
        unmap(b.p, b.n);
    } else {
        ::operator delete(b.p, kAlign);
        heap_freed(b.n);
    }
}

void Blocks::unmap(std::byte* p, std::size_t n) noexcept {
    try {
        const std::lock_guard<std::mutex> guard(lock_);
        // Pages refused before: the kernel may take them now.
        for (std::size_t i = 0; i < stuck_count_;) {
            if (calls_.unmap(stuck_[i].p, stuck_[i].n)) {
                stuck_[i] = stuck_[--stuck_count_];
            } else {
                ++i;
            }
        }
        if (calls_.unmap(p, n)) return;
        // Refused: the memory is given back at least, and the pages wait to
        // be unmapped; past what can wait, the range stays reserved, empty.
        calls_.discard(p, n);
        if (stuck_count_ < kStuck) stuck_[stuck_count_++] = Block{p, n, true};
    } catch (...) {
        // A lock that cannot be taken.
        if (!calls_.unmap(p, n)) calls_.discard(p, n);
    }
}

void Blocks::heap_taken(std::size_t n) noexcept {
    const std::size_t now = heap_.fetch_add(n, std::memory_order_relaxed) + n;
    std::size_t high = heap_high_.load(std::memory_order_relaxed);
    while (now > high) {
        if (heap_high_.compare_exchange_weak(high, now, std::memory_order_relaxed)) {
            heap_look_.store(static_cast<std::size_t>(-1), std::memory_order_relaxed);
            break;
        }
    }
}

void Blocks::heap_freed(std::size_t n) noexcept {
    const std::size_t now = heap_.fetch_sub(n, std::memory_order_relaxed) - n;
    const std::size_t high = heap_high_.load(std::memory_order_relaxed);
    if (high < now + kTrimAfter || now > high / 2 || now > heap_look_.load(std::memory_order_relaxed)) return;
    maybe_trim();
}

void Blocks::maybe_trim() noexcept {
    std::unique_lock<std::mutex> guard(trim_lock_, std::try_to_lock);
    if (!guard.owns_lock()) return;  // another thread is at it
    const std::size_t now = heap_.load(std::memory_order_relaxed);
    const std::size_t high = heap_high_.load(std::memory_order_relaxed);
    if (high < now + kTrimAfter) return;
    if (free_chunks() > (high - now) / kFreedPerChunk) {
        heap_look_.store(now / 2, std::memory_order_relaxed);
        return;
    }
    trim_heap();
    heap_high_.store(heap_.load(std::memory_order_relaxed), std::memory_order_relaxed);
    heap_look_.store(static_cast<std::size_t>(-1), std::memory_order_relaxed);
}

Blocks::Block Blocks::remove(std::size_t i) noexcept {
    const Block b = blocks_[i];
    blocks_[i] = blocks_[--count_];
    bytes_ -= b.n;
    return b;
}

// The smallest cached block of `kind` of `n` to `most` bytes, or none. For
// `Kind::cut`, a mapped one larger than that has its first `n` bytes taken
// and the rest left in the cache, still mapped: no call to the kernel.
Blocks::Block Blocks::take(std::size_t n, std::size_t most, Kind kind) {
    const std::lock_guard<std::mutex> guard(lock_);
    std::size_t best = count_;
    for (std::size_t i = 0; i < count_; ++i) {
        const Block& b = blocks_[i];
        const bool fits = kind == Kind::any    ? b.n >= n
                          : kind == Kind::heap ? !b.mapped && b.n >= n && b.n <= most
                                               : b.mapped && b.n >= n;
        if (fits && (best == count_ || b.n < blocks_[best].n)) best = i;
    }
    if (best == count_) return Block{nullptr, 0, false};
    Block& b = blocks_[best];
    if (b.n <= most) return remove(best);
    const Block front{b.p, n, true};
    b.p += n;
    b.n -= n;
    bytes_ -= n;
    return front;
}

Blocks::Block Blocks::for_call(std::size_t n) {
    const Block b = take(n, std::numeric_limits<std::size_t>::max(), Kind::any);
    return b.p ? b : allocate(n);
}

Blocks::Block Blocks::to_keep(std::size_t n, std::size_t want) {
    // About the size wanted: a block much smaller would have the store
    // grow by more blocks than it needs. A large one is cut from a larger
    // cached run of pages, warm, rather than mapped anew; a small one is
    // never mapped, so that small documents cost no mapping each.
    if (want < n) want = n;
    Block b;
    if (want < kMapped) {
        b = take(std::max(n, want - want / 8), want + want / 8, Kind::heap);
    } else {
        const std::size_t wanted = whole_pages(want);
        b = take(wanted, wanted + wanted / 8, Kind::cut);
    }
    return b.p ? b : allocate(want);
}

void Blocks::put(Block b, std::size_t dirty) noexcept {
    Block dropped[kCacheBlocks];
    std::size_t drops = 0;
    try {
        const std::lock_guard<std::mutex> guard(lock_);
        // Room made by dropping smaller blocks, never larger ones, and only
        // when that makes room.
        std::size_t smaller = 0, smaller_bytes = 0;
        for (std::size_t i = 0; i < count_; ++i) {
            if (blocks_[i].n < b.n) {
                ++smaller;
                smaller_bytes += blocks_[i].n;
            }
        }
        if (b.n <= kCacheBytes && count_ - smaller < kCacheBlocks && bytes_ - smaller_bytes + b.n <= kCacheBytes) {
            while (count_ == kCacheBlocks || bytes_ + b.n > kCacheBytes) {
                std::size_t smallest = 0;
                for (std::size_t i = 1; i < count_; ++i)
                    if (blocks_[i].n < blocks_[smallest].n) smallest = i;
                dropped[drops++] = remove(smallest);
            }
            std::memset(b.p, 0, std::min(dirty, b.n));
            blocks_[count_++] = b;
            bytes_ += b.n;
            b.p = nullptr;
        }
    } catch (...) {
        // A lock that cannot be taken: the block is given back.
    }
    // Given back outside the lock: a return of the C allocator's memory
    // takes a while.
    for (std::size_t i = 0; i < drops; ++i) deallocate(dropped[i]);
    if (b.p) deallocate(b);
}

bool Blocks::fit(Block& b, std::size_t used, std::size_t dirty) noexcept {
    if (b.mapped) {
        // Its pages past them go back to the cache, still mapped, or to the
        // kernel.
        const std::size_t keep = whole_pages(used == 0 ? 1 : used);
        if (keep < b.n) {
            put(Block{b.p + keep, b.n - keep, true}, dirty > keep ? dirty - keep : 0);
            b.n = keep;
        }
        return true;
    }
    // The C allocator cannot shorten a block in place for certain.
    return b.n - used <= used / 8;
}

bool Blocks::grow(Block& b, std::size_t n) noexcept {
    if (n <= b.n) return true;
    if (!b.mapped) return false;
    const std::size_t size = whole_pages(n);
    if (size < n) return false;
    void* p = calls_.remap(b.p, b.n, size);
    if (!p) return false;
    b.p = static_cast<std::byte*>(p);
    b.n = size;
    return true;
}

Bytes Bytes::at_least(std::size_t n, Blocks& from) { return Bytes(from.for_call(n), from); }

Bytes Bytes::to_keep(std::size_t n, std::size_t want, Blocks& from) { return Bytes(from.to_keep(n, want), from); }

bool Bytes::fit(std::size_t used) noexcept {
    if (!p_) return used == 0;
    Blocks::Block b{p_, n_, mapped_};
    const bool fitted = from_->fit(b, used, dirty_);
    n_ = b.n;
    if (dirty_ > n_) dirty_ = n_;
    return fitted;
}

bool Bytes::extend(std::size_t n) noexcept {
    Blocks::Block b{p_, n_, mapped_};
    if (!p_ || !from_->grow(b, n)) return false;
    p_ = b.p;
    n_ = b.n;
    return true;
}

void Bytes::release() noexcept {
    from_->put(Blocks::Block{p_, n_, mapped_}, dirty_);
    p_ = nullptr;
}

}  // namespace quorvane
