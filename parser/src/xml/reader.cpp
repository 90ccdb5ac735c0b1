#include "xml/reader.hpp"

#include <charconv>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace quorvane {

void throw_error(std::string text) { throw ParseError(std::move(text)); }

}  // namespace quorvane

namespace quorvane::xml {
namespace {

constexpr std::string_view kSyntax = "syntax error: ";
constexpr std::string_view kIllFormed = "ill-formed document: ";
constexpr std::string_view kAttr = "error while parsing attribute: ";

std::string cat(std::initializer_list<std::string_view> parts) {
    std::size_t n = 0;
    for (auto p : parts) n += p.size();
    std::string s;
    s.reserve(n);
    for (auto p : parts) s.append(p);
    return s;
}

std::string num(std::size_t v) { return std::to_string(v); }

const char* find(const char* from, const char* end, char c) {
    return static_cast<const char*>(std::memchr(from, c, static_cast<std::size_t>(end - from)));
}

// The first `c` in [p, end), or null. The spans looked in (texts between
// tags, quoted values, comments) are short: the first bytes are looked at
// inline, a short rest byte by byte, only a long one by memchr.
[[gnu::always_inline]] inline const char* find_near(const char* p, const char* end, char c) {
#if defined(__SSE2__)
    const __m128i v = _mm_set1_epi8(c);
    for (int i = 0; i < 2 && end - p >= 16; ++i, p += 16) {
        const int mask = _mm_movemask_epi8(_mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)), v));
        if (mask != 0) return p + __builtin_ctz(static_cast<unsigned>(mask));
    }
#endif
    return p < end ? find(p, end, c) : nullptr;
}

const char* find_lt(const char* p, const char* end) { return find_near(p, end, '<'); }

// Past the `-->` of the comment whose `!` is at `bang`, or null when it is
// not closed. The closing `>` stands at least five bytes after the `!`, so
// that `<!-->` does not close itself.
[[gnu::always_inline]] inline const char* comment_end(const char* bang, const char* end) {
    for (const char* p = bang + 5;;) {
        const char* gt = p < end ? find_near(p, end, '>') : nullptr;
        if (!gt) return nullptr;
        if (gt[-1] == '-' && gt[-2] == '-') return gt + 1;
        p = gt + 1;
    }
}

bool has_quote(std::string_view name) { return name.find_first_of("\"'") != std::string_view::npos; }

// The first byte in [p, end) that is not whitespace, or `end`. Indentation
// between tags is most of the text of a pretty-printed document.
[[gnu::always_inline]] inline const char* skip_spaces(const char* p, const char* end) {
#if defined(__SSE2__)
    if (end - p >= 16) {
        // Bits of the non-whitespace bytes among the sixteen at q.
        const auto other = [](const char* q) {
            const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(q));
            const __m128i space =
                _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(b, _mm_set1_epi8(' ')), _mm_cmpeq_epi8(b, _mm_set1_epi8('\n'))),
                             _mm_or_si128(_mm_cmpeq_epi8(b, _mm_set1_epi8('\t')), _mm_cmpeq_epi8(b, _mm_set1_epi8('\r'))));
            return ~static_cast<unsigned>(_mm_movemask_epi8(space)) & 0xFFFFu;
        };
        for (; end - p >= 16; p += 16)
            if (const unsigned m = other(p)) return p + __builtin_ctz(m);
        if (p == end) return end;
        // The rest, as the last sixteen bytes, less those already seen.
        const char* q = end - 16;
        const unsigned m = other(q) & (0xFFFFu << (p - q));
        return m != 0 ? q + __builtin_ctz(m) : end;
    }
#endif
    while (p < end && is_space(*p)) ++p;
    return p;
}

std::string_view trim_end(std::string_view s) {
    while (!s.empty() && is_space(s.back())) s.remove_suffix(1);
    return s;
}

std::string_view trim_start(std::string_view s) {
    const char* p = skip_spaces(s.data(), s.data() + s.size());
    return s.substr(static_cast<std::size_t>(p - s.data()));
}

// The first byte in [p, end) that is `>` or a quote; `end` if there is
// none. Sixteen bytes at a time where the CPU allows.
const char* find_tag_stop(const char* p, const char* end) {
#if defined(__SSE2__)
    const __m128i gt = _mm_set1_epi8('>');
    const __m128i dq = _mm_set1_epi8('"');
    const __m128i sq = _mm_set1_epi8('\'');
    for (; end - p >= 16; p += 16) {
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const __m128i hit =
            _mm_or_si128(_mm_cmpeq_epi8(b, gt), _mm_or_si128(_mm_cmpeq_epi8(b, dq), _mm_cmpeq_epi8(b, sq)));
        const int mask = _mm_movemask_epi8(hit);
        if (mask != 0) return p + __builtin_ctz(static_cast<unsigned>(mask));
    }
#endif
    for (; p < end; ++p) {
        const char c = *p;
        if (c == '>' || c == '"' || c == '\'') return p;
    }
    return end;
}

