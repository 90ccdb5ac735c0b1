// The XML pull reader and the event source above it.
//
// `Reader` turns UTF-8 bytes into raw events (tags, text, CDATA, document
// type declarations); comments, processing instructions and XML declarations
// are dropped inside it. `Events` presents the four events the record readers
// use (start, end, text, end of input), with character data trimmed, joined
// and decoded. It drives the reader's scanning itself: a tag, the whitespace
// before it and a text that runs straight into a tag are read in one pass,
// without raw events; runs broken by comments, instructions or CDATA go
// through raw events. Everything refers to slices of the input; a text is
// copied only when decoding changed it or pieces were joined.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "xml/error.hpp"

namespace quorvane::xml {

enum class RawKind : std::uint8_t { Start, End, Text, CData, DocType, Eof, Error };

struct RawEvent {
    RawKind kind = RawKind::Eof;
    // Start: the tag content (after `<`, without a final `/`); End: the name;
    // Text and CData: the bytes.
    std::string_view data;
    std::size_t name_len = 0;  // Start only

    std::string_view name() const { return kind == RawKind::Start ? data.substr(0, name_len) : data; }
};

class Reader {
public:
    explicit Reader(std::string_view input);

    // Never throws a parse error: a malformed construct yields RawKind::Error
    // (its text in error()) and the reader is finished from then on.
    RawEvent next();
    const std::string& error() const noexcept { return error_; }
    // True when the next event is sure to be a tag (or its error): the
    // reader stands past a `<` that opens no comment, CDATA, declaration or
    // instruction. False when that takes reading.
    bool at_tag() const noexcept {
        return state_ == State::Markup && pos_ < in_.size() && in_[pos_] != '!' && in_[pos_] != '?';
    }
    // Between events: passes over whitespace that starts the next text, for
    // a caller that would trim it anyway.
    void skip_leading_space() noexcept {
        if (state_ == State::Text && pos_ < in_.size() && static_cast<unsigned char>(in_[pos_]) <= ' ') skip_space();
    }

private:
    friend class Events;
    enum class State : std::uint8_t { Text, Markup, Empty, Finished };

    // next(): take() has the usual cases, step() every case.
    RawEvent take();
    RawEvent step();
    void skip_space() noexcept;
    RawEvent markup();
    // A tag; pos_ is at the byte after its `<` (a start tag) or at its `/`.
    // Both return RawKind::Error through fail().
    RawEvent start_tag();
    // Takes a start tag whose name ends at `>` (`<name>`, `<name/>`); false
    // leaves everything as it was, `stop` where the name's scan stopped.
    // `Room`: the caller has made sure the name stack need not grow.
    template <bool Room>
    bool short_start(std::string_view& name, const char*& stop);
    RawEvent start_tag_rest(const char* stop);
    // start_tag_rest() itself, inline where tags with attributes are usual.
    RawEvent start_tag_rest_inline(const char* stop);
    RawEvent end_tag();
    RawEvent end_tag_rest();
    // Takes an end tag that repeats the open name and `>` at once, if the
    // bytes at `at` (past `</`) are that; false leaves everything as it was.
    // Without `Whole`, also false for a name too long to compare in place.
    template <bool Whole>
    bool close_open(std::size_t at, std::string_view& name) noexcept;
    // The end event of a self-closing tag.
    std::string_view close_empty() noexcept;
    RawEvent fail(std::string text);
    std::size_t find_tag_end(std::size_t from) const;

    // The names of the open elements, innermost last: a push is a compare
    // and a store, the storage doubling when full.
    class NameStack {
    public:
        NameStack() : items_(32) {}  // one allocation for the usual depths
        bool empty() const noexcept { return size_ == 0; }
        std::string_view back() const noexcept { return items_[size_ - 1]; }
        void pop_back() noexcept { --size_; }
        bool full() const noexcept { return size_ == items_.size(); }
        [[gnu::always_inline]] void push_back(std::string_view name) {
            if (full()) grow();
            push_unchecked(name);
        }
        void push_unchecked(std::string_view name) noexcept { items_[size_++] = name; }

    private:
        void grow();
        std::vector<std::string_view> items_;
        std::size_t size_ = 0;
    };

