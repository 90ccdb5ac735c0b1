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

void append_hex_escape(std::string& out, char32_t cp) {
    char buf[16];
    auto r = std::to_chars(buf, buf + sizeof buf, static_cast<std::uint32_t>(cp), 16);
    out += "\\u{";
    out.append(buf, r.ptr);
    out += '}';
}

}  // namespace

void append_quoted(std::string& out, std::string_view text) {
    out.reserve(out.size() + text.size() + 2);
    out += '"';
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const auto* const end = p + text.size();
    while (p < end) {
        const unsigned char* run = p;
        while (p < end && kPlain[*p]) ++p;
        out.append(reinterpret_cast<const char*>(run), static_cast<std::size_t>(p - run));
        if (p >= end) break;
        const unsigned char b = *p;
        switch (b) {
            case '"': out += "\\\""; ++p; continue;
            case '\\': out += "\\\\"; ++p; continue;
            case '\0': out += "\\0"; ++p; continue;
            case '\t': out += "\\t"; ++p; continue;
            case '\n': out += "\\n"; ++p; continue;
            case '\r': out += "\\r"; ++p; continue;
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
            out.append(reinterpret_cast<const char*>(p), len);
        }
        p += len;
    }
    out += '"';
}

void append_u32(std::string& out, unsigned long value) {
    char buf[24];
    auto r = std::to_chars(buf, buf + sizeof buf, value);
    out.append(buf, r.ptr);
}

void append_i32(std::string& out, long value) {
    char buf[24];
    auto r = std::to_chars(buf, buf + sizeof buf, value);
    out.append(buf, r.ptr);
}

}  // namespace quorvane::binding