// The first byte in [p, end) that may end a start tag's name: `>` or a byte
// at or below `'`, which takes in whitespace and both quotes, and a few
// bytes that end nothing, for the caller to pass over; `end` if there is
// none. One comparison less per block than naming each stop.
[[gnu::always_inline]] inline const char* find_name_stop(const char* p, const char* end) {
#if defined(__SSE2__)
    const __m128i gt = _mm_set1_epi8('>');
    const __m128i low = _mm_set1_epi8('\'');
    for (; end - p >= 16; p += 16) {
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const __m128i hit = _mm_or_si128(_mm_cmpeq_epi8(b, gt), _mm_cmpeq_epi8(_mm_min_epu8(b, low), b));
        const int mask = _mm_movemask_epi8(hit);
        if (mask != 0) return p + __builtin_ctz(static_cast<unsigned>(mask));
    }
#endif
    for (; p < end; ++p) {
        const auto c = static_cast<unsigned char>(*p);
        if (c == '>' || c <= '\'') return p;
    }
    return end;
}

// The first `<` in [p, end), or `end`; sixteen bytes at a time, inline.
[[gnu::always_inline]] inline const char* scan_lt(const char* p, const char* end) {
#if defined(__SSE2__)
    const __m128i lt = _mm_set1_epi8('<');
    for (; end - p >= 16; p += 16) {
        const int mask = _mm_movemask_epi8(_mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)), lt));
        if (mask != 0) return p + __builtin_ctz(static_cast<unsigned>(mask));
    }
#endif
    while (p < end && *p != '<') ++p;
    return p;
}

// The first `<` in [p, end), or `end`; sets `amp` when a `&` stands before
// it. One pass finds where a text ends and whether it needs decoding.
[[gnu::always_inline]] inline const char* scan_text(const char* p, const char* end, bool& amp) {
#if defined(__SSE2__)
    const __m128i lt = _mm_set1_epi8('<');
    const __m128i am = _mm_set1_epi8('&');
    for (; end - p >= 16; p += 16) {
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const auto at_lt = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(b, lt)));
        const auto at_amp = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(b, am)));
        if (at_lt != 0) {
            const unsigned i = static_cast<unsigned>(__builtin_ctz(at_lt));
            if ((at_amp & ((1u << i) - 1u)) != 0) amp = true;
            return p + i;
        }
        if (at_amp != 0) amp = true;
    }
#endif
    for (; p < end; ++p) {
        if (*p == '<') return p;
        if (*p == '&') amp = true;
    }
    return end;
}

// skip_spaces, inline where whitespace is looked for between tags.
[[gnu::always_inline]] inline const char* skip_ws(const char* p, const char* end) {
    if (p < end && static_cast<unsigned char>(*p) > ' ') return p;  // none at all
    return skip_spaces(p, end);
}

// Whether the n bytes at a equal those at b, where b stands before a in the
// same input, which ends at `end`: names of up to 32 bytes are compared
// sixteen bytes at a time, every load inside the input. Without `Whole`,
// false also where that cannot be done, so that no call is made.
template <bool Whole>
[[gnu::always_inline]] inline bool same_bytes(const char* a, const char* b, std::size_t n, const char* end) {
#if defined(__SSE2__)
    if (n <= 32 && end - a >= 32) {
        const auto differ = [](const char* x, const char* y) {
            return ~static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(
                       _mm_loadu_si128(reinterpret_cast<const __m128i*>(x)),
                       _mm_loadu_si128(reinterpret_cast<const __m128i*>(y))))) &
                   0xFFFFu;
        };
        const unsigned lo = differ(a, b);
        if (n <= 16) return (lo & ((1u << n) - 1u)) == 0;
        return lo == 0 && (differ(a + 16, b + 16) & ((1u << (n - 16)) - 1u)) == 0;
    }
#endif
    return Whole && std::memcmp(a, b, n) == 0;
}

bool iequals_ascii(std::string_view a, std::string_view upper) {
    if (a.size() != upper.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char c = a[i];
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        if (c != upper[i]) return false;
    }
    return true;
}

}  // namespace

// ---------------------------------------------------------------- raw reader

void Reader::NameStack::grow() { items_.resize(2 * items_.size()); }

Reader::Reader(std::string_view input) : in_(input) {
    if (in_.size() >= 3 && in_.substr(0, 3) == "\xEF\xBB\xBF") pos_ = 3;
}

RawEvent Reader::fail(std::string text) {
    error_ = std::move(text);
    state_ = State::Finished;
    return RawEvent{RawKind::Error, {}, 0};
}

// The first `>` at or after `from` that stands outside single or double
// quotes; quoted values are jumped with memchr.
[[gnu::always_inline]] inline std::size_t Reader::find_tag_end(std::size_t from) const {
    const char* const end = in_.data() + in_.size();
    for (const char* p = in_.data() + from;;) {
        p = find_tag_stop(p, end);
        if (p == end) break;
        const char c = *p;
        if (c == '>') return static_cast<std::size_t>(p - in_.data());
        p = find_near(p + 1, end, c);  // a quote: its value is jumped
        if (!p) break;
        ++p;
    }
    return std::string_view::npos;
}

