// The one generic record reader, driven by the declarations, with the leaf
// readers, element runs, the leftover buffer's groups and the element-chosen
// variant. The first error is thrown as ParseError and ends the parse; what
// was read goes with the document's store, which nothing holds by then.
#pragma once

#include <array>
#include <bitset>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <tuple>
#include <type_traits>
#include <variant>
#include <cstring>
#include <utility>
#include <vector>

#include "binding/buffer.hpp"
#include "binding/declare.hpp"
#include "binding/messages.hpp"
#include "xml/reader.hpp"

namespace quorvane::binding {

using xml::Event;
using xml::Kind;

// The items of the lists being read, before each list is copied whole into
// the store: one stack for every open list, since an item's own lists are
// finished before the next item starts. Items are trivially copyable.
class ListScratch {
public:
    ListScratch() = default;
    ListScratch(const ListScratch&) = delete;
    ListScratch& operator=(const ListScratch&) = delete;

    std::size_t mark() const noexcept { return used_; }

    template <class X>
    void push(const X& item) {
        const std::size_t at = (used_ + alignof(X) - 1) & ~(alignof(X) - 1);
        if (at + sizeof(X) > bytes_.size()) grow(at + sizeof(X));
        std::memcpy(bytes_.data() + at, &item, sizeof(X));
        used_ = at + sizeof(X);
        bytes_.written(used_);
    }

    // The `n` items pushed since `mark`, copied into the store; the stack
    // drops back to `mark`.
    template <class X>
    List<X> finish(std::size_t mark, std::size_t n, Store& store) {
        const std::size_t at = (mark + alignof(X) - 1) & ~(alignof(X) - 1);
        const auto* items = reinterpret_cast<const X*>(bytes_.data() + at);
        if (mark == 0 && n * sizeof(X) >= kMappedToKeep && bytes_.mapped() && bytes_.fit(at + n * sizeof(X))) {
            // A large list with nothing beneath it: the stack's mapped pages
            // go to the store, fitted to the list, rather than the list being
            // copied there. A smaller list is copied, so that a small
            // document keeps no mapped pages.
            store.adopt(std::move(bytes_));
            used_ = 0;
            return List<X>(items, n);
        }
        List<X> list = store.keep_list(items, n);
        used_ = mark;
        return list;
    }

private:
    void grow(std::size_t need) {
        std::size_t size = bytes_.size() < 4096 ? 4096 : bytes_.size() * 2;
        while (size < need) size *= 2;
        if (bytes_.extend(size)) return;
        Bytes more = Bytes::at_least(size);
        if (used_ != 0) std::memcpy(more.data(), bytes_.data(), used_);
        more.written(used_);
        bytes_ = std::move(more);
    }

