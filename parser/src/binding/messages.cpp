#include "binding/messages.hpp"

#include "binding/render.hpp"
#include "xml/error.hpp"

namespace quorvane::binding {

std::string name_list(std::span<const std::string_view> names) {
    std::string s;
    if (names.size() == 1) {
        s.append("`").append(names[0]).append("`");
    } else if (names.size() == 2) {
        s.append("`").append(names[0]).append("` or `").append(names[1]).append("`");
    } else {
        s = "one of ";
        for (std::size_t i = 0; i < names.size(); ++i) {
            if (i) s += ", ";
            s.append("`").append(names[i]).append("`");
        }
    }
    return s;
}

void missing_field(std::string_view element) {
    throw_error("missing field `" + std::string(element) + "`");
}

void duplicate_field(std::string_view element) {
    throw_error("duplicate field `" + std::string(element) + "`");
}

void unknown_field(std::string_view key, std::span<const std::string_view> expected) {
    throw_error("unknown field `" + std::string(key) + "`, expected " + name_list(expected));
}

void unknown_variant(std::string_view text, std::span<const std::string_view> expected) {
    throw_error("unknown variant `" + std::string(text) + "`, expected " + name_list(expected));
}

void invalid_string(std::string_view text, std::string_view what) {
    std::string s = "invalid type: string ";
    append_quoted(s, text);
    s.append(", expected ").append(what);
    throw_error(std::move(s));
}

void invalid_type(std::string_view unexpected, std::string_view what) {
    throw_error("invalid type: " + std::string(unexpected) + ", expected " + std::string(what));
}

void unexpected_eof() { throw_error("unexpected `Event::Eof`"); }


}  // namespace quorvane::binding