inline std::string_view Reader::close_empty() noexcept {
    const std::string_view name = open_.back();
    open_.pop_back();
    if (quoted_open_ != 0 && has_quote(name)) --quoted_open_;
    // Nothing after the root's end is ever examined.
    state_ = open_.empty() ? State::Finished : State::Text;
    return name;
}

template <bool Whole>
[[gnu::always_inline]] inline bool Reader::close_open(std::size_t at, std::string_view& name) noexcept {
    // Written as the open name and `>` at once: a quote, which would change
    // where the tag ends, is in no open name.
    if (open_.empty() || quoted_open_ != 0) return false;
    const std::string_view open = open_.back();
    const std::size_t close = at + open.size();
    if (close >= in_.size() || in_[close] != '>' ||
        !same_bytes<Whole>(in_.data() + at, open.data(), open.size(), in_.data() + in_.size()))
        return false;
    open_.pop_back();
    pos_ = close + 1;
    state_ = open_.empty() ? State::Finished : State::Text;
    name = std::string_view(in_.data() + at, open.size());
    return true;
}

template <bool Room>
[[gnu::always_inline]] inline bool Reader::short_start(std::string_view& name, const char*& stop) {
    const char* const base = in_.data();
    const char* const end = base + in_.size();
    const char* const first = base + pos_;
    stop = find_name_stop(first, end);
    if (stop == end || *stop != '>') return false;
    name = std::string_view(first, static_cast<std::size_t>(stop - first));
    pos_ = static_cast<std::size_t>(stop - base) + 1;
    state_ = State::Text;
    if (!name.empty() && name.back() == '/') {
        name.remove_suffix(1);
        state_ = State::Empty;
    }
    if constexpr (Room) {
        open_.push_unchecked(name);
    } else {
        open_.push_back(name);
    }
    return true;
}

// A start tag; pos_ is at its first byte. Its name runs to the first
// whitespace; most tags end right after it, so the tag's end is looked for
// only past the name.
[[gnu::always_inline]] inline RawEvent Reader::start_tag() {
    std::string_view name;
    const char* stop;
    if (short_start<false>(name, stop)) return RawEvent{RawKind::Start, name, name.size()};
    return start_tag_rest(stop);
}

// An end tag; pos_ is at its `/`.
[[gnu::always_inline]] inline RawEvent Reader::end_tag() {
    if (std::string_view name; close_open<true>(pos_ + 1, name)) return RawEvent{RawKind::End, name, 0};
    return end_tag_rest();
}

RawEvent Reader::step() {
    for (;;) {
        switch (state_) {
            case State::Finished:
                return RawEvent{};
            case State::Empty:
                return RawEvent{RawKind::End, close_empty(), 0};
            case State::Markup: {
                if (pos_ < in_.size()) {
                    const char c = in_[pos_];
                    if (c == '/') {
                        state_ = State::Text;
                        return end_tag();
                    }
                    if (c != '!' && c != '?') {
                        state_ = State::Text;
                        return start_tag();
                    }
                }
                RawEvent e = markup();
                if (e.kind != RawKind::Eof) return e;
                continue;  // a dropped construct: comment, instruction, declaration
            }
            case State::Text: {
                if (pos_ >= in_.size()) {
                    state_ = State::Finished;
                    return RawEvent{};
                }
                const char* start = in_.data() + pos_;
                const char* lt = find_lt(start, in_.data() + in_.size());
                if (!lt) {
                    state_ = State::Finished;
                    RawEvent e{RawKind::Text, in_.substr(pos_), 0};
                    pos_ = in_.size();
                    return e;
                }
                const auto at = static_cast<std::size_t>(lt - in_.data());
                state_ = State::Markup;
                if (at > pos_) {
                    RawEvent e{RawKind::Text, in_.substr(pos_, at - pos_), 0};
                    pos_ = at + 1;
                    return e;
                }
                pos_ = at + 1;
                continue;
            }
        }
    }
}

// The usual raw events without a call: a text up to a `<`, then a start
// tag whose name ends at `>` or an end tag that repeats the open name.
// Anything else is step()'s, from the state this leaves.
[[gnu::always_inline]] inline RawEvent Reader::take() {
    const char* const base = in_.data();
    const char* const end = base + in_.size();
    if (state_ == State::Text) {
        const char* const p = base + pos_;
        const char* const lt = scan_lt(p, end);
        if (lt == end) return step();
        pos_ = static_cast<std::size_t>(lt - base) + 1;
        state_ = State::Markup;
        if (lt != p) return RawEvent{RawKind::Text, std::string_view(p, static_cast<std::size_t>(lt - p)), 0};
    } else if (state_ != State::Markup) {
        return step();
    }
    if (pos_ < in_.size()) {
        const char c = base[pos_];
        if (c == '/') {
            if (std::string_view name; close_open<false>(pos_ + 1, name)) return RawEvent{RawKind::End, name, 0};
        } else if (c != '!' && c != '?' && !open_.full()) {
            std::string_view name;
            const char* stop;
            if (short_start<true>(name, stop)) return RawEvent{RawKind::Start, name, name.size()};
            state_ = State::Text;
            return start_tag_rest(stop);
        }
    }
    return step();
}

