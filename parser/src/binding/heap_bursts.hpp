// When the C allocator is asked to hand its free memory back to the system.
// Asking costs a system call for each free range of its heap that holds a
// page, all in the one call that asks: cheap once a burst of documents has
// come and gone and its memory lies together in a few ranges, dear where
// other values lie among its blocks and cut it into many. Which of the two
// it is, is judged from the blocks' own figures, never from a look over the
// heap, which would cost as much as the asking.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

namespace quorvane {

// Where a block lies in the C allocator's heap, with its header: [start,
// end). Empty when the block is not in the heap (a mapping of its own).
struct HeapExtent {
    std::uintptr_t start = 0;
    std::uintptr_t end = 0;
};

class HeapBursts {
public:
    // A burst has come and gone when at most this many heap blocks are live,
    // wherever they lie: each may part a free range. Its memory lies
    // together when the blocks it took lie in at most this many runs, each
    // a range to give back. A burst that took less than the last leaves its
    // memory with the C allocator for the next one.
    static constexpr std::size_t kFewBlocks = 32;
    static constexpr std::size_t kFewRuns = 256;
    static constexpr std::size_t kGiveBackAfter = std::size_t(24) << 20;

    // Where a block lies in the heap, while it is live.
    using Extent = HeapExtent (*)(void* p, std::size_t n) noexcept;
    explicit HeapBursts(Extent extent) noexcept : extent_(extent) {}
    HeapBursts(const HeapBursts&) = delete;
    HeapBursts& operator=(const HeapBursts&) = delete;
    ~HeapBursts();

    void taken(void* p, std::size_t n) noexcept {
        lock();
        ++live_;
        bytes_ += footprint(n);
        fresh_ = false;
        // A parse takes a few blocks: they wait here, and are marked only
        // once a burst takes more.
        if (outside_) {
        } else if (!marking_ && waiting_ < kWaiting) {
            wait_[waiting_++] = Waiting{p, n};
        } else {
            place_all(p, n);
        }
        if (bytes_ > high_) {
            high_ = bytes_;
            runs_at_high_ = runs_ + waiting_;  // a run each at most
        }
        unlock();
    }
    // Before the block goes. True when the caller is to ask for the memory
    // back: a burst has come and gone, its memory lay together when it was
    // at its largest, and it took enough. Once a burst has come and gone,
    // the next one begins.
    bool released(void* p, std::size_t n) noexcept {
        lock();
        --live_;
        bytes_ -= footprint(n);
        if (!unwait(p) && origin_ != 0) unplace(extent_(p, n));
        const bool give_back = live_ <= kFewBlocks && !fresh_ && judge();
        unlock();
        return give_back;
    }

    // The runs the live blocks taken since the burst began lie in.
    // (A block waiting counts as a run of its own.)
    std::size_t runs() const noexcept { return runs_ + waiting_; }

private:
    // The live blocks taken since the burst began, each marked in a map of
    // the heap around the first of them, a bit for 16 bytes: the runs they
    // lie in are counted as they come and go, since a block that meets no
    // run starts one, one that meets two joins them, and one that goes from
    // the middle of a run parts it. Other values among them part the runs,
    // whether other code took them before or in the room of a block gone;
    // so do holes left free. Counted when the burst was at its largest, they
    // are the free ranges it leaves once gone, but for values other code
    // takes in its room while it goes.
    static constexpr std::size_t kGrain = 16;
    static constexpr std::size_t kWindow = std::size_t(4) << 30;
    static constexpr std::size_t kWords = kWindow / kGrain / 64;

    void lock() noexcept {
        while (busy_.test_and_set(std::memory_order_acquire)) {
        }
    }
    void unlock() noexcept { busy_.clear(std::memory_order_release); }
    bool bit(std::size_t i) const noexcept { return (map_[i / 64] >> (i % 64)) & 1; }
    // The bits of word `w` that lie in [a, b).
    static std::uint64_t span(std::size_t w, std::size_t a, std::size_t b) noexcept {
        std::uint64_t bits = ~std::uint64_t(0);
        if (w == a / 64) bits &= ~std::uint64_t(0) << (a % 64);
        if (w == (b - 1) / 64) bits &= ~std::uint64_t(0) >> (63 - (b - 1) % 64);
        return bits;
    }
    static constexpr std::size_t footprint(std::size_t n) noexcept { return ((n + 15) & ~std::size_t(15)) + 16; }
    bool unwait(void* p) noexcept {
        for (std::size_t i = waiting_; i-- > 0;) {
            if (wait_[i].p == p) {
                wait_[i] = wait_[--waiting_];
                return true;
            }
        }
        return false;
    }
    void place_all(void* p, std::size_t n) noexcept;
    void place(HeapExtent e) noexcept;
    void unplace(HeapExtent e) noexcept;
    void mark(std::size_t a, std::size_t b) noexcept;
    bool judge() noexcept;
    void begin() noexcept;

    // A few instructions a block under it: a lock of its own, held across
    // no call but those that reserve the map and give back its pages.
    const Extent extent_;
    std::atomic_flag busy_ = ATOMIC_FLAG_INIT;
    std::size_t live_ = 0;
    std::size_t bytes_ = 0;
    // Since the burst began: the most bytes live, its runs now and then,
    // whether a block fell outside the map, and the map.
    std::size_t high_ = 0;
    std::size_t runs_ = 0;
    std::size_t runs_at_high_ = 0;
    bool fresh_ = true;  // no block taken yet
    bool outside_ = false;
    std::uint64_t* map_ = nullptr;  // reserved on first use, zero pages
    bool no_map_ = false;           // the reservation was refused: all dear
    std::uintptr_t origin_ = 0;     // the address of bit 0; 0 before a block
    std::size_t first_ = kWords, last_ = 0;  // the words marked
    // The blocks taken since the burst began, while they are few.
    struct Waiting {
        void* p;
        std::size_t n;
    };
    static constexpr std::size_t kWaiting = 16;
    Waiting wait_[kWaiting];
    std::size_t waiting_ = 0;
    bool marking_ = false;  // more were taken: each is marked
};

}  // namespace quorvane