    std::string_view in_;
    std::size_t pos_ = 0;
    State state_ = State::Text;
    NameStack open_;
    // How many open names hold a quote; while none does, an end tag that
    // repeats the open name is taken without scanning it.
    std::size_t quoted_open_ = 0;
    std::string error_;
};

enum class Kind : std::uint8_t { Start, End, Text, Eof };

struct Event {
    Kind kind = Kind::Eof;
    // Start: the tag content; End: the name; Text: the decoded text (never empty).
    std::string_view data;
    std::size_t name_len = 0;

    std::string_view name() const { return kind == Kind::Start ? data.substr(0, name_len) : data; }
};

// The event source of the record readers. A text event's bytes stay valid
// until two further text events have been produced.
class Events {
public:
    explicit Events(std::string_view input);

    Event next() {
        if (has_peek_) {
            has_peek_ = false;
            return peeked_;
        }
        Event e;
        produce(e);
        return e;
    }
    const Event& peek() {
        if (!has_peek_) {
            produce(peeked_);
            has_peek_ = true;
        }
        return peeked_;
    }

    // The text of the leaf element `name` whose start was just taken; valid
    // until the next call on this source.
    std::string_view read_text(std::string_view name);
    // Consumes everything up to and including the end tag of `name`, whose
    // start was just taken. Counts, never recurses.
    void read_to_end(std::string_view name);

private:
    // Each of these writes the next event into `out`.
    void produce(Event& out);
    void produce_loop(Event& out);
    void long_start(const char* stop, Event& out);
    // The cases produce_loop() leaves to raw events: read-ahead pending,
    // runs of character data broken by comments, instructions or CDATA.
    void produce_raw(Event& out);
    // The run of character data whose first raw piece is `first`; false
    // when the run came out empty.
    bool text_run(const RawEvent& first, Event& out);
    // The text that starts at `p` (not whitespace, not `<`): alone up to a
    // tag or the end of input, or the first piece of a run.
    void plain_text(const char* p, Event& out);
    std::string_view decoded(std::string_view piece);
    bool take_leaf(std::string_view& text);
    // read_text() through the events, for all but the usual leaf.
    std::string_view read_text_events(std::string_view name);
    RawEvent take_raw();
    // Whether the next raw event continues a run of character data; read
    // ahead only when the reader cannot tell.
    bool text_follows();
    void skip_raw(std::string_view name);

    Reader reader_;
    RawEvent ahead_;
    bool has_ahead_ = false;
    bool has_peek_ = false;
    // The last kept event was markup (or nothing yet): the next text's
    // leading whitespace goes.
    bool trim_start_ = true;
    Event peeked_;
    std::string scratch_[2];
    unsigned which_ = 0;
    std::string joined_;
};

// Attributes of a start tag, in document order, with their syntax checked as
// they are met. Values are returned raw.
class Attributes {
public:
    Attributes(std::string_view content, std::size_t name_len) : c_(content), pos_(name_len) {}
    explicit Attributes(const Event& start) : Attributes(start.data, start.name_len) {}

    bool next(std::string_view& key, std::string_view& value);

private:
    // The position of an earlier key equal to `key`, or npos; either way
    // `key` at `at` is remembered.
    std::size_t remember(std::string_view key, std::size_t at);

    std::string_view c_;
    std::size_t pos_;
    // Earlier keys: the first few in place (most tags, no allocation), then
    // an ordered index, whose cost a document cannot drive up by choosing
    // keys that collide in a hash. The places are filled as keys come, not
    // cleared first: most tags have no attribute at all.
    struct Seen {
        const char* key;
        std::size_t len;
        std::size_t at;
        std::string_view name() const { return {key, len}; }
    };
    static constexpr std::size_t kInline = 16;
    Seen few_[kInline];
    std::size_t count_ = 0;
    std::map<std::string_view, std::size_t> index_;
};

// The part of a name after its first colon, or the whole name.
inline std::string_view local_name(std::string_view name) {
    const auto colon = name.find(':');
    return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

// Decodes the predefined entities and character references of one piece of
// text, appending to `out`.
void decode_append(std::string_view piece, std::string& out);
inline bool needs_decoding(std::string_view piece) {
    return piece.find('&') != std::string_view::npos;
}

[[noreturn]] void missed_end(std::string_view name);
[[noreturn]] void unexpected_start(std::string_view name);

inline bool is_space(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

}  // namespace quorvane::xml
