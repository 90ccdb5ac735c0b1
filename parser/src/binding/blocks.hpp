// Blocks of memory for a parse: those a call uses and gives back before it
// returns (the list stack, the UTF-8 buffer, the rendering block), and those
// that stay with a document in its store. Where they come from decides what
// a service pays that keeps and drops documents all day: small blocks to
// keep come from the C allocator, so that a small kept document costs no
// kernel mapping; large ones are mapped pages, cut from a run the cache
// holds or mapped anew, and shrunk at their end to what they hold.
#pragma once

#include <cstddef>
#include <mutex>
#include <utility>

namespace quorvane {

// The kernel's calls for mapped memory and the page size they work in, read
// at run time: a kernel may have 16 or 64 KiB pages. A test gives its own.
struct PageCalls {
    std::size_t page;  // a power of two
    // `n` bytes of new zero pages, or nullptr.
    void* (*map)(std::size_t n);
    // False when the kernel refused (it can, when it would have to split a
    // mapping past its limit).
    bool (*unmap)(void* p, std::size_t n);
    // The pages at `p` made `to` bytes, moved if they must be; nullptr when
    // refused, the pages left as they were.
    void* (*remap)(void* p, std::size_t n, std::size_t to);
    // The pages' memory given back, the range staying mapped (zero when next
    // read); false when refused.
    bool (*discard)(void* p, std::size_t n);
};

// The system's page size and calls.
const PageCalls& system_pages();

class Bytes;

// Blocks to keep from this size on are mapped pages; smaller ones are the C
// allocator's. A store takes one for a first block of a quarter of its
// document or for an item of that size (a list): as a rule, only kept
// documents of a megabyte or so hold mappings, a few each.
inline constexpr std::size_t kMappedToKeep = std::size_t(256) << 10;

// Where blocks come from and go back to, with the blocks kept between calls:
// at most 8 blocks and 32 MiB, and 8 heap blocks under 256 KiB, so that a
// long-running ingester's parses find warm memory instead of paying for
// fresh pages and for the C allocator's housekeeping of what other code
// freed. What a document wrote in a block is zeroed before the block is
// kept: nothing of a document stays.
class Blocks {
public:
    explicit Blocks(const PageCalls& calls) noexcept : calls_(calls) {}
    Blocks(const Blocks&) = delete;
    Blocks& operator=(const Blocks&) = delete;
    // Gives back everything it keeps; no block from it may be left.
    ~Blocks();

    // The blocks of the process; never destroyed, since blocks may be
    // released while the process ends.
    static Blocks& shared();

private:
    friend class Bytes;
    struct Block {
        std::byte* p;
        std::size_t n;
        bool mapped;
    };

    Block for_call(std::size_t n);
    Block to_keep(std::size_t n, std::size_t want);
    Block allocate(std::size_t n, bool mapped);
    void deallocate(Block b) noexcept;
    void put(Block b, std::size_t dirty) noexcept;
    bool fit(Block& b, std::size_t used, std::size_t dirty) noexcept;
    bool grow(Block& b, std::size_t n) noexcept;
    void unmap(std::byte* p, std::size_t n) noexcept;
    std::size_t whole_pages(std::size_t n) const noexcept { return (n + calls_.page - 1) & ~(calls_.page - 1); }
    Block take_for_call(std::size_t n) noexcept;
    Block take_to_keep(std::size_t n, std::size_t most, bool mapped) noexcept;
    bool take_at(std::byte* p, std::size_t n) noexcept;
    Block cut(std::size_t i, std::size_t n, bool back) noexcept;
    Block remove(std::size_t i) noexcept;
    void retry_stuck(int tries) noexcept;

    // Blocks kept between calls: 8 of them and 32 MiB at most, and 8 heap
    // blocks under 256 KiB besides.
    static constexpr std::size_t kCacheBlocks = 8;
    static constexpr std::size_t kSmallBlock = kMappedToKeep;
    static bool is_small(const Block& b) noexcept { return !b.mapped && b.n < kSmallBlock; }

    const PageCalls calls_;
    std::mutex lock_;
    Block blocks_[2 * kCacheBlocks] = {};
    std::size_t ticks_[2 * kCacheBlocks] = {};  // when each was given back
    std::size_t tick_ = 0;
    std::size_t count_ = 0;
    std::size_t bytes_ = 0;
    // Pages the kernel would not unmap, their memory given back, linked
    // through their own first bytes: unmapped at a later unmap or take.
    struct Stuck {
        Stuck* next;
        std::size_t n;
    };
    void wait_stuck(Stuck* s) noexcept;
    Stuck* stuck_ = nullptr;
    Stuck* stuck_last_ = nullptr;
};

// A block of bytes aligned for any value, uninitialised when new, from a
// Blocks. Released, it goes back to where it came from.
class Bytes {
public:
    Bytes() = default;
    // A block of at least `n` bytes, given back before the call that takes
    // it returns: any cached block that is large enough. Throws
    // std::bad_alloc.
    static Bytes at_least(std::size_t n, Blocks& from = Blocks::shared());
    // A block of at least `n` bytes, about `want` when that is more, that
    // may stay with a document: never much larger than that, whatever the
    // cache holds, since a kept document may live as long as the program.
    // Throws std::bad_alloc.
    static Bytes to_keep(std::size_t n, std::size_t want, Blocks& from = Blocks::shared());
    Bytes(Bytes&& o) noexcept
        : p_(std::exchange(o.p_, nullptr)),
          n_(std::exchange(o.n_, 0)),
          dirty_(std::exchange(o.dirty_, 0)),
          mapped_(std::exchange(o.mapped_, false)),
          from_(o.from_) {}
    Bytes& operator=(Bytes&& o) noexcept {
        std::swap(p_, o.p_);
        std::swap(n_, o.n_);
        std::swap(dirty_, o.dirty_);
        std::swap(mapped_, o.mapped_);
        std::swap(from_, o.from_);
        return *this;
    }
    ~Bytes() {
        if (p_) release();
    }
    std::byte* data() const noexcept { return p_; }
    std::size_t size() const noexcept { return n_; }
    bool mapped() const noexcept { return mapped_; }
    // The owner has written bytes [0, n) at most: what a release zeroes.
    void written(std::size_t n) noexcept {
        if (n > dirty_) dirty_ = n;
    }
    // Makes the block at least `n` bytes with its bytes kept, moved if it
    // must be (mapped pages are moved by the kernel, not copied); false when
    // it cannot grow so, the block left as it was.
    bool extend(std::size_t n) noexcept;
    // Makes the block about `used` bytes, its first ones staying where they
    // are, before it stays with a document: a mapped block gives its pages
    // past them back to the cache, or to the system when the cache has no
    // room. False when the block stays much larger.
    bool fit(std::size_t used) noexcept;

private:
    Bytes(Blocks::Block b, Blocks& from) noexcept : p_(b.p), n_(b.n), mapped_(b.mapped), from_(&from) {}
    void release() noexcept;

    std::byte* p_ = nullptr;
    std::size_t n_ = 0;
    std::size_t dirty_ = 0;
    bool mapped_ = false;
    Blocks* from_ = nullptr;
};

}  // namespace quorvane
