// What records keep beyond their fixed size: texts, lists and optional
// records. Everything a document's records keep lives in that document's
// store, a few large blocks filled in order; a record holds views into it,
// so records are plain trivially copyable values. Records are never changed
// once read, so copies share the store, which lives as long as the last
// record that refers to it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <type_traits>
#include <string_view>
#include <utility>
#include <vector>

#include "binding/blocks.hpp"

namespace quorvane {

// A text field's value: a view of bytes the document's store owns.
class Text {
public:
    constexpr Text() noexcept = default;
    constexpr Text(const char* data, std::size_t size) noexcept : data_(data), size_(size) {}
    // A literal lives as long as the program: values built by hand.
    template <std::size_t N>
    constexpr Text(const char (&literal)[N]) noexcept : data_(literal), size_(N - 1) {}

    constexpr std::string_view view() const noexcept { return {data_, size_}; }
    constexpr operator std::string_view() const noexcept { return view(); }
    constexpr const char* data() const noexcept { return data_; }
    constexpr std::size_t size() const noexcept { return size_; }
    constexpr bool empty() const noexcept { return size_ == 0; }
    friend constexpr bool operator==(const Text& a, std::string_view b) noexcept { return a.view() == b; }

private:
    friend class OptText;
    const char* data_ = "";
    std::size_t size_ = 0;
};

// An optional text in the space of a text: absence is a null data pointer,
// which no text has. The subset of std::optional that the binding uses.
class OptText {
public:
    constexpr OptText() noexcept : text_(nullptr, 0) {}
    constexpr OptText(std::nullopt_t) noexcept : OptText() {}
    constexpr OptText(Text t) noexcept : text_(t) {}
    template <std::size_t N>
    constexpr OptText(const char (&literal)[N]) noexcept : text_(literal) {}

    constexpr bool has_value() const noexcept { return text_.data_ != nullptr; }
    constexpr explicit operator bool() const noexcept { return has_value(); }
    constexpr const Text& operator*() const noexcept { return text_; }
    constexpr Text& operator*() noexcept { return text_; }
    constexpr const Text* operator->() const noexcept { return &text_; }
    constexpr Text& emplace() noexcept { return text_ = Text(); }
    constexpr void reset() noexcept { text_ = Text(nullptr, 0); }

private:
    Text text_;
};

// A list field's items, in the store.
template <class T>
class List {
public:
    constexpr List() noexcept = default;
    constexpr List(const T* items, std::size_t size) noexcept : items_(items), size_(size) {}
    // A static array: values built by hand.
    template <std::size_t N>
    constexpr List(const T (&items)[N]) noexcept : items_(items), size_(N) {}

    constexpr const T* begin() const noexcept { return items_; }
    constexpr const T* end() const noexcept { return items_ + size_; }
    constexpr std::size_t size() const noexcept { return size_; }
    constexpr bool empty() const noexcept { return size_ == 0; }
    constexpr const T& operator[](std::size_t i) const noexcept { return items_[i]; }

private:
    const T* items_ = nullptr;
    std::size_t size_ = 0;
};

// An optional record in the space of a pointer: the record, when present,
// lives in the store. Most optional records of a document are absent, and
// an absent one costs eight bytes, not its whole size.
template <class R>
class OptRecord {
public:
    constexpr OptRecord() noexcept = default;
    constexpr OptRecord(std::nullopt_t) noexcept {}
    // A record that outlives this value: one in the store, or built by hand.
    constexpr explicit OptRecord(const R* record) noexcept : record_(record) {}

    constexpr bool has_value() const noexcept { return record_ != nullptr; }
    constexpr explicit operator bool() const noexcept { return has_value(); }
    constexpr const R& operator*() const noexcept { return *record_; }
    constexpr const R* operator->() const noexcept { return record_; }
    constexpr void reset() noexcept { record_ = nullptr; }

private:
    const R* record_ = nullptr;
};

// The store of one document. Blocks grow geometrically from a size guessed
// from the document, so a small document takes one small block and a large
// one a few large blocks; nothing is moved as it grows. Small blocks are the
// C allocator's, which cannot shorten them: what they leave unused stays so
// for as long as the document is kept. Mapped ones are fitted to what they
// hold when the store leaves them.
class Store {
public:
    explicit Store(std::size_t document_size, Blocks& blocks = Blocks::shared()) noexcept
        : blocks_(blocks),
          next_block_(document_size / 4 < kMinBlock   ? kMinBlock
                      : document_size / 4 > kMaxFirst ? kMaxFirst
                                                      : document_size / 4) {}
    Store(const Store&) = delete;
    Store& operator=(const Store&) = delete;
    ~Store() { note_filled(); }

