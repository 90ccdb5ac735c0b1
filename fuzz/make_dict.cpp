// Writes a libFuzzer dictionary of every element name, alias, choice text
// and selecting name the declarations hold, walking from the envelope.
#include <cstdio>
#include <set>
#include <string>
#include <string_view>
#include <variant>

#include "siri.hpp"

namespace {

using namespace quorvane::binding;

std::set<std::string> words;

template <class V>
void collect();

template <class V>
void collect_value() {
    using T = unwrap_optional_t<V>;
    if constexpr (is_list_v<T>) {
        collect_value<typename list_of<T>::type>();
    } else {
        collect<T>();
    }
}

template <class V, std::size_t... I>
void collect_alternatives(std::index_sequence<I...>) {
    (collect_value<std::variant_alternative_t<I, V>>(), ...);
}

template <class V>
void collect() {
    if constexpr (is_record_v<V>) {
        for_each_field(declaration<V>, [](const auto& f) {
            if (!f.element.empty()) words.emplace(f.element);
            for (auto a : f.aliases) words.emplace(a);
            collect_value<typename std::remove_cvref_t<decltype(f)>::member_type>();
        });
    } else if constexpr (is_enum_v<V>) {
        for (auto t : declaration<V>.texts) words.emplace(t);
    } else if constexpr (is_variant_v<V>) {
        for (const auto& s : declaration<V>.selectors) words.emplace(s.first);
        collect_alternatives<V>(std::make_index_sequence<std::variant_size_v<V>>{});
    }
}

}  // namespace

int main() {
    collect<quorvane::Envelope>();
    for (const auto& w : words) {
        std::printf("\"<%s>\"\n\"</%s>\"\n", w.c_str(), w.c_str());
    }
    for (const char* m : {"<![CDATA[", "]]>", "<!--", "-->", "<?xml ", "?>", "<!DOCTYPE ", "&amp;", "&#x",
                          "xmlns:siri=", "version=", "/>"}) {
        std::printf("\"%s\"\n", m);
    }
    return 0;
}
