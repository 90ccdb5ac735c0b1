#include "binding/render.hpp"

#include <charconv>
#include <cstdint>

#include "binding/unicode_table.hpp"

namespace quorvane::binding {
namespace {

// Bytes that need a look: the escaped ASCII characters, controls, and the
// lead bytes of every multi-byte character.
constexpr auto kPlain = [] {
    std::array<bool, 256> t{};
    for (int c = 0x20; c < 0x7F; ++c) t[static_cast<std::size_t>(c)] = true;
    t['"'] = false;
    t['\\'] = false;
    return t;
}();

template <class Out>
void append_hex_escape(Out& out, char32_t cp) {
    char buf[16];
    auto r = std::to_chars(buf, buf + sizeof buf, static_cast<std::uint32_t>(cp), 16);
    out += std::string_view("\\u{");
    out += std::string_view(buf, static_cast<std::size_t>(r.ptr - buf));
    out += '}';
}

template <class Out>
void quote(Out& out, std::string_view text) {
    out += '"';
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const auto* const end = p + text.size();
    while (p < end) {
        const unsigned char* run = p;
        while (p < end && kPlain[*p]) ++p;
        out += std::string_view(reinterpret_cast<const char*>(run), static_cast<std::size_t>(p - run));
        if (p >= end) break;
        const unsigned char b = *p;
        switch (b) {
            case '"': out += std::string_view("\\\""); ++p; continue;
            case '\\': out += std::string_view("\\\\"); ++p; continue;
            case '\0': out += std::string_view("\\0"); ++p; continue;
            case '\t': out += std::string_view("\\t"); ++p; continue;
            case '\n': out += std::string_view("\\n"); ++p; continue;
            case '\r': out += std::string_view("\\r"); ++p; continue;
            default: break;
        }
        // One character; the input is valid UTF-8.
        std::size_t len = 1;
        char32_t cp = b;
        if (b >= 0xF0) {
            len = 4;
            cp = b & 0x07;
        } else if (b >= 0xE0) {
            len = 3;
            cp = b & 0x0F;
        } else if (b >= 0xC0) {
            len = 2;
            cp = b & 0x1F;
        }
        if (static_cast<std::size_t>(end - p) < len) len = static_cast<std::size_t>(end - p);
        for (std::size_t i = 1; i < len; ++i) cp = (cp << 6) | (p[i] & 0x3F);
        if (needs_unicode_escape(cp)) {
            append_hex_escape(out, cp);
        } else {
            out += std::string_view(reinterpret_cast<const char*>(p), len);
        }
        p += len;
    }
    out += '"';
}

template <class Out>
void append_number(Out& out, auto value) {
    char buf[24];
    auto r = std::to_chars(buf, buf + sizeof buf, value);
    out += std::string_view(buf, static_cast<std::size_t>(r.ptr - buf));
}

}  // namespace

void TextWriter::grow(std::size_t need) {
    std::size_t used = static_cast<std::size_t>(p_ - begin());
    buf_.written(used);
    if (drain_ && used != 0) {
        // Every append is whole characters, so the text ends on one's end.
        drain_(context_, std::string_view(begin(), used));
        used = 0;
        p_ = begin();
        if (static_cast<std::size_t>(end_ - p_) >= need) return;
    }
    const std::size_t capacity = static_cast<std::size_t>(end_ - begin());
    std::size_t size = capacity * 2 > used + need ? capacity * 2 : used + need;
    if (size < 64) size = 64;
    Bytes more = Bytes::at_least(size);
    if (used != 0) std::memcpy(more.data(), buf_.data(), used);
    more.written(used);
    buf_ = std::move(more);
    p_ = begin() + used;
    end_ = begin() + buf_.size();
}

void append_quoted(std::string& out, std::string_view text) {
    out.reserve(out.size() + text.size() + 2);
    quote(out, text);
}

void append_quoted(TextWriter& out, std::string_view text) { quote(out, text); }

void append_u32(TextWriter& out, unsigned long value) { append_number(out, value); }

void append_i32(TextWriter& out, long value) { append_number(out, value); }

}  // namespace quorvane::binding
