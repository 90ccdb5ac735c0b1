#include "binding/heap_bursts.hpp"

#include <sys/mman.h>

#include <cstring>

namespace quorvane {

HeapBursts::~HeapBursts() {
    if (map_) ::munmap(map_, kWords * sizeof(std::uint64_t));
}

// A burst takes more blocks than wait: they are marked, and so is the block
// taken now and those after it.
void HeapBursts::place_all(void* p, std::size_t n) noexcept {
    marking_ = true;
    for (std::size_t i = 0; i < waiting_ && !outside_; ++i) place(extent_(wait_[i].p, wait_[i].n));
    waiting_ = 0;
    if (!outside_) place(extent_(p, n));
}

void HeapBursts::place(HeapExtent e) noexcept {
    if (e.end <= e.start) return;  // not in the heap: nothing to give back, nor parts runs
    if (!map_) {
        // Address space only: its pages are touched where blocks lie.
        void* const p = ::mmap(nullptr, kWords * sizeof(std::uint64_t), PROT_READ | PROT_WRITE,
                               MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
        if (p == MAP_FAILED) {
            no_map_ = outside_ = true;
            return;
        }
        map_ = static_cast<std::uint64_t*>(p);
    }
    if (origin_ == 0) origin_ = e.start > kWindow / 2 + kGrain ? (e.start - kWindow / 2) & ~(kGrain - 1) : kGrain;
    if (e.start < origin_ + kGrain || e.end - origin_ > kWindow - kGrain) {
        outside_ = true;  // a heap spread wider than the map: judged dear
        return;
    }
    mark((e.start - origin_) / kGrain, (e.end - origin_ + kGrain - 1) / kGrain);
}

void HeapBursts::unplace(HeapExtent e) noexcept {
    if (e.end <= e.start) return;
    if (e.start < origin_ + kGrain || e.end - origin_ > kWindow - kGrain) return;
    const std::size_t a = (e.start - origin_) / kGrain, b = (e.end - origin_ + kGrain - 1) / kGrain;
    // Marked only when taken since the burst began: live blocks never
    // share bits, so the block's first bit tells.
    if (!bit(a)) return;
    const bool before = bit(a - 1), after = bit(b);
    if (before && after) {
        ++runs_;
    } else if (!before && !after) {
        --runs_;
    }
    for (std::size_t w = a / 64; w <= (b - 1) / 64; ++w) map_[w] &= ~span(w, a, b);
}

// Marks bits [a, b): the runs they meet, those next to them included,
// become one.
void HeapBursts::mark(std::size_t a, std::size_t b) noexcept {
    const std::size_t first = a / 64, last = (b - 1) / 64;
    std::uint64_t inside = 0;
    for (std::size_t w = first; w <= last; ++w) inside |= map_[w] & span(w, a, b);
    // The runs met: the one that ends at a - 1, the one that starts at b,
    // and, when some of [a, b) is marked already, those starting there.
    std::size_t met = bit(a - 1) + bit(b);
    if (inside) {
        met = bit(a - 1);
        for (std::size_t w = first; w <= b / 64; ++w) {
            const std::uint64_t x = map_[w], before = w > 0 ? map_[w - 1] >> 63 : 0;
            const std::uint64_t starts = x & ~((x << 1) | before) & span(w, a, b + 1);
            met += static_cast<std::size_t>(__builtin_popcountll(starts));
        }
    }
    runs_ = runs_ + 1 - met;
    for (std::size_t w = first; w <= last; ++w) map_[w] |= span(w, a, b);
    if (first < first_) first_ = first;
    if (last > last_) last_ = last;
}

bool HeapBursts::judge() noexcept {
    const bool give_back = !outside_ && runs_at_high_ <= kFewRuns && high_ >= bytes_ + kGiveBackAfter;
    begin();
    return give_back;
}

// The next burst begins: the map is cleared where it was marked, its pages
// given back when there are many.
void HeapBursts::begin() noexcept {
    if (first_ <= last_) {
        constexpr std::size_t kMany = 16384;  // words: 128 KiB of map
        std::size_t from = first_, to = last_ + 1;
        if (to - from >= kMany) {
            // Whole pages of the map in between, as the kernel would have them.
            const std::size_t page = 65536 / sizeof(std::uint64_t);
            const std::size_t in = (from + page - 1) / page * page, out = to / page * page;
            if (in < out && ::madvise(map_ + in, (out - in) * sizeof(std::uint64_t), MADV_DONTNEED) == 0) {
                std::memset(map_ + out, 0, (to - out) * sizeof(std::uint64_t));
                to = in;
            }
        }
        if (to - from <= 8) {
            while (from < to) map_[from++] = 0;  // a few documents' worth
        } else {
            std::memset(map_ + from, 0, (to - from) * sizeof(std::uint64_t));
        }
    }
    first_ = kWords;
    last_ = 0;
    origin_ = 0;
    runs_ = runs_at_high_ = 0;
    waiting_ = 0;
    marking_ = false;
    fresh_ = true;
    outside_ = no_map_;
    high_ = bytes_;
}

}  // namespace quorvane
