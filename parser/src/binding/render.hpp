// The one-line text rendering of record trees, written into one growing
// string: records as `Name { field: value, ... }`, a record without fields
// as its bare name, a wrapper as `Name(value)`, optionals as `None` /
// `Some(..)`, lists in brackets, choices by their variant names, text quoted
// and escaped.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

#include "binding/declare.hpp"

namespace quorvane::binding {

// Appends `text` in double quotes, escaped: `"` `\` NUL tab LF CR with a
// backslash; combining marks and non-printable characters as `\u{h}`.
void append_quoted(std::string& out, std::string_view text);

void append_u32(std::string& out, unsigned long value);
void append_i32(std::string& out, long value);

// The size of a rendering, counted by the same walk that writes it. Quoted
// text counts as if nothing in it were escaped: the count is exact for most
// trees and never more than the text, so it is what to_text reserves.
struct TextSize {
    std::size_t bytes = 0;
    TextSize& operator+=(char) {
        ++bytes;
        return *this;
    }
    TextSize& operator+=(std::string_view s) {
        bytes += s.size();
        return *this;
    }
};

inline void append_quoted(TextSize& out, std::string_view text) { out.bytes += text.size() + 2; }

inline void append_u32(TextSize& out, unsigned long value) {
    do {
        ++out.bytes;
        value /= 10;
    } while (value != 0);
}

inline void append_i32(TextSize& out, long value) {
    if (value < 0) ++out.bytes;
    append_u32(out, value < 0 ? 0UL - static_cast<unsigned long>(value) : static_cast<unsigned long>(value));
}

// `Out` is the text written (std::string) or its size counted (TextSize).
template <class Out, class V>
void render(Out& out, const V& v);

template <class Out, class T>
void render_record(Out& out, const T& r) {
    constexpr const auto& d = declaration<T>;
    out += d.type_name;
    if constexpr (d.shape == Shape::Wrapper) {
        out += '(';
        render(out, r.*(std::get<0>(d.fields).member));
        out += ')';
    } else if constexpr (d.field_count > 0) {
        out += " { ";
        bool first = true;
        for_each_field(d, [&](const auto& f) {
            if (!first) out += ", ";
            first = false;
            out += f.name;
            out += ": ";
            render(out, r.*(f.member));
        });
        out += " }";
    }
}

template <class Out, class V>
void render(Out& out, const V& v) {
    if constexpr (std::is_same_v<V, Text>) {
        append_quoted(out, v);
    } else if constexpr (is_optional_v<V>) {
        if (!v) {
            out += "None";
        } else {
            out += "Some(";
            render(out, *v);
            out += ')';
        }
    } else if constexpr (is_list_v<V>) {
        out += '[';
        bool first = true;
        for (const auto& item : v) {
            if (!first) out += ", ";
            first = false;
            render(out, item);
        }
        out += ']';
    } else if constexpr (std::is_same_v<V, bool>) {
        out += v ? "true" : "false";
    } else if constexpr (std::is_same_v<V, std::uint32_t>) {
        append_u32(out, v);
    } else if constexpr (std::is_same_v<V, std::int32_t>) {
        append_i32(out, v);
    } else if constexpr (is_enum_v<V>) {
        out += declaration<V>.names[static_cast<std::size_t>(v)];
    } else if constexpr (is_record_v<V>) {
        render_record(out, v);
    } else if constexpr (is_variant_v<V>) {
        out += declaration<V>.names[v.index()];
        std::visit(
            [&](const auto& alt) {
                if constexpr (!std::is_same_v<std::remove_cvref_t<decltype(alt)>, Unit>) {
                    out += '(';
                    render(out, alt);
                    out += ')';
                }
            },
            v);
    } else {
        static_assert(always_false_v<V>, "a rendered type needs a declaration");
    }
}

// Counted first and reserved at once, so that a large rendering is not
// copied again and again as it grows.
template <class V>
std::string to_text(const V& v) {
    TextSize size;
    render(size, v);
    std::string out;
    out.reserve(size.bytes);
    render(out, v);
    return out;
}

template <class V>
std::string to_text(const Parsed<V>& p) {
    return to_text(p.value);
}

}  // namespace quorvane::binding