    // A copy of `s` in the store. These and keep_list throw std::bad_alloc
    // when memory runs out.
    Text keep(std::string_view s) {
        if (s.empty()) return Text();
        return Text(static_cast<const char*>(place(s.data(), s.size(), 1)), s.size());
    }

    // A new value-initialised record in the store, to be read in place.
    template <class R>
    R& make() {
        static_assert(std::is_trivially_copyable_v<R> && std::is_trivially_destructible_v<R>);
        static const R blank{};
        return *static_cast<R*>(place(&blank, sizeof(R), alignof(R)));
    }

    // A copy of `n` items in the store.
    template <class T>
    List<T> keep_list(const T* items, std::size_t n) {
        static_assert(std::is_trivially_copyable_v<T> && std::is_trivially_destructible_v<T>);
        if (n == 0) return List<T>();
        return List<T>(static_cast<const T*>(place(items, n * sizeof(T), alignof(T))), n);
    }

    // Takes `block` whole as a block of the store, as it is; filling goes on
    // where it was. The caller has fitted it to what it holds.
    void adopt(Bytes&& block) { hold(std::move(block)); }

    // Once the document is read: the block being filled gives back what it
    // did not use, since the document may be kept for long.
    void finish() noexcept {
        if (filling_ < held_) {
            fit_filling();
            end_ = next_;
        }
    }

private:
    static constexpr std::size_t kMinBlock = 256;
    static constexpr std::size_t kMaxFirst = std::size_t(1) << 20;
    static constexpr std::size_t kMaxBlock = std::size_t(64) << 20;

    void* place(const void* bytes, std::size_t size, std::size_t align) {
        std::size_t pad = static_cast<std::size_t>(-reinterpret_cast<std::uintptr_t>(next_)) & (align - 1);
        if (static_cast<std::size_t>(end_ - next_) < size + pad) {
            // A large item that does not fit takes a block of its own, of its
            // size: the block being filled goes on with the small ones, and
            // is not left with its rest unused for good.
            if (filling_ < held_ && size >= next_block_ / 4) return place_apart(bytes, size);
            grow(size + align);
            pad = static_cast<std::size_t>(-reinterpret_cast<std::uintptr_t>(next_)) & (align - 1);
        }
        char* at = next_ + pad;
        std::memcpy(at, bytes, size);
        next_ = at + size;
        return at;
    }

    void grow(std::size_t need) {
        Bytes block = Bytes::to_keep(need, next_block_, blocks_);
        char* const at = reinterpret_cast<char*>(block.data());
        const std::size_t size = block.size();
        if (filling_ < held_) fit_filling();
        filling_ = hold(std::move(block));
        next_ = at;
        end_ = at + size;
        if (next_block_ < kMaxBlock) next_block_ *= 2;
    }

    void* place_apart(const void* bytes, std::size_t size) {
        Bytes block = Bytes::to_keep(size, size, blocks_);
        std::memcpy(block.data(), bytes, size);
        block.written(size);
        void* const at = block.data();
        hold(std::move(block));
        return at;
    }

    Bytes& held(std::size_t i) noexcept { return i < few_.size() ? few_[i] : more_[i - few_.size()]; }

    // How far the block being filled was written.
    void note_filled() noexcept {
        if (filling_ < held_) {
            Bytes& b = held(filling_);
            b.written(static_cast<std::size_t>(next_ - reinterpret_cast<char*>(b.data())));
        }
    }

    // The block being filled, left for good: it keeps what it holds.
    void fit_filling() noexcept {
        note_filled();
        Bytes& b = held(filling_);
        b.fit(static_cast<std::size_t>(next_ - reinterpret_cast<char*>(b.data())));
    }

    // Keeps `block` until the store goes: the first few in place, since a
    // small document takes one or two. Returns its index.
    std::size_t hold(Bytes&& block) {
        if (held_ < few_.size()) {
            few_[held_] = std::move(block);
        } else {
            more_.push_back(std::move(block));
        }
        return held_++;
    }

    Blocks& blocks_;
    std::array<Bytes, 4> few_;
    std::size_t held_ = 0;
    std::size_t filling_ = static_cast<std::size_t>(-1);
    std::vector<Bytes> more_;
    char* next_ = nullptr;
    char* end_ = nullptr;
    std::size_t next_block_;
};

// A value read from a document with the store its texts live in.
template <class T>
struct Parsed {
    T value;
    std::shared_ptr<const Store> store;
};

}  // namespace quorvane
