#include "binding/store.hpp"

#include <sys/mman.h>

#include <algorithm>
#include <mutex>
#include <new>

namespace quorvane {
namespace {

constexpr std::align_val_t kAlign{alignof(std::max_align_t)};
// Blocks from this size on are mapped from the system directly: asking the
// C allocator for them would have it first tidy up every small block other
// code freed, which after a large DOM costs more than the parse. Mapped
// memory is handled in whole pages, and any run of pages can be given back
// on its own: the cache cuts a request out of a larger run and joins runs
// that meet again, so that what a document keeps leaves the rest usable.
constexpr std::size_t kMapped = std::size_t(1) << 20;
constexpr std::size_t kPage = 4096;

std::size_t whole_pages(std::size_t n) { return (n + kPage - 1) & ~(kPage - 1); }

struct Block {
    std::byte* p;
    std::size_t n;
    bool mapped;
};

void deallocate(Block b) noexcept {
    if (b.mapped) {
        ::munmap(b.p, b.n);
    } else {
        ::operator delete(b.p, kAlign);
    }
}

// A new block of at least `n` bytes.
Block allocate(std::size_t n) {
    if (n < kMapped) return {static_cast<std::byte*>(::operator new(n, kAlign)), n, false};
    const std::size_t size = whole_pages(n);
    void* p = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED) throw std::bad_alloc();
    return {static_cast<std::byte*>(p), size, true};
}

constexpr std::size_t kCacheBlocks = 8;
constexpr std::size_t kCacheBytes = std::size_t(32) << 20;

// The blocks kept between calls, every byte of them zero.
class Cache {
public:
    // A block of at least `n` bytes, `want` where the cache has them, or
    // none. A heap block serves whole: for a call, the smallest large
    // enough; to keep, one at most an eighth larger than wanted. Failing
    // that, mapped pages are cut from the smallest run that holds what is
    // wanted: for a call from its front, so that the block can grow in
    // place over the pages after it; to keep from its back, out of the way
    // of such growth. A block to keep takes a whole run that holds less than
    // wanted but enough, rather than new pages.
    Block take(std::size_t n, std::size_t want, bool keep) {
        const std::lock_guard<std::mutex> guard(lock_);
        const std::size_t need = whole_pages(n), wanted = whole_pages(want);
        std::size_t heap = count_, run = count_, largest = count_;
        for (std::size_t i = 0; i < count_; ++i) {
            const Block& b = blocks_[i];
            if (!b.mapped) {
                if (b.n >= n && (!keep || b.n <= want + want / 8) && (heap == count_ || b.n < blocks_[heap].n))
                    heap = i;
            } else if (b.n >= wanted) {
                if (run == count_ || b.n < blocks_[run].n) run = i;
            } else if (keep && b.n >= need && (largest == count_ || b.n > blocks_[largest].n)) {
                largest = i;
            }
        }
        if (heap != count_) return remove(heap);
        if (run == count_) return largest == count_ ? Block{nullptr, 0, false} : remove(largest);
        return cut(run, wanted, keep);
    }

    // The `n` bytes of pages at `p` when a cached run starts there and holds
    // them; false otherwise.
    bool take_at(std::byte* p, std::size_t n) {
        const std::lock_guard<std::mutex> guard(lock_);
        for (std::size_t i = 0; i < count_; ++i) {
            const Block& b = blocks_[i];
            if (b.mapped && b.p == p && b.n >= n) {
                cut(i, n, false);
                return true;
            }
        }
        return false;
    }

