// The texts that records keep. Every text of one document lives in that
// document's text store, a few large blocks filled in order; a record holds
// a view into it. Records are never changed once read, so copies of them
// share the store, which lives as long as the last record that refers to it.
#pragma once

#include <cstddef>
#include <cstring>
#include <memory>
#include <new>
#include <optional>
#include <string_view>
#include <vector>

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

// The store of one document's texts. Blocks grow geometrically from a size
// guessed from the document, so a small document takes one small block and
// a large one a few large blocks; nothing is copied as it grows.
class TextStore {
public:
    explicit TextStore(std::size_t document_size) noexcept
        : next_block_(document_size / 4 < kMinBlock   ? kMinBlock
                      : document_size / 4 > kMaxFirst ? kMaxFirst
                                                      : document_size / 4) {}
    TextStore(const TextStore&) = delete;
    TextStore& operator=(const TextStore&) = delete;

    // A copy of `s` in the store; throws std::bad_alloc when memory runs out.
    Text keep(std::string_view s) {
        if (s.empty()) return Text();
        if (static_cast<std::size_t>(end_ - next_) < s.size()) grow(s.size());
        char* at = next_;
        std::memcpy(at, s.data(), s.size());
        next_ += s.size();
        return Text(at, s.size());
    }

private:
    static constexpr std::size_t kMinBlock = 1024;
    static constexpr std::size_t kMaxFirst = std::size_t(1) << 20;
    static constexpr std::size_t kMaxBlock = std::size_t(64) << 20;

    void grow(std::size_t need) {
        const std::size_t size = need > next_block_ ? need : next_block_;
        // Not value-initialised: pages are touched only as texts fill them.
        std::unique_ptr<char[]> block(new char[size]);
        blocks_.push_back(std::move(block));
        next_ = blocks_.back().get();
        end_ = next_ + size;
        if (next_block_ < kMaxBlock) next_block_ *= 2;
    }

    std::vector<std::unique_ptr<char[]>> blocks_;
    char* next_ = nullptr;
    char* end_ = nullptr;
    std::size_t next_block_;
};

// A value read from a document with the store its texts live in.
template <class T>
struct Parsed {
    T value;
    std::shared_ptr<const TextStore> texts;
};

}  // namespace quorvane