RawEvent Reader::next() { return take(); }

void Reader::skip_space() noexcept {
    pos_ = static_cast<std::size_t>(skip_spaces(in_.data() + pos_, in_.data() + in_.size()) - in_.data());
}

// Reads the construct after a `<` (pos_ is just past it). Returns Eof for a
// construct that is dropped, so that next() goes on.
RawEvent Reader::markup() {
    state_ = State::Text;
    const std::size_t n = in_.size();
    if (pos_ >= n) return fail(cat({kSyntax, "tag not closed: `>` not found before end of input"}));
    const char* const base = in_.data();
    const char* const end = base + n;
    const char c = in_[pos_];

    if (c == '!') {
        const char c2 = pos_ + 1 < n ? in_[pos_ + 1] : '\0';
        if (pos_ + 1 < n && c2 == '-') {
            const char* const after = in_.substr(pos_, 3) == "!--" ? comment_end(base + pos_, end) : nullptr;
            if (!after) return fail(cat({kSyntax, "comment not closed: `-->` not found before end of input"}));
            pos_ = static_cast<std::size_t>(after - base);
            return RawEvent{};
        }
        if (pos_ + 1 < n && c2 == '[') {
            if (in_.substr(pos_, 8) != "![CDATA[")
                return fail(cat({kSyntax, "CDATA not closed: `]]>` not found before end of input"}));
            const std::size_t body = pos_ + 8;
            const char* p = base + body;
            for (;;) {
                const char* gt = p < end ? find(p, end, '>') : nullptr;
                if (!gt) return fail(cat({kSyntax, "CDATA not closed: `]]>` not found before end of input"}));
                const auto at = static_cast<std::size_t>(gt - base);
                if (at >= body + 2 && gt[-1] == ']' && gt[-2] == ']') {
                    pos_ = at + 1;
                    return RawEvent{RawKind::CData, in_.substr(body, at - 2 - body), 0};
                }
                p = gt + 1;
            }
        }
        if (pos_ + 1 < n && (c2 == 'D' || c2 == 'd')) {
            // Each inner `<` needs one more `>`; quotes are not considered.
            std::size_t depth = 0;
            std::size_t i = pos_ + 1;
            for (; i < n; ++i) {
                if (in_[i] == '<') {
                    ++depth;
                } else if (in_[i] == '>') {
                    if (depth == 0) break;
                    --depth;
                }
            }
            if (i >= n || !iequals_ascii(in_.substr(pos_ + 1, 7), "DOCTYPE"))
                return fail(cat({kSyntax, "DOCTYPE not closed: `>` not found before end of input"}));
            const std::string_view rest = in_.substr(pos_ + 8, i - (pos_ + 8));
            if (trim_start(rest).empty())
                return fail(cat({kIllFormed, "`<!DOCTYPE>` declaration does not contain a name of a document type"}));
            pos_ = i + 1;
            return RawEvent{RawKind::DocType, rest, 0};
        }
        return fail(cat({kSyntax, "unknown or missed symbol in markup"}));
    }

    if (c == '?') {
        const char* p = base + pos_ + 1;
        for (;;) {
            const char* gt = p < end ? find(p, end, '>') : nullptr;
            if (!gt) break;
            if (gt[-1] == '?') {
                if (gt - 1 == base + pos_) break;  // `<?>`
                pos_ = static_cast<std::size_t>(gt - base) + 1;
                return RawEvent{};
            }
            p = gt + 1;
        }
        return fail(cat({kSyntax,
                         "processing instruction or xml declaration not closed: `?>` not found before end of input"}));
    }

    if (c == '/') return end_tag();
    return start_tag();
}

// An end tag that close_open() did not take; pos_ is at its `/`.
RawEvent Reader::end_tag_rest() {
    const std::size_t gt = find_tag_end(pos_ + 1);
    if (gt == std::string_view::npos) return fail(cat({kSyntax, "tag not closed: `>` not found before end of input"}));
    const std::string_view name = trim_end(in_.substr(pos_ + 1, gt - pos_ - 1));
    pos_ = gt + 1;
    if (open_.empty()) return fail(cat({kIllFormed, "close tag `</", name, ">` does not match any open tag"}));
    const std::string_view open = open_.back();
    open_.pop_back();
    if (quoted_open_ != 0 && has_quote(open)) --quoted_open_;
    if (open != name) return fail(cat({kIllFormed, "expected `</", open, ">`, but `</", name, ">` was found"}));
    if (open_.empty()) state_ = State::Finished;
    return RawEvent{RawKind::End, name, 0};
}

// The rest of a start tag whose name did not end at `>`: `stop` is where
// find_name_stop() stopped.
RawEvent Reader::start_tag_rest(const char* stop) { return start_tag_rest_inline(stop); }

