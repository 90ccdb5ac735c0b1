// The one-line text rendering of record trees, written into one growing
// string: records as `Name { field: value, ... }`, a record without fields
// as its bare name, a wrapper as `Name(value)`, optionals as `None` /
// `Some(..)`, lists in brackets, choices by their variant names, text quoted
// and escaped.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <tuple>
#include <type_traits>
#include <variant>

#include "binding/declare.hpp"

namespace quorvane::binding {

// The text of a rendering, written into one block. Without a drain the
// block grows to hold the whole text; with one, the text written so far is
// handed to the drain whenever the block is full, so that a large rendering
// goes on through a small block. Every append is whole characters.
class TextWriter {
public:
    using Drain = void (*)(void* context, std::string_view text);

    explicit TextWriter(std::size_t reserve, Drain drain = nullptr, void* context = nullptr)
        : drain_(drain), context_(context) {
        if (reserve != 0) grow(reserve);
    }
    TextWriter(const TextWriter&) = delete;
    TextWriter& operator=(const TextWriter&) = delete;
    ~TextWriter() { buf_.written(static_cast<std::size_t>(p_ - begin())); }
    TextWriter& operator+=(char c) {
        if (p_ == end_) grow(1);
        *p_++ = c;
        return *this;
    }
    TextWriter& operator+=(std::string_view s) {
        if (static_cast<std::size_t>(end_ - p_) < s.size()) grow(s.size());
        if (!s.empty()) std::memcpy(p_, s.data(), s.size());
        p_ += s.size();
        return *this;
    }
    // Without a drain: the whole text.
    std::string_view view() const noexcept {
        return {reinterpret_cast<const char*>(buf_.data()), static_cast<std::size_t>(p_ - begin())};
    }
    // With a drain: hands it the rest.
    void finish() {
        buf_.written(static_cast<std::size_t>(p_ - begin()));
        if (p_ != begin()) drain_(context_, view());
        p_ = begin();
    }

private:
    char* begin() const noexcept { return reinterpret_cast<char*>(buf_.data()); }
    void grow(std::size_t need);

    Bytes buf_;
    char* p_ = nullptr;
    char* end_ = nullptr;
    Drain drain_;
    void* context_;
};

// Appends `text` in double quotes, escaped: `"` `\` NUL tab LF CR with a
// backslash; combining marks and non-printable characters as `\u{h}`.
void append_quoted(std::string& out, std::string_view text);
void append_quoted(TextWriter& out, std::string_view text);

void append_u32(TextWriter& out, unsigned long value);
void append_i32(TextWriter& out, long value);

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

template <class V>
std::string to_text(const V& v) {
    TextWriter out(256);
    render(out, v);
    return std::string(out.view());
}

template <class V>
std::string to_text(const Parsed<V>& p) {
    return to_text(p.value);
}

}  // namespace quorvane::binding
