// Record and choice declarations.
//
// Every record type is declared once, next to its struct:
//
//   template <> inline constexpr auto declaration<FramedVehicleJourneyRef> =
//       record<FramedVehicleJourneyRef>("FramedVehicleJourneyRef",
//           field("data_frame_ref", &FramedVehicleJourneyRef::data_frame_ref, "DataFrameRef"),
//           field("dated_vehicle_journey_ref", &FramedVehicleJourneyRef::dated_vehicle_journey_ref,
//                 "DatedVehicleJourneyRef"));
//
// The member's type gives the kind and the presence: Text, uint32_t,
// int32_t, bool, a declared enum or a declared record; std::optional<X> (or
// OptText, OptRecord<X>) for an optional field, List<X> for a list (an
// element run). `group(...)` declares an embedded group read from the
// holder's leftover buffer; a record with one is read in buffer mode. The
// same declaration drives reading (read.hpp) and rendering (render.hpp).
// Records are plain values whose texts, lists and optional records live in
// their document's store (store.hpp), so a copy is the C++ copy and shares
// them.
#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string_view>
#include <tuple>
#include <type_traits>
#include <utility>

#include "binding/store.hpp"

namespace quorvane::binding {

// ------------------------------------------------------------ type traits

// `type` is the value type: T itself when T is not optional.
template <class T>
struct optional_of {
    static constexpr bool value = false;
    using type = T;
};
template <class T>
struct optional_of<std::optional<T>> {
    static constexpr bool value = true;
    using type = T;
};
template <>
struct optional_of<OptText> {
    static constexpr bool value = true;
    using type = Text;
};
template <class R>
struct optional_of<OptRecord<R>> {
    static constexpr bool value = true;
    using type = R;
};
template <class T>
inline constexpr bool is_opt_record_v = false;
template <class R>
inline constexpr bool is_opt_record_v<OptRecord<R>> = true;
template <class T>
inline constexpr bool is_optional_v = optional_of<T>::value;
// The value type of an optional, or the type itself.
template <class T>
using unwrap_optional_t = typename optional_of<T>::type;

template <class T>
struct list_of {
    static constexpr bool value = false;
};
template <class T>
struct list_of<List<T>> {
    static constexpr bool value = true;
    using type = T;
};
template <class T>
inline constexpr bool is_list_v = list_of<T>::value;

// For a static_assert in a branch that no declared type reaches.
template <class T>
inline constexpr bool always_false_v = false;

// The declarations. A type without one has the value `undeclared`.
struct Undeclared {};
inline constexpr Undeclared undeclared{};

template <class T>
inline constexpr auto declaration = undeclared;

template <class T>
inline constexpr bool is_declared_v =
    !std::is_same_v<std::remove_cvref_t<decltype(declaration<T>)>, Undeclared>;

// -------------------------------------------------------------- enums

// A choice read from an element's text: the XML texts and, in the same
// order, the names that the rendering prints. The enum's values are the
// indices 0..N-1.
template <class E, std::size_t N>
struct EnumDecl {
    std::array<std::string_view, N> texts;
    std::array<std::string_view, N> names;
    static constexpr bool is_enum = true;
};

template <class E, std::size_t N>
constexpr EnumDecl<E, N> enumeration(const std::pair<std::string_view, std::string_view> (&alts)[N]) {
    EnumDecl<E, N> d{};
    for (std::size_t i = 0; i < N; ++i) {
        d.texts[i] = alts[i].first;
        d.names[i] = alts[i].second;
    }
    return d;
}

template <class T, class = void>
struct is_enum_decl : std::false_type {};
template <class T>
struct is_enum_decl<T, std::enable_if_t<std::remove_cvref_t<decltype(declaration<T>)>::is_enum>> : std::true_type {};

// -------------------------------------------------------------- records

enum class FieldRole : std::uint8_t { Element, Group };

template <class T, class M, std::size_t NA, FieldRole Role>
struct Field {
    using owner = T;
    using member_type = M;
    static constexpr std::size_t alias_count = NA;
    static constexpr bool is_group = Role == FieldRole::Group;