[[gnu::always_inline]] inline RawEvent Reader::start_tag_rest_inline(const char* stop) {
    const char* const base = in_.data();
    const char* const end = base + in_.size();
    while (stop < end && *stop != '>' && *stop != '"' && *stop != '\'' && !is_space(*stop))
        stop = find_name_stop(stop + 1, end);  // a byte that ends nothing: part of the name
    std::size_t gt;
    if (stop < end && *stop == '>') {
        gt = static_cast<std::size_t>(stop - base);
    } else if (stop < end && is_space(*stop)) {
        gt = find_tag_end(static_cast<std::size_t>(stop - base));
    } else {
        gt = find_tag_end(pos_);  // a quote in the name, or no `>` at all
    }
    if (gt == std::string_view::npos) return fail(cat({kSyntax, "tag not closed: `>` not found before end of input"}));
    std::string_view content = in_.substr(pos_, gt - pos_);
    pos_ = gt + 1;
    const bool empty = !content.empty() && content.back() == '/';
    if (empty) content.remove_suffix(1);
    std::size_t name_len = 0;
    if (stop < end && *stop == '>') {
        name_len = content.size();
    } else if (stop < end && is_space(*stop)) {
        name_len = static_cast<std::size_t>(stop - content.data());
    } else {
        while (name_len < content.size() && !is_space(content[name_len])) ++name_len;
        if (has_quote(content.substr(0, name_len))) ++quoted_open_;
    }
    open_.push_back(content.substr(0, name_len));
    if (empty) state_ = State::Empty;
    return RawEvent{RawKind::Start, content, name_len};
}

// --------------------------------------------------------------- decoding

