// Where blocks come from and go back to, on a kernel with larger pages than
// this machine's: every call to the kernel is checked for whole pages, and
// what kept stores hold is checked after keeps, fits and drops in any order.
#include <gtest/gtest.h>
#include <sys/mman.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <new>
#include <random>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "binding/blocks.hpp"
#include "binding/store.hpp"

namespace {

using quorvane::Blocks;
using quorvane::Bytes;
using quorvane::HeapCalls;
using quorvane::PageCalls;
using quorvane::Store;
using quorvane::Text;

// A kernel with pages of `page` bytes, emulated over this machine's: it maps
// aligned pages, keeps the set of pages it has mapped and its mappings, and
// notes every call that is not in whole pages of its size or that touches
// pages it did not map. Unlike a real kernel it never joins mappings that
// meet, so its count of them is the most a real one would have. Unmaps can
// be refused, as a kernel at its limit of mappings does.
struct Kernel {
    static inline std::size_t page = 0;
    static inline std::set<std::uintptr_t> pages;
    static inline std::map<std::uintptr_t, std::size_t> mappings;  // start, bytes
    static inline std::vector<std::string> faults;
    static inline int refuse_unmaps = 0;
    static inline bool refuse_maps = false;
    static inline std::size_t calls = 0;
    static inline std::set<std::uintptr_t> discarded;  // pages given back, still mapped
    static inline std::size_t discards = 0;

    static void reset(std::size_t size) {
        page = size;
        pages.clear();
        mappings.clear();
        faults.clear();
        refuse_unmaps = 0;
        refuse_maps = false;
        calls = 0;
        discarded.clear();
        discards = 0;
    }

    // Pages whose memory was given back that wait to be unmapped.
    static std::size_t waiting() { return discarded.size(); }

    static bool whole(const char* what, const void* p, std::size_t n, bool ours = true) {
        ++calls;
        const auto at = reinterpret_cast<std::uintptr_t>(p);
        if (at % page != 0 || n % page != 0 || n == 0) {
            faults.push_back(std::string(what) + ": not whole pages");
            return false;
        }
        for (std::uintptr_t q = at; ours && q < at + n; q += page) {
            if (!pages.count(q)) {
                faults.push_back(std::string(what) + ": a page not mapped");
                return false;
            }
        }
        return true;
    }

