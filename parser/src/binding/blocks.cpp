#include "binding/blocks.hpp"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

namespace quorvane {
namespace {

// Blocks for a call from this size on are mapped from the system directly:
// asking the C allocator for them would have it first tidy up every small
// block other code freed, which after a large DOM costs more than the parse.
constexpr std::size_t kMapped = std::size_t(1) << 20;
constexpr std::size_t kCacheBytes = std::size_t(32) << 20;
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
    while (stuck_) {
        Stuck* const s = stuck_;
        stuck_ = s->next;
        if (!calls_.unmap(s, s->n)) calls_.discard(s, s->n);
    }
}

Blocks::Block Blocks::allocate(std::size_t n, bool mapped) {
    if (!mapped) {
        void* const p = std::malloc(n == 0 ? 1 : n);
        if (!p) throw std::bad_alloc();
        return {static_cast<std::byte*>(p), n, false};
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
        // The C allocator keeps it for the next parses. It is never asked to
        // hand its heap back: that goes over every free range of the
        // process, other code's too, a system call each, in one call.
        std::free(b.p);
    }
}

void Blocks::unmap(std::byte* p, std::size_t n) noexcept {
    try {
        const std::lock_guard<std::mutex> guard(lock_);
        retry_stuck(4);
        if (calls_.unmap(p, n)) return;
        // Refused: the memory is given back at once, and the pages wait to be
        // unmapped; refused that too, they wait as they are.
        calls_.discard(p, n);
        auto* const s = reinterpret_cast<Stuck*>(p);
        s->n = n;
        wait_stuck(s);
    } catch (...) {
        // A lock that cannot be taken: the pages cannot wait, and stay
        // reserved, their memory given back, when the kernel refuses.
        if (!calls_.unmap(p, n)) calls_.discard(p, n);
    }
}

// Pages refused before: the kernel may take them now. A few at a time, so
// that a kernel that goes on refusing costs little; one refused again goes
// to the back, so that each is tried in turn. The lock is held.
void Blocks::retry_stuck(int tries) noexcept {
    for (; stuck_ && tries > 0; --tries) {
        Stuck* const s = stuck_;
        stuck_ = s->next;
        if (!stuck_) stuck_last_ = nullptr;
        if (!calls_.unmap(s, s->n)) wait_stuck(s);
    }
}

void Blocks::wait_stuck(Stuck* s) noexcept {
    s->next = nullptr;
    (stuck_last_ ? stuck_last_->next : stuck_) = s;
    stuck_last_ = s;
}

Blocks::Block Blocks::remove(std::size_t i) noexcept {
    const Block b = blocks_[i];
    blocks_[i] = blocks_[--count_];
    ticks_[i] = ticks_[count_];
    bytes_ -= b.n;
    return b;
}

// `n` bytes of pages from the front or the back of cached run `i`: the
// whole run when it is that large. The rest stays in the cache, mapped: no
// call to the kernel.
Blocks::Block Blocks::cut(std::size_t i, std::size_t n, bool back) noexcept {
    Block& b = blocks_[i];
    if (b.n == n) return remove(i);
    b.n -= n;
    bytes_ -= n;
    if (back) return {b.p + b.n, n, true};
    const Block front{b.p, n, true};
    b.p += n;
    return front;
}

// A cached block for a call of `n` bytes, or none: the smallest heap block
// large enough, whole; failing that, pages cut from the front of the
// smallest run that holds them, so that the block can grow in place over
// the pages after it.
Blocks::Block Blocks::take_for_call(std::size_t n) noexcept {
    const std::size_t need = whole_pages(n);
    const bool pages = need >= n;  // no run holds a size past the last page
    try {
        const std::lock_guard<std::mutex> guard(lock_);
        if (stuck_) retry_stuck(1);
        std::size_t heap = count_, run = count_;
        for (std::size_t i = 0; i < count_; ++i) {
            const Block& b = blocks_[i];
            if (!b.mapped && b.n >= n && (heap == count_ || b.n < blocks_[heap].n)) heap = i;
            if (b.mapped && pages && b.n >= need && (run == count_ || b.n < blocks_[run].n)) run = i;
        }
        if (heap != count_) return remove(heap);
        if (run != count_) return cut(run, need, false);
    } catch (...) {
        // A lock that cannot be taken: none.
    }
    return Block{nullptr, 0, false};
}

// A cached block to keep of `n` to `most` bytes, or none: a heap block
// whole; mapped pages cut from the back of the smallest run that holds
// `most`, out of the way of a call's block growing at its front, or else
// the largest run that holds `n`, whole, rather than new pages.
Blocks::Block Blocks::take_to_keep(std::size_t n, std::size_t most, bool mapped) noexcept {
    try {
        const std::lock_guard<std::mutex> guard(lock_);
        if (stuck_) retry_stuck(1);
        std::size_t best = count_, largest = count_;
        for (std::size_t i = 0; i < count_; ++i) {
            const Block& b = blocks_[i];
            if (b.mapped != mapped || b.n < n) continue;
            if (mapped ? b.n >= most : b.n <= most) {
                if (best == count_ || b.n < blocks_[best].n) best = i;
            } else if (mapped && (largest == count_ || b.n > blocks_[largest].n)) {
                largest = i;
            }
        }
        if (best != count_) return mapped ? cut(best, most, true) : remove(best);
        if (largest != count_) return remove(largest);
    } catch (...) {
        // A lock that cannot be taken: none.
    }
    return Block{nullptr, 0, false};
}

Blocks::Block Blocks::for_call(std::size_t n) {
    const Block b = take_for_call(n);
    return b.p ? b : allocate(n, n >= kMapped);
}

Blocks::Block Blocks::to_keep(std::size_t n, std::size_t want) {
    // About the size wanted: a block much smaller would have the store
    // grow by more blocks than it needs. A large one is cut from a cached
    // run of pages, warm, rather than mapped anew: the C allocator would
    // first tidy up what other code freed, and give fresh pages.
    if (want < n) want = n;
    if (want < kMappedToKeep) {
        const Block b = take_to_keep(std::max(n, want - want / 8), want + want / 8, false);
        return b.p ? b : allocate(want, false);
    }
    const std::size_t wanted = whole_pages(want), need = whole_pages(n);
    if (wanted < want) throw std::bad_alloc();
    const Block b = take_to_keep(need, wanted, true);
    return b.p ? b : allocate(wanted, true);
}

// The `n` bytes of pages at `p` when a cached run starts there and holds
// them; false otherwise.
bool Blocks::take_at(std::byte* p, std::size_t n) noexcept {
    try {
        const std::lock_guard<std::mutex> guard(lock_);
        for (std::size_t i = 0; i < count_; ++i) {
            const Block& b = blocks_[i];
            if (b.mapped && b.p == p && b.n >= n) {
                cut(i, n, false);
                return true;
            }
        }
    } catch (...) {
        // A lock that cannot be taken: not here.
    }
    return false;
}

void Blocks::put(Block b, std::size_t dirty) noexcept {
    Block dropped[kCacheBlocks + 1];
    std::size_t drops = 0;
    try {
        const std::lock_guard<std::mutex> guard(lock_);
        const Block given = b;
        // Pages next to cached pages join them: a run cut for a document or
        // a call comes back whole when it goes.
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
        // Small heap blocks have room of their own, so that runs left by
        // large parses never crowd out the blocks of the small documents
        // parsed after them. Other blocks make room by dropping smaller
        // ones, never larger ones, and only when that makes room; a run past
        // the bound keeps the pages that fit.
        const bool small = is_small(b);
        const std::size_t bound = small ? kCacheBlocks * kSmallBlock : kCacheBytes;
        std::size_t kind = 0, kind_bytes = 0, smaller = 0, smaller_bytes = 0;
        for (std::size_t i = 0; i < count_; ++i) {
            if (is_small(blocks_[i]) != small) continue;
            ++kind;
            kind_bytes += blocks_[i].n;
            if (blocks_[i].n < b.n) {
                ++smaller;
                smaller_bytes += blocks_[i].n;
            }
        }
        // Small blocks make room by dropping the ones kept longest: they are
        // cheap to come by again, and the next parse is likely to want one
        // of the size just given back.
        const std::size_t room = bound - (small ? 0 : kind_bytes - smaller_bytes);
        std::size_t keep = small || kind - smaller < kCacheBlocks ? b.n : 0;
        if (keep > room) keep = b.mapped ? room & ~(calls_.page - 1) : 0;
        if (keep != 0) {
            while (kind == kCacheBlocks || kind_bytes + keep > bound) {
                std::size_t victim = count_;
                for (std::size_t i = 0; i < count_; ++i) {
                    if (is_small(blocks_[i]) != small) continue;
                    if (victim == count_ || (small ? ticks_[i] < ticks_[victim] : blocks_[i].n < blocks_[victim].n))
                        victim = i;
                }
                const Block gone = remove(victim);
                dropped[drops++] = gone;
                --kind;
                kind_bytes -= gone.n;
            }
            // Only the given pages may hold a document's bytes.
            std::byte* const end = std::min(given.p + std::min(dirty, given.n), b.p + keep);
            if (end > given.p) std::memset(given.p, 0, static_cast<std::size_t>(end - given.p));
            ticks_[count_] = ++tick_;
            blocks_[count_++] = Block{b.p, keep, b.mapped};
            bytes_ += keep;
            if (keep < b.n) dropped[drops++] = Block{b.p + keep, b.n - keep, true};
            b.p = nullptr;
        }
    } catch (...) {
        // A lock that cannot be taken: the block is given back.
    }
    // Given back outside the lock, which an unmap takes itself.
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
    // In place over the cached pages after it, else moved by the kernel.
    if (take_at(b.p + b.n, size - b.n)) {
        b.n = size;
        return true;
    }
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
