// The binding messages, built in one place so that every text is exact.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace quorvane::binding {

// "`a`", "`a` or `b`", "one of `a`, `b`, `c`".
std::string name_list(std::span<const std::string_view> names);

[[noreturn]] void missing_field(std::string_view element);
[[noreturn]] void duplicate_field(std::string_view element);
[[noreturn]] void unknown_field(std::string_view key, std::span<const std::string_view> expected);
[[noreturn]] void unknown_variant(std::string_view text, std::span<const std::string_view> expected);
// "invalid type: string \"<text escaped>\", expected <what>".
[[noreturn]] void invalid_string(std::string_view text, std::string_view what);
// "invalid type: <unexpected>, expected <what>", the unexpected part given whole.
[[noreturn]] void invalid_type(std::string_view unexpected, std::string_view what);
[[noreturn]] void unexpected_eof();

}  // namespace quorvane::binding