    std::string_view name;     // the field name, as rendered
    M T::*member;
    std::string_view element;  // primary element name (messages use it); empty for a group
    std::array<std::string_view, NA> aliases;
};

template <class T, class M, class... A>
constexpr auto field(std::string_view name, M T::*member, std::string_view element, A... aliases) {
    return Field<T, M, sizeof...(A), FieldRole::Element>{name, member, element, {std::string_view(aliases)...}};
}

// An embedded group: its fields stand among the holder's own children and
// are taken from the holder's leftover buffer after its end tag. A required
// group is the strict delivery frame; an optional one is lenient.
template <class T, class M>
constexpr auto group(std::string_view name, M T::*member) {
    return Field<T, M, 0, FieldRole::Group>{name, member, {}, {}};
}

struct Key {
    std::string_view text;
    std::uint16_t field;
};

// The keys of a record (element names and aliases) and a perfect hash over
// them, found at compile time: a key is identified by one multiply and one
// comparison. A record whose keys no seed separates (two equal keys, or
// keys alike in every sampled byte) fails to compile.
template <std::size_t N>
struct KeyIndex {
    static constexpr std::size_t table_size = std::bit_ceil(N * 4 + 2);
    static constexpr int table_bits = std::countr_zero(table_size);

    std::array<Key, N> keys{};
    // 1 + the key's position in `keys`, or 0.
    std::array<std::uint8_t, table_size> slots{};
    std::uint64_t seed = 0;

    // A few bytes of the key and its length in one word.
    static constexpr std::uint64_t sample(std::string_view k) {
        const std::size_t n = k.size();
        if (n == 0) return 0;
        const auto at = [&](std::size_t i) { return static_cast<std::uint64_t>(static_cast<unsigned char>(k[i])); };
        return n | at(0) << 24 | at(n > 1 ? 1 : 0) << 32 | at(n - 1) << 40 | at(n / 2) << 48;
    }
    constexpr std::size_t slot_of(std::string_view k) const {
        return static_cast<std::size_t>((sample(k) * seed) >> (64 - table_bits));
    }

    constexpr void build() {
        static_assert(N < 255, "a record's keys are counted in a byte");
        std::uint64_t candidate = 0x9E3779B97F4A7C15ull;
        for (int attempt = 0; attempt < 4096; ++attempt) {
            candidate = candidate * 6364136223846793005ull + 1442695040888963407ull;
            seed = candidate | 1;
            slots = {};
            bool clash = false;
            for (std::size_t i = 0; i < N && !clash; ++i) {
                auto& slot = slots[slot_of(keys[i].text)];
                clash = slot != 0;
                slot = static_cast<std::uint8_t>(i + 1);
            }
            if (!clash) return;
        }
        throw "no perfect hash separates these keys: sample more of their bytes";
    }

    // Whether two keys are equal: sizes, then words; keys are short.
    static constexpr bool same(std::string_view a, std::string_view b) {
        if (a.size() != b.size()) return false;
        if (std::is_constant_evaluated()) return a == b;
        std::size_t i = 0;
        for (; i + 8 <= a.size(); i += 8) {
            std::uint64_t x, y;
            std::memcpy(&x, a.data() + i, 8);
            std::memcpy(&y, b.data() + i, 8);
            if (x != y) return false;
        }
        for (; i < a.size(); ++i)
            if (a[i] != b[i]) return false;
        return true;
    }

    // The field whose element name or alias is exactly `key`, or -1.
    constexpr int find(std::string_view key) const {
        const std::uint8_t slot = slots[slot_of(key)];
        if (slot != 0 && same(keys[slot - 1].text, key)) return keys[slot - 1].field;
        return -1;
    }
};

enum class Shape : std::uint8_t { Fields, Wrapper };

template <class T, class... F>
struct RecordDecl {
    static constexpr bool is_enum = false;
    static constexpr bool is_record = true;
    static constexpr std::size_t field_count = sizeof...(F);
    static constexpr std::size_t key_count = ((F::is_group ? 0 : 1 + F::alias_count) + ... + 0);
    static constexpr bool buffered = (F::is_group || ...);

    std::string_view type_name;
    std::string_view expecting;  // "struct " + type name, for the invalid-type message
    Shape shape;
    std::tuple<F...> fields;
    // Primary names and aliases.
    KeyIndex<key_count> index;