namespace {

[[noreturn]] void bad_char_ref(std::string_view what) {
    throw_error(cat({"invalid character reference: ", what}));
}

// Reads the digits of a character reference as an unsigned 32-bit number,
// with the messages of the usual integer parse.
std::uint32_t parse_ref_number(std::string_view digits, unsigned base) {
    if (digits.empty()) bad_char_ref("cannot parse integer from empty string");
    std::uint32_t value = 0;
    for (char ch : digits) {
        unsigned d;
        if (ch >= '0' && ch <= '9') {
            d = static_cast<unsigned>(ch - '0');
        } else if (base == 16 && ch >= 'a' && ch <= 'f') {
            d = static_cast<unsigned>(ch - 'a' + 10);
        } else if (base == 16 && ch >= 'A' && ch <= 'F') {
            d = static_cast<unsigned>(ch - 'A' + 10);
        } else {
            d = base;
        }
        if (d >= base) bad_char_ref("invalid digit found in string");
        const std::uint64_t next = static_cast<std::uint64_t>(value) * base + d;
        if (next > 0xFFFFFFFFu) bad_char_ref("number too large to fit in target type");
        value = static_cast<std::uint32_t>(next);
    }
    return value;
}

void append_utf8(std::string& out, std::uint32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

}  // namespace

void decode_append(std::string_view piece, std::string& out) {
    std::size_t i = 0;
    const std::size_t n = piece.size();
    out.reserve(out.size() + n);
    while (i < n) {
        const std::size_t amp = piece.find('&', i);
        if (amp == std::string_view::npos) {
            out.append(piece.substr(i));
            return;
        }
        out.append(piece.substr(i, amp - i));
        std::size_t j = amp + 1;
        while (j < n && piece[j] != '&' && piece[j] != ';') ++j;
        if (j >= n || piece[j] != ';')
            throw_error(cat({"Error while escaping character at range ", num(amp), "..", num(n),
                             ": Cannot find ';' after '&'"}));
        const std::string_view ref = piece.substr(amp + 1, j - amp - 1);
        if (!ref.empty() && ref[0] == '#') {
            std::string_view digits = ref.substr(1);
            unsigned base = 10;
            if (!digits.empty() && digits[0] == 'x') {
                base = 16;
                digits.remove_prefix(1);
            }
            if (!digits.empty() && (digits[0] == '+' || digits[0] == '-')) bad_char_ref("unexpected number sign");
            const std::uint32_t cp = parse_ref_number(digits, base);
            if (cp == 0) bad_char_ref("0x0 character is not permitted in XML");
            if ((cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF)
                bad_char_ref(cat({"`", num(cp), "` is not a valid codepoint"}));
            append_utf8(out, cp);
        } else if (ref == "lt") {
            out.push_back('<');
        } else if (ref == "gt") {
            out.push_back('>');
        } else if (ref == "amp") {
            out.push_back('&');
        } else if (ref == "apos") {
            out.push_back('\'');
        } else if (ref == "quot") {
            out.push_back('"');
        } else {
            throw_error(cat({"at ", num(amp + 1), "..", num(j), ": unrecognized entity `", ref, "`"}));
        }
        i = j + 1;
    }
}

void missed_end(std::string_view name) {
    throw_error(cat({kIllFormed, "start tag not closed: `</", name, ">` not found before end of input"}));
}

void unexpected_start(std::string_view name) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string s = "unexpected `Event::Start(\"";
    for (unsigned char b : name) {
        if (b == '"') {
            s += "\\\"";
        } else if (b >= 0x20 && b <= 0x7E) {
            s.push_back(static_cast<char>(b));
        } else {
            s += "0x";
            if (b >= 0x10) s.push_back(kHex[b >> 4]);
            s.push_back(kHex[b & 0xF]);
        }
    }
    s += "\")`";
    throw_error(std::move(s));
}

// ------------------------------------------------------------ event layer

Events::Events(std::string_view input) : reader_(input) {}

[[gnu::always_inline]] inline RawEvent Events::take_raw() {
    RawEvent e;
    if (has_ahead_) {
        e = ahead_;
        has_ahead_ = false;
    } else {
        e = reader_.take();
    }
    if (e.kind == RawKind::Error) throw_error(reader_.error());
    return e;
}

bool Events::text_follows() {
    if (!has_ahead_) {
        if (reader_.at_tag()) return false;
        ahead_ = reader_.next();
        has_ahead_ = true;
    }
    return ahead_.kind == RawKind::Text || ahead_.kind == RawKind::CData;
}

std::string_view Events::decoded(std::string_view piece) {
    which_ ^= 1u;
    std::string& buf = scratch_[which_];
    buf.clear();
    decode_append(piece, buf);
    return buf;
}

// The usual events, with no call on their way: after any indentation, a
// start tag whose name ends at `>`, an end tag that repeats the open name,
// or a text alone up to a tag. Anything else is produce_loop()'s, from the
// state the reader is left in, as its raw events would have left it.
void Events::produce(Event& out) {
    Reader& r = reader_;
    const char* const base = r.in_.data();
    const std::size_t size = r.in_.size();
    const char* const end = base + size;
    if (has_ahead_) return produce_raw(out);
    for (;;) {
        if (r.state_ == Reader::State::Text && trim_start_) {
            const char* const p = skip_ws(base + r.pos_, end);
            if (p == end) return produce_loop(out);
            if (*p != '<') return plain_text(p, out);
            r.pos_ = static_cast<std::size_t>(p - base) + 1;
            r.state_ = Reader::State::Markup;
        } else if (r.state_ != Reader::State::Markup) {
            return produce_loop(out);
        }
        // Just past a `<`.
        if (r.pos_ < size) {
            const char c = base[r.pos_];
            if (c == '/') {
                if (std::string_view name; r.close_open<false>(r.pos_ + 1, name)) {
                    trim_start_ = true;
                    out = Event{Kind::End, name, 0};
                    return;
                }
            } else if (c != '!' && c != '?' && !r.open_.full()) {
                std::string_view name;
                const char* stop;
                if (r.short_start<true>(name, stop)) {
                    trim_start_ = true;
                    out = Event{Kind::Start, name, name.size()};
                    return;
                }
                return long_start(stop, out);
            } else if (c == '!' && trim_start_ && size - r.pos_ >= 3 && base[r.pos_ + 1] == '-' &&
                       base[r.pos_ + 2] == '-') {
                // A closed comment is dropped here as produce_loop() would
                // drop it, and the next event looked for after it.
                if (const char* const after = comment_end(base + r.pos_, end)) {
                    r.pos_ = static_cast<std::size_t>(after - base);
                    r.state_ = Reader::State::Text;
                    continue;
                }
            }
        }
        return produce_loop(out);
    }
}

// A start tag whose name's scan stopped short of `>`, at `stop`: one with
// attributes, as a rule.
void Events::long_start(const char* stop, Event& out) {
    Reader& r = reader_;
    r.state_ = Reader::State::Text;
    const RawEvent e = r.start_tag_rest_inline(stop);
    if (e.kind == RawKind::Error) throw_error(r.error_);
    trim_start_ = true;
    out = Event{Kind::Start, e.data, e.name_len};
}

// Every event, the reader standing at markup or text with nothing read
// ahead. Each branch leaves the reader as its raw events would have, so
// that produce_raw() can take over at any point.
void Events::produce_loop(Event& out) {
    Reader& r = reader_;
    const char* const base = r.in_.data();
    const std::size_t size = r.in_.size();
    const char* const end = base + size;
    for (;;) {
        if (has_ahead_) return produce_raw(out);
        switch (r.state_) {
            case Reader::State::Text: {
                if (!trim_start_) return produce_raw(out);
                const char* const p = skip_ws(base + r.pos_, end);
                if (p == end) {
                    r.pos_ = size;
                    r.state_ = Reader::State::Finished;
                    out = Event{};
                    return;
                }
                if (*p != '<') return plain_text(p, out);
                r.pos_ = static_cast<std::size_t>(p - base) + 1;
                r.state_ = Reader::State::Markup;
                [[fallthrough]];
            }
            case Reader::State::Markup: {
                if (r.pos_ < size) {
                    const char c = base[r.pos_];
                    if (c == '/') {
                        r.state_ = Reader::State::Text;
                        const RawEvent e = r.end_tag();
                        if (e.kind == RawKind::Error) throw_error(r.error_);
                        trim_start_ = true;
                        out = Event{Kind::End, e.data, 0};
                        return;
                    }
                    if (c != '!' && c != '?') {
                        r.state_ = Reader::State::Text;
                        const RawEvent e = r.start_tag();
                        if (e.kind == RawKind::Error) throw_error(r.error_);
                        trim_start_ = true;
                        out = Event{Kind::Start, e.data, e.name_len};
                        return;
                    }
                }
                if (!trim_start_) return produce_raw(out);
                const RawEvent e = r.markup();
                switch (e.kind) {
                    case RawKind::Eof:      // a dropped construct
                    case RawKind::DocType:  // trim_start_ holds already
                        continue;
                    case RawKind::Error:
                        throw_error(r.error_);
                    case RawKind::CData:
                        if (text_run(e, out)) return;
                        continue;
                    case RawKind::Start:
                    case RawKind::End:
                    case RawKind::Text:
                        break;  // markup() is not asked for these here
                }
                has_ahead_ = true;
                ahead_ = e;
                continue;
            }
            case Reader::State::Empty:
                trim_start_ = true;
                out = Event{Kind::End, r.close_empty(), 0};
                return;
            case Reader::State::Finished:
                out = Event{};
                return;
        }
    }
}

// A text from `p` (trim_start_ holds, the reader in its Text state): alone
// between tags it is the event; before a comment, instruction or CDATA it
// starts a run. Never Eof: the run's first byte is not whitespace.
void Events::plain_text(const char* p, Event& out) {
    Reader& r = reader_;
    const char* const base = r.in_.data();
    const char* const end = base + r.in_.size();
    bool amp = false;
    const char* const lt = scan_text(p, end, amp);
    const std::string_view piece(p, static_cast<std::size_t>(lt - p));
    if (lt == end) {
        r.pos_ = r.in_.size();
        r.state_ = Reader::State::Finished;
    } else {
        r.pos_ = static_cast<std::size_t>(lt - base) + 1;
        r.state_ = Reader::State::Markup;
        if (end - lt > 1 && (lt[1] == '!' || lt[1] == '?')) {
            if (!text_run(RawEvent{RawKind::Text, piece, 0}, out)) produce_loop(out);
            return;
        }
    }
    trim_start_ = false;
    const std::string_view text = trim_end(piece);
    out = Event{Kind::Text, amp ? decoded(text) : text, 0};
}

void Events::produce_raw(Event& out) {
    for (;;) {
        // Whitespace that trimming would drop is not made a text event.
        if (trim_start_ && !has_ahead_) reader_.skip_leading_space();
        const RawEvent r = take_raw();
        switch (r.kind) {
            case RawKind::Start:
                trim_start_ = true;
                out = Event{Kind::Start, r.data, r.name_len};
                return;
            case RawKind::End:
                trim_start_ = true;
                out = Event{Kind::End, r.data, 0};
                return;
            case RawKind::DocType:
                trim_start_ = true;
                continue;
            case RawKind::Eof:
            case RawKind::Error:
                out = Event{};
                return;
            case RawKind::Text:
            case RawKind::CData:
                break;
        }
        if (text_run(r, out)) return;
    }
}

// One run of character data: every text and CDATA piece up to the next
// markup event, each text piece trimmed by its neighbours.
bool Events::text_run(const RawEvent& first, Event& out) {
    std::string* buf = nullptr;  // taken once pieces are joined or decoded
    std::string_view run;
    auto add = [&](std::string_view piece, bool cdata) {
        if (!cdata) {
            if (trim_start_) piece = trim_start(piece);
            if (!text_follows()) piece = trim_end(piece);
            if (piece.empty()) return;
        }
        trim_start_ = false;
        const bool decode = !cdata && needs_decoding(piece);
        if (!buf && run.empty() && !decode) {
            run = piece;
            return;
        }
        if (!buf) {
            which_ ^= 1u;
            buf = &scratch_[which_];
            buf->assign(run);
        }
        if (decode) {
            decode_append(piece, *buf);
        } else {
            buf->append(piece);
        }
    };
    add(first.data, first.kind == RawKind::CData);
    while (text_follows()) {
        const RawEvent p = take_raw();
        add(p.data, p.kind == RawKind::CData);
    }
    if (buf) run = *buf;
    if (run.empty()) return false;
    out = Event{Kind::Text, run, 0};
    return true;
}

// The leaf whose start was the last event, written `<X>text</X>` or
// `<X></X>`: taken straight from the bytes, with `text` trimmed and
// decoded as its text event would be. False leaves everything as it was.
[[gnu::always_inline]] inline bool Events::take_leaf(std::string_view& text) {
    Reader& r = reader_;
    if (has_peek_ || has_ahead_ || !trim_start_ || r.state_ != Reader::State::Text) return false;
    const char* const base = r.in_.data();
    const char* const end = base + r.in_.size();
    const char* const p = skip_ws(base + r.pos_, end);
    bool amp = false;
    const char* const lt = p < end && *p != '<' ? scan_text(p, end, amp) : p;
    std::string_view closed;
    if (end - lt < 2 || lt[1] != '/' || !r.close_open<false>(static_cast<std::size_t>(lt - base) + 2, closed))
        return false;
    text = trim_end(std::string_view(p, static_cast<std::size_t>(lt - p)));
    if (text.empty()) {
        text = {};
    } else if (amp) {
        text = decoded(text);
    }
    return true;
}

std::string_view Events::read_text(std::string_view name) {
    if (std::string_view text; take_leaf(text)) return text;
    return read_text_events(name);
}

std::string_view Events::read_text_events(std::string_view name) {
    Event e = next();
    if (e.kind == Kind::End) return {};
    if (e.kind == Kind::Start) unexpected_start(e.name());
    if (e.kind == Kind::Eof) missed_end(name);
    std::string_view text = e.data;
    for (;;) {
        e = next();
        if (e.kind == Kind::End) return text;
        if (e.kind == Kind::Start) unexpected_start(e.name());
        if (e.kind == Kind::Eof) missed_end(name);
        // Two runs split by a document type declaration: one leaf text.
        if (text.data() != joined_.data()) joined_.assign(text);
        joined_.append(e.data);
        text = joined_;
    }
}

void Events::skip_raw(std::string_view name) {
    Reader& r = reader_;
    std::size_t depth = 0;
    for (;;) {
        if (!has_ahead_ && r.state_ == Reader::State::Text) {
            // Character data is passed over unread: only the next `<` counts.
            const char* const lt = find_lt(r.in_.data() + r.pos_, r.in_.data() + r.in_.size());
            if (!lt) missed_end(name);
            r.pos_ = static_cast<std::size_t>(lt - r.in_.data()) + 1;
            r.state_ = Reader::State::Markup;
        }
        const RawEvent e = take_raw();
        if (e.kind == RawKind::Start) {
            if (e.name() == name) ++depth;
        } else if (e.kind == RawKind::End) {
            if (e.data == name) {
                if (depth == 0) break;
                --depth;
            }
        } else if (e.kind == RawKind::Eof) {
            missed_end(name);
        }
    }
    trim_start_ = true;
}

void Events::read_to_end(std::string_view name) {
    // The leading text run goes through the event layer, so it is decoded.
    if (std::string_view text; take_leaf(text)) return;
    const Event e = next();
    if (e.kind == Kind::End) return;
    if (e.kind == Kind::Start) skip_raw(e.name());
    skip_raw(name);
}

// ------------------------------------------------------------- attributes

std::size_t Attributes::remember(std::string_view key, std::size_t at) {
    if (index_.empty()) {
        for (std::size_t i = 0; i < count_; ++i)
            if (few_[i].name() == key) return few_[i].at;
        if (count_ < kInline) {
            few_[count_++] = Seen{key.data(), key.size(), at};
            return std::string_view::npos;
        }
        for (const Seen& s : few_) index_.emplace(s.name(), s.at);
    }
    const auto [it, added] = index_.try_emplace(key, at);
    return added ? std::string_view::npos : it->second;
}

bool Attributes::next(std::string_view& key, std::string_view& value) {
    const std::size_t n = c_.size();
    while (pos_ < n && is_space(c_[pos_])) ++pos_;
    if (pos_ >= n) return false;

    const std::size_t key_start = pos_;
    while (pos_ < n && c_[pos_] != '=' && !is_space(c_[pos_])) ++pos_;
    const std::string_view k = c_.substr(key_start, pos_ - key_start);
    while (pos_ < n && is_space(c_[pos_])) ++pos_;
    if (pos_ >= n || c_[pos_] != '=')
        throw_error(cat({kAttr, "position ", num(pos_), ": attribute key must be directly followed by `=` or space"}));

    std::size_t earlier = std::string_view::npos;
    if (count_ == 0) {
        few_[count_++] = Seen{k.data(), k.size(), key_start};  // the first key: nothing to compare
    } else {
        earlier = remember(k, key_start);
    }
    if (earlier != std::string_view::npos)
        throw_error(cat({kAttr, "position ", num(key_start), ": duplicated attribute, previous declaration at position ",
                         num(earlier)}));

    ++pos_;
    while (pos_ < n && is_space(c_[pos_])) ++pos_;
    if (pos_ >= n) throw_error(cat({kAttr, "position ", num(pos_), ": `=` must be followed by an attribute value"}));
    const char quote = c_[pos_];
    if (quote != '"' && quote != '\'')
        throw_error(cat({kAttr, "position ", num(pos_), ": attribute value must be enclosed in `\"` or `'`"}));
    const char* const at = find_near(c_.data() + pos_ + 1, c_.data() + n, quote);
    if (!at)
        throw_error(cat({kAttr, "position ", num(n), ": missing closing quote `", std::string_view(&quote, 1),
                         "` in attribute value"}));
    const auto close = static_cast<std::size_t>(at - c_.data());
    key = k;
    value = c_.substr(pos_ + 1, close - pos_ - 1);
    pos_ = close + 1;

    return true;
}

}  // namespace quorvane::xml