    Bytes bytes_;
    std::size_t used_ = 0;
};

// The event source of one parse, with the store that keeps what the records
// read and the stack of the lists being read.
class Events : public xml::Events {
public:
    Events(std::string_view text, Store& store) : xml::Events(text), store(store) {}
    Store& store;
    ListScratch lists;
};

// ------------------------------------------------------------ leaf values

std::uint32_t parse_u32(std::string_view text);
std::int32_t parse_i32(std::string_view text);
bool parse_flag(std::string_view text);
// The index of `text` among `texts`; an empty text is looked up as "$text".
std::size_t match_variant(std::string_view text, std::span<const std::string_view> texts);
// The same without the errors: false, or -1, where those would fail. The
// lenient groups use them, since their failures are expected, not reported.
bool try_parse_u32(std::string_view text, std::uint32_t& out);
bool try_parse_i32(std::string_view text, std::int32_t& out);
bool try_parse_flag(std::string_view text, bool& out);
int find_variant(std::string_view text, std::span<const std::string_view> texts);

template <class V>
inline constexpr bool is_leaf_v = std::is_same_v<V, Text> || std::is_same_v<V, std::uint32_t> ||
                                  std::is_same_v<V, std::int32_t> || std::is_same_v<V, bool> || is_enum_v<V>;

template <class V>
V leaf_from_text(Store& store, std::string_view text) {
    if constexpr (std::is_same_v<V, Text>) {
        return store.keep(text);
    } else if constexpr (std::is_same_v<V, std::uint32_t>) {
        return parse_u32(text);
    } else if constexpr (std::is_same_v<V, std::int32_t>) {
        return parse_i32(text);
    } else if constexpr (std::is_same_v<V, bool>) {
        return parse_flag(text);
    } else {
        static_assert(is_enum_v<V>);
        return static_cast<V>(match_variant(text, declaration<V>.texts));
    }
}

// leaf_from_text without its error: false where that would fail.
template <class V>
bool try_leaf_from_text(Store& store, std::string_view text, V& out) {
    if constexpr (std::is_same_v<V, Text>) {
        out = store.keep(text);
        return true;
    } else if constexpr (std::is_same_v<V, std::uint32_t>) {
        return try_parse_u32(text, out);
    } else if constexpr (std::is_same_v<V, std::int32_t>) {
        return try_parse_i32(text, out);
    } else if constexpr (std::is_same_v<V, bool>) {
        return try_parse_flag(text, out);
    } else {
        static_assert(is_enum_v<V>);
        const int i = find_variant(text, declaration<V>.texts);
        if (i < 0) return false;
        out = static_cast<V>(i);
        return true;
    }
}

template <class T>
void read_record(Events& ev, const Event& start, T& out);
template <class V>
void read_choice(Events& ev, const Event& start, V& out);

template <class V>
void read_item(Events& ev, const Event& start, V& slot) {
    if constexpr (is_leaf_v<V>) {
        slot = leaf_from_text<V>(ev.store, ev.read_text(start.name()));
    } else if constexpr (is_record_v<V>) {
        read_record(ev, start, slot);
    } else if constexpr (is_variant_v<V>) {
        read_choice(ev, start, slot);
    } else {
        static_assert(always_false_v<V>, "a field's type needs a declaration");
    }
}

// Text standing right after a list item, as an item.
template <class X>
X text_item(Store& store, std::string_view text) {
    if constexpr (is_leaf_v<X>) {
        return leaf_from_text<X>(store, text);
    } else if constexpr (is_record_v<X>) {
        invalid_string(text, declaration<X>.expecting);
    } else if constexpr (is_variant_v<X>) {
        static constexpr auto names = selector_names<X>();
        unknown_variant("$text", names);
    } else {
        static_assert(always_false_v<X>, "a list item's type needs a declaration");
    }
}

// An element run: the items are consecutive siblings with the first one's
// full name; text between or after items is an item of its own.
template <class X>
void read_run(Events& ev, List<X>& out) {
    ListScratch& scratch = ev.lists;
    const std::size_t mark = scratch.mark();
    std::size_t n = 0;
    // An item is read aside and then pushed: its own lists grow the stack.
    const auto read_one = [&](const Event& start) {
        X item{};
        read_item(ev, start, item);
        scratch.push(item);
        ++n;
    };
    const Event first = ev.next();
    const std::string_view full = first.name();
    read_one(first);
    for (;;) {
        const Event& e = ev.peek();
        if (e.kind == Kind::Start && e.name() == full) {
            read_one(ev.next());
        } else if (e.kind == Kind::Text) {
            const Event t = ev.next();
            scratch.push(text_item<X>(ev.store, t.data));
            ++n;
        } else {
            break;
        }
    }
    out = scratch.finish<X>(mark, n, ev.store);
}

// Reads the value of a field whose element start has been peeked.
template <class V>
void read_value(Events& ev, V& slot) {
    if constexpr (is_opt_record_v<V>) {
        auto& record = ev.store.template make<typename optional_of<V>::type>();
        slot = V(&record);
        read_value(ev, record);
    } else if constexpr (is_optional_v<V>) {
        read_value(ev, slot.emplace());
    } else if constexpr (is_list_v<V>) {
        read_run(ev, slot);
    } else {
        const Event start = ev.next();
        read_item(ev, start, slot);
    }
}

// -------------------------------------------------------------- groups

// The element name of each field of T, by field index, for the messages.
template <class T>
inline constexpr auto field_elements = [] {
    std::array<std::string_view, declaration<T>.field_count> names{};
    std::size_t i = 0;
    for_each_field(declaration<T>, [&](const auto& f) { names[i++] = f.element; });
    return names;
}();

// The strict delivery frame: built from the whole buffer, it rejects what it
// does not know. Passes over the version attribute and the "siri" namespace
// declarations; text fields take the last text of their element.
template <class G>
void build_frame(Store& store, const Buffer& buf, G& out) {
    constexpr const auto& d = declaration<G>;
    static constexpr const auto& expected = field_elements<G>;
    std::bitset<d.field_count> present;
    for (std::int32_t i = buf.first(); i >= 0; i = buf.node(i).next) {
        const BufferNode& n = buf.node(i);
        // An entry that an earlier group took is no longer there.
        if (n.taken) continue;
        if (Buffer::key_starts_with(n, "@xmlns:siri") || Buffer::key_starts_with(n, "@version")) continue;
        const int index = n.kind == BufferNode::Kind::Map ? d.find(n.key()) : -1;
        if (index < 0) unknown_field(buf.key_text(n), expected);
        // A later entry replaces an earlier one, also when it has no text.
        std::string_view text;
        const bool has_text = buf.last_text(n, text);
        present[static_cast<std::size_t>(index)] = has_text;
        with_field(d, static_cast<std::size_t>(index), [&](const auto& f) {
            auto& slot = out.*(f.member);
            using M = std::remove_cvref_t<decltype(slot)>;
            if constexpr (is_optional_v<M>) {
                // A text that is not a valid value leaves the field absent,
                // as an element without text does.
                slot.reset();
                typename optional_of<M>::type value{};
                if (has_text && try_leaf_from_text(store, text, value)) slot = std::move(value);
            } else {
                static_assert(std::is_same_v<M, Text>, "required frame fields are texts");
                if (has_text) slot = store.keep(text);
            }
        });
    }
    std::size_t k = 0;
    for_each_field(d, [&](const auto& f) {
        using M = typename std::remove_cvref_t<decltype(f)>::member_type;
        if constexpr (!is_optional_v<M>)
            if (!present[k]) missing_field(f.element);
        ++k;
    });
}

// An optional embedded group: takes the buffer's entries named like its
// fields, each read as that field's element would be; any failure leaves
// the group absent and is not reported.
template <class G>
std::optional<G> build_optional_group(Store& store, Buffer& buf) {
    constexpr const auto& d = declaration<G>;
    // Failures are the common case here, so they are plain returns.
    G g{};
    std::bitset<d.field_count> seen;
    std::string text;
    std::vector<std::int32_t> list_entries;
    for (std::int32_t i = buf.first(); i >= 0; i = buf.node(i).next) {
        BufferNode& n = buf.node(i);
        if (n.taken || n.kind != BufferNode::Kind::Map) continue;
        const int index = d.find(n.key());
        if (index < 0) continue;
        n.taken = true;
        bool ok = true;
        with_field(d, static_cast<std::size_t>(index), [&](const auto& f) {
            auto& slot = g.*(f.member);
            using M = std::remove_cvref_t<decltype(slot)>;
            using Inner = unwrap_optional_t<M>;
            if (!buf.leaf_text(n, text)) {
                ok = false;
            } else if constexpr (is_list_v<Inner>) {
                // Every entry of its name is an item; they are gathered
                // once the whole group has been found valid.
                using X = typename list_of<Inner>::type;
                if constexpr (std::is_same_v<X, Text>) {
                    list_entries.push_back(i);  // any text is one; kept below
                } else if constexpr (is_leaf_v<X>) {
                    X item{};
                    ok = try_leaf_from_text(store, text, item);
                    if (ok) list_entries.push_back(i);
                } else {
                    ok = false;
                }
            } else if constexpr (is_leaf_v<Inner>) {
                Inner value{};
                ok = !seen[static_cast<std::size_t>(index)] && try_leaf_from_text(store, text, value);
                if (ok) slot = std::move(value);
            } else {
                ok = false;
            }
        });
        if (!ok) return std::nullopt;
        seen[static_cast<std::size_t>(index)] = true;
    }
    bool complete = true;
    std::size_t k = 0;
    for_each_field(d, [&](const auto& f) {
        using M = std::remove_cvref_t<decltype(g.*(f.member))>;
        if constexpr (!is_optional_v<M>)
            if (!seen[k]) complete = false;
        ++k;
    });
    if (!complete) return std::nullopt;
    k = 0;
    for_each_field(d, [&](const auto& f) {
        using M = std::remove_cvref_t<decltype(g.*(f.member))>;
        using Inner = unwrap_optional_t<M>;
        if constexpr (is_list_v<Inner>) {
            using X = typename list_of<Inner>::type;
            std::vector<X> items;
            for (const std::int32_t e : list_entries) {
                const BufferNode& n = buf.node(e);
                if (d.find(n.key()) != static_cast<int>(k)) continue;
                X item{};
                buf.leaf_text(n, text);
                try_leaf_from_text(store, text, item);
                items.push_back(item);
            }
            if (!items.empty()) g.*(f.member) = store.keep_list(items.data(), items.size());
        }
        ++k;
    });
    return g;
}

// -------------------------------------------------------- value choices

// The alternative selected by `key`, or -1.
template <class V>
int select_alternative(std::string_view key) {
    for (const auto& [name, index] : declaration<V>.selectors)
        if (name == key) return index;
    return -1;
}

// Calls f(std::integral_constant<I>) for the run-time alternative index.
template <class V, class Fn>
void with_alternative(std::size_t alt, Fn&& f) {
    [&]<std::size_t... I>(std::index_sequence<I...>) {
        ((alt == I ? (f(std::integral_constant<std::size_t, I>{}), 0) : 0), ...);
    }(std::make_index_sequence<std::variant_size_v<V>>{});
}

template <class V>
void read_choice(Events& ev, const Event& start, V& out) {
    constexpr const auto& d = declaration<V>;
    static constexpr auto expected = selector_names<V>();
    if constexpr (d.mode == ChoiceMode::ChildElements) {
        {
            xml::Attributes attrs(start);
            std::string_view k, v;
            if (attrs.next(k, v)) invalid_string("@" + std::string(attribute_key(k)), "a borrowed string");
        }
        bool chosen = false;
        for (;;) {
            const Event e = ev.peek();
            if (e.kind == Kind::Start) {
                const std::string_view key = xml::local_name(e.name());
                const int alt = select_alternative<V>(key);
                if (alt < 0) unknown_field(key, expected);
                const Event s = ev.next();
                with_alternative<V>(static_cast<std::size_t>(alt),
                                    [&](auto i) { read_item(ev, s, out.template emplace<i.value>()); });
                chosen = true;
            } else if (e.kind == Kind::Text) {
                unknown_field("$text", expected);
            } else if (e.kind == Kind::End) {
                ev.next();
                break;
            } else {
                xml::missed_end(start.name());
            }
        }
        if (!chosen) throw_error(std::string(d.missing));
    } else if constexpr (d.mode == ChoiceMode::Text) {
        // The text names the alternative and supplies no value for it.
        std::string_view text = ev.read_text(start.name());
        if (text.empty()) text = "$text";
        const int alt = select_alternative<V>(text);
        if (alt < 0) unknown_variant(text, expected);
        with_alternative<V>(static_cast<std::size_t>(alt), [&](auto i) {
            using A = std::variant_alternative_t<i.value, V>;
            if constexpr (std::is_same_v<A, Unit>) {
                out.template emplace<i.value>();
            } else if constexpr (std::is_same_v<A, Text>) {
                invalid_type("unit value", "a string");
            } else {
                invalid_type("unit value", declaration<A>.expecting);
            }
        });
    } else {
        // The first child element names the alternative and holds its value;
        // the element's own text and any further children are passed over.
        bool chosen = false;
        for (;;) {
            const Event e = ev.next();
            if (e.kind == Kind::Start) {
                if (chosen) {
                    ev.read_to_end(e.name());
                    continue;
                }
                const std::string_view key = xml::local_name(e.name());
                const int alt = select_alternative<V>(key);
                if (alt < 0) unknown_variant(key, expected);
                with_alternative<V>(static_cast<std::size_t>(alt), [&](auto i) {
                    using A = std::variant_alternative_t<i.value, V>;
                    if constexpr (std::is_same_v<A, Unit>) {
                        out.template emplace<i.value>();
                        ev.read_to_end(e.name());
                    } else {
                        read_item(ev, e, out.template emplace<i.value>());
                    }
                });
                chosen = true;
            } else if (e.kind == Kind::End) {
                break;
            } else if (e.kind == Kind::Eof) {
                xml::missed_end(start.name());
            }
        }
        if (!chosen) unknown_variant("$text", expected);
    }
}

// ------------------------------------------------------------- records

// Reads field I of a T, whose element start has been peeked.
template <class T, std::size_t I>
void read_field(Events& ev, T& out) {
    read_value(ev, out.*(std::get<I>(declaration<T>.fields).member));
}

// One reader per field of T, by field index: a field is dispatched in one
// step. Group fields have no element of their own and no reader.
template <class T>
inline constexpr auto field_readers = []<std::size_t... I>(std::index_sequence<I...>) {
    using Fields = std::remove_cvref_t<decltype(declaration<T>.fields)>;
    return std::array<void (*)(Events&, T&), sizeof...(I)>{
        (std::tuple_element_t<I, Fields>::is_group ? nullptr : &read_field<T, I>)...};
}(std::make_index_sequence<declaration<T>.field_count>{});

template <class T>
void read_record(Events& ev, const Event& start, T& out) {
    constexpr const auto& d = declaration<T>;
    if constexpr (d.shape == Shape::Wrapper) {
        auto& slot = out.*(std::get<0>(d.fields).member);
        read_item(ev, start, slot);
    } else {
        constexpr bool buffered = std::remove_cvref_t<decltype(d)>::buffered;
        std::bitset<d.field_count> seen;
        [[maybe_unused]] std::conditional_t<buffered, Buffer, char> buf{};
        if (start.data.size() > start.name_len) {
            // Attributes are never fields, but their syntax is checked.
            xml::Attributes attrs(start);
            std::string_view k, v;
            while (attrs.next(k, v))
                if constexpr (buffered) buf.add_attribute(k, v);
        }
        for (;;) {
            const Event e = ev.peek();
            if (e.kind == Kind::Start) {
                const int index = d.find(xml::local_name(e.name()));
                if (index >= 0) {
                    const auto i = static_cast<std::size_t>(index);
                    if (seen[i]) duplicate_field(field_elements<T>[i]);
                    seen[i] = true;
                    field_readers<T>[i](ev, out);
                } else {
                    ev.next();
                    if constexpr (buffered) {
                        buf.add_child(ev, e);
                    } else {
                        ev.read_to_end(e.name());
                    }
                }
            } else if (e.kind == Kind::Text) {
                ev.next();
                if constexpr (buffered) buf.add_text(e.data);
            } else if (e.kind == Kind::End) {
                ev.next();
                break;
            } else {
                xml::missed_end(start.name());
            }
        }
        std::size_t k = 0;
        for_each_field(d, [&](const auto& f) {
            using F = std::remove_cvref_t<decltype(f)>;
            using M = typename F::member_type;
            if constexpr (!F::is_group && !is_optional_v<M>)
                if (!seen[k]) missing_field(f.element);
            ++k;
        });
        if constexpr (buffered) {
            for_each_field(d, [&](const auto& f) {
                using F = std::remove_cvref_t<decltype(f)>;
                using M = typename F::member_type;
                if constexpr (F::is_group) {
                    if constexpr (is_optional_v<M>) {
                        out.*(f.member) = build_optional_group<typename optional_of<M>::type>(ev.store, buf);
                    } else {
                        build_frame(ev.store, buf, out.*(f.member));
                    }
                }
            });
        }
    }
}

// The root element read as the record T: "unexpected `Event::Eof`" for a
// document without one, the invalid-type error for text before it.
template <class T>
Parsed<T> read_root(std::string_view text) {
    auto store = std::make_shared<Store>(text.size());
    Events ev(text, *store);
    const Event e = ev.next();
    if (e.kind == Kind::Eof) unexpected_eof();
    if (e.kind == Kind::Text) invalid_string(e.data, declaration<T>.expecting);
    if (e.kind != Kind::Start) unexpected_eof();
    Parsed<T> out{T{}, std::move(store)};
    read_record(ev, e, out.value);
    ev.store.finish();
    return out;
}

}  // namespace quorvane::binding