    // The field whose element name or alias is exactly `key`, or -1.
    constexpr int find(std::string_view key) const { return index.find(key); }
};

namespace detail {

template <class FieldT>
constexpr void add_keys(std::size_t index, const FieldT& f, Key* out, std::size_t& n) {
    if constexpr (!FieldT::is_group) {
        out[n++] = Key{f.element, static_cast<std::uint16_t>(index)};
        for (auto a : f.aliases) out[n++] = Key{a, static_cast<std::uint16_t>(index)};
    }
}

}  // namespace detail

// The type name must be a string literal that outlives the declaration; the
// expecting text is kept beside it.
template <class T, class... F>
constexpr RecordDecl<T, F...> make_record(std::string_view type_name, std::string_view expecting, Shape shape,
                                          F... fields) {
    RecordDecl<T, F...> d{type_name, expecting, shape, std::tuple<F...>{fields...}, {}};
    [[maybe_unused]] std::size_t n = 0;
    [[maybe_unused]] std::size_t index = 0;
    ((detail::add_keys(index++, fields, d.index.keys.data(), n)), ...);
    d.index.build();
    return d;
}

// A fixed-capacity text for the expecting text "struct <Name>", built at
// compile time from the type name literal.
template <std::size_t N>
struct StructName {
    char text[N + 7]{};
    constexpr StructName(const char (&name)[N]) {
        constexpr char prefix[] = "struct ";
        for (std::size_t i = 0; i < 7; ++i) text[i] = prefix[i];
        for (std::size_t i = 0; i < N; ++i) text[7 + i] = name[i];
    }
    constexpr std::string_view view() const { return std::string_view(text, N + 6); }
    constexpr std::string_view name() const { return std::string_view(text + 7, N - 1); }
};

template <StructName S>
inline constexpr auto struct_name = S;

template <class T, StructName S, class... F>
constexpr auto record(F... fields) {
    return make_record<T>(struct_name<S>.name(), struct_name<S>.view(), Shape::Fields, fields...);
}

// A record holding one unnamed value, rendered `Name(value)`.
template <class T, StructName S, class M>
constexpr auto wrapper(M T::*member) {
    return make_record<T>(struct_name<S>.name(), struct_name<S>.view(), Shape::Wrapper,
                          Field<T, M, 0, FieldRole::Element>{{}, member, {}, {}});
}

// Another record's fields under a type name of its own; T derives from that
// record, so its member pointers apply.
template <class T, StructName S, class Base, class... F>
constexpr RecordDecl<T, F...> same_fields_as(const RecordDecl<Base, F...>& base) {
    static_assert(std::is_base_of_v<Base, T>);
    return RecordDecl<T, F...>{struct_name<S>.name(), struct_name<S>.view(), base.shape, base.fields, base.index};
}

template <class T, class = void>
struct is_record_decl : std::false_type {};
template <class T>
struct is_record_decl<T, std::enable_if_t<std::remove_cvref_t<decltype(declaration<T>)>::is_record>>
    : std::true_type {};

template <class T>
inline constexpr bool is_record_v = is_record_decl<T>::value;
template <class T>
inline constexpr bool is_enum_v = is_enum_decl<T>::value;

// Calls f(field) for the field at run-time index `i`.
template <class Decl, class Fn>
constexpr void with_field(const Decl& d, std::size_t i, Fn&& f) {
    std::apply(
        [&](const auto&... fs) {
            std::size_t k = 0;
            ((k++ == i ? (f(fs), 0) : 0), ...);
        },
        d.fields);
}

template <class Decl, class Fn>
constexpr void for_each_field(const Decl& d, Fn&& f) {
    std::apply([&](const auto&... fs) { (f(fs), ...); }, d.fields);
}

// ------------------------------------------------------- value choices

// The alternative of a value choice that holds nothing; renders as its name.
struct Unit {};

// How a value choice picks its alternative:
//  - ChildElements: each child element of the choice's element names one
//    (the last counts); attributes, text and other children are rejected.
//  - Text: the element's text names one.
//  - FirstChild: the local name of the element's first child element names
//    one, and that child holds the alternative's value.
enum class ChoiceMode : std::uint8_t { ChildElements, Text, FirstChild };

// A choice whose alternatives may hold values (a std::variant), each with
// its rendered name, and the names that select them.
template <class V, std::size_t N, std::size_t S>
struct VariantDecl {
    static constexpr bool is_enum = false;
    static constexpr bool is_record = false;
    static constexpr bool is_variant = true;
    ChoiceMode mode;
    std::array<std::string_view, N> names;
    // (selecting name, alternative), in the order the messages list them.
    std::array<std::pair<std::string_view, std::uint8_t>, S> selectors;
    // ChildElements: the error when no child chooses an alternative.
    std::string_view missing{};
};

template <class T, class = void>
struct is_variant_decl : std::false_type {};
template <class T>
struct is_variant_decl<T, std::enable_if_t<std::remove_cvref_t<decltype(declaration<T>)>::is_variant>>
    : std::true_type {};
template <class T>
inline constexpr bool is_variant_v = is_variant_decl<T>::value;

// The selecting names of a value choice, in message order.
template <class V>
constexpr auto selector_names() {
    constexpr const auto& d = declaration<V>;
    std::array<std::string_view, d.selectors.size()> names{};
    for (std::size_t i = 0; i < names.size(); ++i) names[i] = d.selectors[i].first;
    return names;
}

}  // namespace quorvane::binding
