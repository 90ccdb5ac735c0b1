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
#include <vector>

#include "binding/blocks.hpp"
#include "binding/store.hpp"

namespace {

using quorvane::Blocks;
using quorvane::Bytes;
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