    // Takes `b`, whose bytes [0, dirty) may hold a document's: kept, or
    // given back when there is no room for it.
    void put(Block b, std::size_t dirty) {
        const std::lock_guard<std::mutex> guard(lock_);
        const Block given = b;
        // Pages next to cached pages join them: a run cut for a document
        // comes back whole when the document goes.
        for (std::size_t i = 0; b.mapped && i < count_;) {
            const Block& o = blocks_[i];
            if (o.mapped && (o.p + o.n == b.p || b.p + b.n == o.p)) {
                const Block joined = remove(i);
                if (joined.p < b.p) b.p = joined.p;
                b.n += joined.n;
                i = 0;
            } else {
                ++i;
            }
        }
        // Room made by dropping smaller blocks, never larger ones.
        while (count_ != 0 && (count_ == kCacheBlocks || bytes_ + b.n > kCacheBytes)) {
            std::size_t smallest = 0;
            for (std::size_t i = 1; i < count_; ++i)
                if (blocks_[i].n < blocks_[smallest].n) smallest = i;
            if (blocks_[smallest].n >= b.n) break;
            deallocate(remove(smallest));
        }
        // A run past the bound keeps the pages that fit.
        std::size_t keep = count_ == kCacheBlocks ? 0 : b.n;
        if (bytes_ + keep > kCacheBytes) keep = b.mapped ? (kCacheBytes - bytes_) & ~(kPage - 1) : 0;
        if (keep < b.n) deallocate({b.p + keep, b.n - keep, b.mapped});
        if (keep == 0) return;
        std::byte* const end = std::min(given.p + std::min(dirty, given.n), b.p + keep);
        if (end > given.p) std::memset(given.p, 0, static_cast<std::size_t>(end - given.p));
        blocks_[count_++] = Block{b.p, keep, b.mapped};
        bytes_ += keep;
    }

private:
    Block remove(std::size_t i) noexcept {
        const Block b = blocks_[i];
        blocks_[i] = blocks_[--count_];
        bytes_ -= b.n;
        return b;
    }

    // `n` bytes of pages from the front or the back of cached run `i`: the
    // whole run when it is that large.
    Block cut(std::size_t i, std::size_t n, bool back) noexcept {
        Block& b = blocks_[i];
        if (b.n == n) return remove(i);
        b.n -= n;
        bytes_ -= n;
        if (back) return {b.p + b.n, n, true};
        const Block front{b.p, n, true};
        b.p += n;
        return front;
    }

    std::mutex lock_;
    Block blocks_[kCacheBlocks];
    std::size_t count_ = 0;
    std::size_t bytes_ = 0;
};

// Never destroyed: blocks may be released while the process ends.
Cache& cache() {
    static Cache* const c = new Cache;
    return *c;
}

Block taken(std::size_t n, std::size_t want, bool keep) {
    const Block b = cache().take(n, want, keep);
    if (b.p) return b;
    if (!keep || want >= kMapped) return allocate(want);
    // A small block to keep comes from a new run of pages, the rest of which
    // waits in the cache for the next: the C allocator would give a block
    // that cannot be fitted, and after other code freed much it first
    // tidies up, which costs more than a small parse.
    const Block run = allocate(kMapped);
    const std::size_t wanted = whole_pages(want);
    if (wanted < run.n) cache().put({run.p, run.n - wanted, true}, 0);
    return {run.p + run.n - wanted, wanted, true};
}

}  // namespace

Bytes Bytes::at_least(std::size_t n) {
    const Block b = taken(n, n, false);
    return Bytes(b.p, b.n, b.mapped);
}

Bytes Bytes::to_keep(std::size_t n, std::size_t want) {
    const Block b = taken(n, want < n ? n : want, true);
    return Bytes(b.p, b.n, b.mapped);
}

bool Bytes::fit(std::size_t used) noexcept {
    // The C allocator cannot shorten a block in place for certain.
    if (!mapped_) return n_ - used <= used / 8;
    const std::size_t keep = whole_pages(used == 0 ? 1 : used);
    if (keep < n_) {
        Bytes rest(p_ + keep, n_ - keep, true);
        rest.dirty_ = dirty_ > keep ? dirty_ - keep : 0;
        n_ = keep;
        if (dirty_ > keep) dirty_ = keep;
    }
    return true;
}

bool Bytes::extend(std::size_t n) noexcept {
    if (n <= n_) return true;
    if (!mapped_) return false;
    const std::size_t more = whole_pages(n) - n_;
    try {
        if (!cache().take_at(p_ + n_, more)) return false;
    } catch (...) {
        return false;  // a lock that cannot be taken
    }
    n_ += more;
    return true;
}

void Bytes::release() noexcept {
    try {
        cache().put(Block{p_, n_, mapped_}, dirty_);
    } catch (...) {
        // A lock that cannot be taken: the block is freed.
        deallocate(Block{p_, n_, mapped_});
    }
    p_ = nullptr;
}

}  // namespace quorvane