    static void* map(std::size_t n) {
        ++calls;
        if (n % page != 0 || n == 0) faults.push_back("map: not whole pages");
        if (refuse_maps) return nullptr;
        void* raw = ::mmap(nullptr, n + page, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (raw == MAP_FAILED) return nullptr;
        const auto start = reinterpret_cast<std::uintptr_t>(raw);
        const std::uintptr_t at = (start + page - 1) & ~(page - 1);
        if (at > start) ::munmap(raw, at - start);
        if (start + n + page > at + n) ::munmap(reinterpret_cast<void*>(at + n), start + page - at);
        for (std::uintptr_t q = at; q < at + n; q += page) pages.insert(q);
        mappings[at] = n;
        return reinterpret_cast<void*>(at);
    }

    static bool unmap(void* p, std::size_t n) {
        if (!whole("unmap", p, n)) return false;
        if (refuse_unmaps > 0) {
            --refuse_unmaps;
            return false;
        }
        const auto at = reinterpret_cast<std::uintptr_t>(p);
        for (std::uintptr_t q = at; q < at + n; q += page) {
            pages.erase(q);
            discarded.erase(q);
        }
        // Mappings the range covers go, those it cuts keep their rest.
        auto m = mappings.upper_bound(at);
        if (m != mappings.begin()) --m;
        while (m != mappings.end() && m->first < at + n) {
            const std::uintptr_t start = m->first, end = m->first + m->second;
            m = mappings.erase(m);
            if (end <= at) continue;
            if (start < at) mappings[start] = at - start;
            if (end > at + n) mappings[at + n] = end - (at + n);
        }
        ::munmap(p, n);
        return true;
    }

    static void* remap(void* p, std::size_t n, std::size_t to) {
        if (!whole("remap", p, n) || to % page != 0) return nullptr;
        --calls;
        void* q = map(to);
        if (!q) return nullptr;
        std::memcpy(q, p, std::min(n, to));
        --calls;
        unmap(p, n);
        return q;
    }

    static bool discard(void* p, std::size_t n) {
        if (!whole("discard", p, n)) return false;
        ++discards;
        const auto at = reinterpret_cast<std::uintptr_t>(p);
        for (std::uintptr_t q = at; q < at + n; q += page) discarded.insert(q);
        return ::madvise(p, n, MADV_DONTNEED) == 0;
    }

    static PageCalls calls_of(std::size_t size) { return PageCalls{size, map, unmap, remap, discard}; }

    static std::size_t runs() { return mappings.size(); }
};

class OnLargerPages : public testing::TestWithParam<std::size_t> {
protected:
    void SetUp() override { Kernel::reset(GetParam()); }
    void TearDown() override { EXPECT_EQ(Kernel::faults, std::vector<std::string>{}); }
    PageCalls calls_ = Kernel::calls_of(GetParam());
};

// A text of `n` bytes that tells where it belongs.
std::string text_of(std::size_t document, std::size_t item, std::size_t n) {
    std::string s = "<" + std::to_string(document) + "." + std::to_string(item) + ">";
    while (s.size() < n) s += static_cast<char>('a' + (document * 31 + item + s.size()) % 26);
    s.resize(n);
    return s;
}

struct Kept {
    std::unique_ptr<Store> store;
    std::vector<Text> texts;
    std::size_t id;
    std::size_t size;
};

// A document's store filled with texts adding up to about `size` bytes, the
// way the reader fills it, finished as a parse finishes it.
Kept keep_document(Blocks& blocks, std::size_t id, std::size_t size, std::mt19937& rng) {
    Kept k{std::make_unique<Store>(size, blocks), {}, id, size};
    std::size_t held = 0;
    for (std::size_t item = 0; held < size; ++item) {
        // Mostly short texts, now and then a long one (a large list).
        const std::size_t n = rng() % 16 == 0 ? 1 + rng() % (size / 4 + 1) : 1 + rng() % 64;
        k.texts.push_back(k.store->keep(text_of(id, item, n)));
        held += n;
    }
    k.store->finish();
    return k;
}

void expect_intact(const Kept& k) {
    for (std::size_t i = 0; i < k.texts.size(); ++i) {
        ASSERT_EQ(k.texts[i].view(), text_of(k.id, i, k.texts[i].size())) << "document " << k.id << ", text " << i;
    }
}

TEST_P(OnLargerPages, KeptDocumentsStayIntactWhateverIsKeptAndDroppedAround) {
    std::mt19937 rng(7);
    {
        Blocks blocks(calls_);
        std::vector<Kept> kept;
        const std::size_t sizes[] = {1300, 40000, 300, 5'000'000, 1300, 2'500'000, 60, 900'000, 12'000'000};
        std::size_t id = 0;
        for (int round = 0; round < 6; ++round) {
            for (const std::size_t size : sizes) kept.push_back(keep_document(blocks, id++, size, rng));
            // Call blocks taken and given back between documents, grown as
            // the list stack grows.
            {
                Bytes call = Bytes::at_least(3'000'000, blocks);
                std::memset(call.data(), 'x', 1'000'000);
                call.written(1'000'000);
                ASSERT_TRUE(call.extend(7'000'000));
                EXPECT_EQ(std::string_view(reinterpret_cast<char*>(call.data()), 1'000'000),
                          std::string(1'000'000, 'x'));
            }
            std::shuffle(kept.begin(), kept.end(), rng);
            kept.resize(kept.size() / 2);
            for (const Kept& k : kept) expect_intact(k);
            // The kernel's mappings: the pages of the cache's 8 blocks and
            // of kept large blocks, a few per document of a megabyte or more.
            const auto large = std::count_if(kept.begin(), kept.end(), [](const Kept& k) { return k.size >= 1'000'000; });
            EXPECT_LE(Kernel::runs(), 8 + 6 * static_cast<std::size_t>(large)) << round;
        }
        EXPECT_GT(Kernel::calls, 0u);
    }
    // Everything given back once the documents and the blocks' cache go.
    EXPECT_TRUE(Kernel::pages.empty());
}

TEST_P(OnLargerPages, BlocksThatStayWithADocumentAreAboutWhatTheyHold) {
    const std::size_t page = GetParam();
    Blocks blocks(calls_);
    const std::size_t large = (std::size_t(6) << 20) + 5 * page;
    {
        // Large blocks given back wait in the cache for the next call.
        Bytes a = Bytes::at_least(large, blocks), b = Bytes::at_least(large / 3, blocks);
        std::memset(a.data(), 1, a.size());
        a.written(a.size());
    }
    // A block to keep is not much larger than asked, whatever the cache holds.
    for (const std::size_t n : {std::size_t(1000), std::size_t(40000), std::size_t(300000), std::size_t(1) << 20,
                                (std::size_t(3) << 20) + 1}) {
        const Bytes kept = Bytes::to_keep(n, n, blocks);
        EXPECT_GE(kept.size(), n);
        EXPECT_LE(kept.size(), n + n / 8 + page) << n;
    }
    // A mapped block fitted to what it holds stays where it is with its
    // bytes, in whole pages; the pages past them wait in the cache, zeroed,
    // with no call to the kernel.
    Bytes big = Bytes::at_least(large, blocks);
    std::memset(big.data(), 'y', big.size());
    big.written(big.size());
    const std::byte* const at = big.data();
    const std::size_t mapped = Kernel::pages.size(), calls = Kernel::calls;
    EXPECT_TRUE(big.fit(100000));
    EXPECT_EQ(big.data(), at);
    EXPECT_EQ(big.size(), (100000 + page - 1) / page * page);
    EXPECT_EQ(Kernel::pages.size(), mapped);
    EXPECT_EQ(Kernel::calls, calls);
    EXPECT_EQ(std::string_view(reinterpret_cast<char*>(big.data()), 100000), std::string(100000, 'y'));
    {
        const Bytes rest = Bytes::at_least(large - 30 * page, blocks);
        EXPECT_EQ(rest.data(), big.data() + big.size());
        EXPECT_EQ(std::string_view(reinterpret_cast<char*>(rest.data()), rest.size()), std::string(rest.size(), 0));
    }
    // Grown again, it keeps its bytes; the new ones are zero.
    EXPECT_TRUE(big.extend(large / 2));
    EXPECT_GE(big.size(), large / 2);
    EXPECT_EQ(std::string_view(reinterpret_cast<char*>(big.data()), 100000), std::string(100000, 'y'));
    EXPECT_EQ(reinterpret_cast<char*>(big.data())[big.size() - 1], 0);
}

TEST_P(OnLargerPages, RefusedCallsLoseNeitherMemoryNorBytes) {
    std::mt19937 rng(11);
    const std::size_t large = std::size_t(80) << 20;  // past what the cache keeps
    {
        Blocks blocks(calls_);
        Kept k = keep_document(blocks, 1, 3'000'000, rng);
        // An unmap refused as a block goes back (a kernel at its limit of
        // mappings): its memory is discarded at once, its pages stay mapped
        // until a later unmap takes them.
        Kernel::refuse_unmaps = 1;
        for (int i = 0; i < 2; ++i) {
            const Bytes a = Bytes::at_least(large, blocks);
        }
        EXPECT_EQ(Kernel::discards, 1u);
        EXPECT_EQ(Kernel::waiting(), 0u);
        // However many are refused in a row, none is lost: each waits until
        // the kernel takes it.
        Kernel::refuse_unmaps = 150;
        for (int i = 0; i < 200 && Kernel::refuse_unmaps > 0; ++i) {
            const Bytes c = Bytes::at_least(large, blocks);
        }
        EXPECT_GT(Kernel::waiting(), 20 * ((large / 4) / GetParam()));
        for (int i = 0; i < 200 && Kernel::waiting() > 0; ++i) {
            const Bytes c = Bytes::at_least(large, blocks);
        }
        EXPECT_EQ(Kernel::waiting(), 0u);
        expect_intact(k);
    }
    EXPECT_TRUE(Kernel::pages.empty());
    {
        // A refused map is a std::bad_alloc; a refused grow leaves the block
        // as it was, bytes and all.
        Blocks blocks(calls_);
        Kernel::refuse_maps = true;
        EXPECT_THROW(Bytes::at_least(64u << 20, blocks), std::bad_alloc);
        Bytes c = Bytes::at_least(1000, blocks);
        Kernel::refuse_maps = false;
        Bytes d = Bytes::at_least(2u << 20, blocks);
        std::memset(d.data(), 'z', d.size());
        const std::size_t size = d.size();
        Kernel::refuse_maps = true;
        EXPECT_FALSE(d.extend(8u << 20));
        EXPECT_FALSE(c.extend(8u << 20));
        Kernel::refuse_maps = false;
        EXPECT_EQ(d.size(), size);
        EXPECT_EQ(std::string_view(reinterpret_cast<char*>(d.data()), size), std::string(size, 'z'));
    }
    EXPECT_TRUE(Kernel::pages.empty());
}

INSTANTIATE_TEST_SUITE_P(Pages, OnLargerPages, testing::Values(std::size_t(16384), std::size_t(65536)),
                         [](const auto& info) { return std::to_string(info.param / 1024) + "KiB"; });

TEST(Blocks, PagesTheKernelRefusedToUnmapAreRetriedAtLaterParses) {
    // Under a steady load the cache serves every parse and nothing is
    // unmapped: the refused pages must not wait for an unmap.
    Kernel::reset(4096);
    const PageCalls calls = Kernel::calls_of(4096);
    {
        Blocks blocks(calls);
        Kernel::refuse_unmaps = 1000;
        for (int i = 0; i < 6; ++i) {
            const Bytes past_the_cache = Bytes::at_least(std::size_t(40) << 20, blocks);
        }
        Kernel::refuse_unmaps = 0;
        ASSERT_GT(Kernel::waiting(), 0u);
        // Parses whose blocks are all the C allocator's: no unmap of their own.
        for (int parse = 0; parse < 20 && Kernel::waiting() > 0; ++parse) {
            const Bytes list = Bytes::at_least(3000, blocks);
            const Bytes kept = Bytes::to_keep(400, 400, blocks);
        }
        EXPECT_EQ(Kernel::waiting(), 0u);
    }
    EXPECT_TRUE(Kernel::pages.empty());
}

// A C heap laid out as the C allocator lays out blocks taken in a row: each
// right after the last, past a header. It never reuses what is released, so
// a burst's blocks lie where they were taken. Other code's values can be
// taken between them. Or else it hands out slots of 1 KiB in the order of
// a list, as a heap full of holes would. Giving back is counted, with the
// blocks live then.
struct Heap {
    static constexpr std::size_t kSlot = 1024;
    static inline std::unique_ptr<std::byte[]> arena;
    static inline std::size_t size = 0, next = 0, live = 0, given_back = 0, live_at_give_back = 0;
    static inline std::vector<std::size_t> slots;  // handed out from the back

    static void reset(std::size_t bytes) {
        arena.reset(new std::byte[bytes]);
        size = bytes;
        next = live = given_back = live_at_give_back = 0;
        slots.clear();
    }
    static void* take(std::size_t n) {
        next += 16;
        std::byte* const p = arena.get() + next;
        next += (n + 15) & ~std::size_t(15);
        if (next > size) throw std::bad_alloc();
        return p;
    }
    static void* allocate(std::size_t n) {
        void* p;
        if (slots.empty()) {
            p = take(n);
        } else {
            if (n > kSlot - 16) throw std::bad_alloc();
            p = arena.get() + slots.back() * kSlot + 16;
            slots.pop_back();
        }
        ++live;
        return p;
    }
    static void release(void*, std::size_t) noexcept { --live; }
    static quorvane::HeapExtent extent(void* p, std::size_t n) noexcept {
        const auto at = reinterpret_cast<std::uintptr_t>(p);
        if (slots.empty() && next != 0) return {at - 16, at + ((n + 15) & ~std::size_t(15))};
        return {at - 16, at - 16 + kSlot};
    }
    static void give_back() noexcept {
        ++given_back;
        live_at_give_back = std::max(live_at_give_back, live);
    }
    static constexpr HeapCalls calls{allocate, release, extent, give_back};
};

// A small document as a parse leaves it: its store, on the heap with its
// blocks, and its record.
struct SmallDocument {
    SmallDocument(Blocks& blocks) : blocks(&blocks), store(quorvane::make_store(1300, blocks)) {
        for (int i = 0; i < 12; ++i) store->keep("a text of the document");
        store->finish();
        record = blocks.heap_allocate(400);
    }
    SmallDocument(SmallDocument&& o) noexcept
        : blocks(o.blocks), store(std::move(o.store)), record(std::exchange(o.record, nullptr)) {}
    SmallDocument& operator=(SmallDocument&& o) noexcept {
        std::swap(blocks, o.blocks);
        std::swap(store, o.store);
        std::swap(record, o.record);
        return *this;
    }
    ~SmallDocument() {
        if (record) blocks->heap_release(record, 400);
    }
    Blocks* blocks;
    std::shared_ptr<Store> store;
    void* record;
};

enum class Around { Nothing, OtherCodesValues, AFewOfOtherCodesValues, DocumentsKept };

struct Burst {
    std::size_t documents;
    Around around;
    int given_back;  // after each of two bursts
};

const char* const kBurstNames[] = {"Clean", "AmongOtherCodesValues", "AmongAFewOfOtherCodesValues",
                                   "AmongDocumentsKept", "Small"};

class GivingBack : public testing::TestWithParam<Burst> {};

// A burst of small documents kept, then dropped in a random order: the C
// allocator's memory is given back, a call whose cost grows with the free
// ranges of the whole heap, only when the burst's memory lies together in a
// few ranges, and then once, with a few blocks still live.
TEST_P(GivingBack, OnlyWhenABurstsMemoryLiesTogetherInAFewRanges) {
    const Burst burst = GetParam();
    Heap::reset(std::size_t(200) << 20);
    Kernel::reset(4096);
    const PageCalls pages = Kernel::calls_of(4096);
    std::mt19937 rng(3);
    {
        Blocks blocks(pages, Heap::calls);
        std::vector<SmallDocument> kept;
        for (int round = 1; round <= 2; ++round) {
            std::vector<SmallDocument> docs;
            for (std::size_t i = 0; i < burst.documents; ++i) {
                docs.emplace_back(blocks);
                if (burst.around == Around::OtherCodesValues) Heap::take(1500);
                // Few bytes, but each parts the burst's memory.
                if (burst.around == Around::AFewOfOtherCodesValues && i % 16 == 0) Heap::take(48);
                if (burst.around == Around::DocumentsKept && i % 100 == 0) kept.emplace_back(blocks);
            }
            std::shuffle(docs.begin(), docs.end(), rng);
            while (!docs.empty()) docs.pop_back();
            EXPECT_EQ(Heap::given_back, static_cast<std::size_t>(round * burst.given_back)) << "burst " << round;
        }
        EXPECT_LE(Heap::live_at_give_back, quorvane::HeapBursts::kFewBlocks);
    }
    EXPECT_EQ(Heap::live, 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Bursts, GivingBack,
    testing::Values(Burst{30000, Around::Nothing, 1}, Burst{30000, Around::OtherCodesValues, 0},
                    Burst{30000, Around::AFewOfOtherCodesValues, 0}, Burst{30000, Around::DocumentsKept, 0},
                    Burst{10000, Around::Nothing, 0}),
    [](const auto& info) { return std::string(kBurstNames[info.index]); });

class InAnyOrder : public testing::TestWithParam<std::size_t> {};

// A burst whose blocks come from a heap full of holes, in any order: the
// runs they lie in are counted as they join, and other values part them.
TEST_P(InAnyOrder, TheRunsABurstLiesInAreCounted) {
    const std::size_t others = GetParam(), documents = 24000, count = 3 * documents + others;
    Heap::reset(count * Heap::kSlot + Heap::kSlot);
    std::vector<std::size_t> order;
    for (std::size_t i = 0; i < count; ++i) {
        // Other code's values, one slot each, evenly apart.
        if (others == 0 || (i + 1) % (count / others) != 0) order.push_back(i);
    }
    ASSERT_EQ(order.size(), 3 * documents);
    std::mt19937 rng(5);
    std::shuffle(order.begin(), order.end(), rng);
    Heap::slots = order;
    Kernel::reset(4096);
    const PageCalls pages = Kernel::calls_of(4096);
    {
        Blocks blocks(pages, Heap::calls);
        std::vector<SmallDocument> docs;
        for (std::size_t i = 0; i < documents; ++i) docs.emplace_back(blocks);
        std::shuffle(docs.begin(), docs.end(), rng);
        docs.clear();
        EXPECT_EQ(Heap::given_back, others <= quorvane::HeapBursts::kFewRuns ? 1u : 0u);
    }
    EXPECT_EQ(Heap::live, 0u);
}

INSTANTIATE_TEST_SUITE_P(Others, InAnyOrder, testing::Values(std::size_t(0), std::size_t(200), std::size_t(400)));

// Blocks of a burst as HeapBursts sees them: cells of 16 bytes from an
// address, none of their memory touched, each block where it says it is.
void* cell(std::size_t i) { return reinterpret_cast<void*>((std::uintptr_t(1) << 36) + 16 * i); }
quorvane::HeapExtent as_it_says(void* p, std::size_t n) noexcept {
    const auto at = reinterpret_cast<std::uintptr_t>(p);
    return {at, at + n};
}

TEST(HeapBursts, CountsTheRunsOfLiveBlocksWhateverOrderTheyComeAndGoIn) {
    constexpr std::size_t kCells = 3000;
    quorvane::HeapBursts bursts(as_it_says);
    std::vector<int> owner(kCells, -1);  // the block on each cell
    std::vector<std::pair<std::size_t, std::size_t>> live;  // from, count
    std::mt19937 rng(9);
    for (int step = 0; step < 40000; ++step) {
        if (!live.empty() && rng() % 2 == 0) {
            const std::size_t i = rng() % live.size();
            const auto [from, count] = live[i];
            bursts.released(cell(from), 16 * count);
            for (std::size_t c = from; c < from + count; ++c) owner[c] = -1;
            live[i] = live.back();
            live.pop_back();
        } else {
            // A block of 1 to 200 cells on free ones, across words of the
            // map or not, next to others or not.
            const std::size_t count = 1 + rng() % (rng() % 8 == 0 ? 200 : 6), from = rng() % (kCells - count);
            if (std::any_of(owner.begin() + from, owner.begin() + from + count, [](int o) { return o >= 0; })) continue;
            bursts.taken(cell(from), 16 * count);
            for (std::size_t c = from; c < from + count; ++c) owner[c] = step;
            live.emplace_back(from, count);
        }
        std::size_t runs = 0;
        for (std::size_t c = 0; c < kCells; ++c) runs += owner[c] >= 0 && (c == 0 || owner[c - 1] < 0);
        ASSERT_EQ(bursts.runs(), runs) << "step " << step;
        // Keep the burst going: a few blocks always live.
        if (live.size() <= quorvane::HeapBursts::kFewBlocks + 1) {
            for (int k = 0; k < 40; ++k) {
                const std::size_t from = rng() % (kCells - 1);
                if (owner[from] >= 0) continue;
                bursts.taken(cell(from), 16);
                owner[from] = step;
                live.emplace_back(from, 1);
            }
        }
    }
}

TEST(HeapBursts, ValuesTakenWhereABurstsBlocksWentPartItsRuns) {
    // A burst of 20,000 blocks of 2 KiB (as much memory as the judgment
    // wants), 300 of them dropped on its way and their room taken by other
    // code's values (so by none of its own): it leaves as many free ranges
    // once gone. Taken again by its own blocks, the runs are whole again.
    constexpr std::size_t kBlock = 128;  // cells
    for (const bool others : {true, false}) {
        quorvane::HeapBursts bursts(as_it_says);
        std::size_t next = 0;
        for (std::size_t i = 0; i < 10000; ++i, next += kBlock) bursts.taken(cell(next), 16 * kBlock);
        for (std::size_t i = 0; i < 300; ++i) bursts.released(cell(kBlock * (30 * i + 7)), 16 * kBlock);
        if (!others) {
            for (std::size_t i = 0; i < 300; ++i) bursts.taken(cell(kBlock * (30 * i + 7)), 16 * kBlock);
        }
        for (std::size_t i = 0; i < 10000; ++i, next += kBlock) bursts.taken(cell(next), 16 * kBlock);
        EXPECT_EQ(bursts.runs(), others ? 301u : 1u);
        bool given_back = false;
        for (std::size_t at = 0; at < next; at += kBlock) {
            const std::size_t i = at / kBlock;
            if (!others || i % 30 != 7 || i >= 9000) given_back |= bursts.released(cell(at), 16 * kBlock);
        }
        EXPECT_EQ(given_back, !others);
    }
}

TEST(Blocks, SmallBlocksToKeepAreTheCAllocatorsAndNoMapping) {
    // A service may keep hundreds of thousands of small documents: none of
    // them may cost a kernel mapping of its own.
    Kernel::reset(4096);
    const PageCalls calls = Kernel::calls_of(4096);
    Blocks blocks(calls);
    std::vector<Bytes> kept;
    for (std::size_t n = 16; n < quorvane::kMappedToKeep; n = n * 3 / 2) kept.push_back(Bytes::to_keep(n, n, blocks));
    kept.clear();
    EXPECT_EQ(Kernel::calls, 0u);
}

}  // namespace
