#include "binding/read.hpp"

namespace quorvane::binding {
namespace {

// Optional sign (when allowed), then one or more ASCII digits; false on
// anything else or when the magnitude exceeds `limit`.
bool parse_decimal(std::string_view t, bool allow_minus, std::uint64_t limit_pos, std::uint64_t limit_neg,
                   bool& negative, std::uint64_t& value) {
    negative = false;
    std::size_t i = 0;
    if (i < t.size() && (t[i] == '+' || (allow_minus && t[i] == '-'))) {
        negative = t[i] == '-';
        ++i;
    }
    if (i >= t.size()) return false;
    const std::uint64_t limit = negative ? limit_neg : limit_pos;
    value = 0;
    for (; i < t.size(); ++i) {
        const char c = t[i];
        if (c < '0' || c > '9') return false;
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
        if (value > limit) return false;
    }
    return true;
}

}  // namespace

std::uint32_t parse_u32(std::string_view text) {
    bool negative;
    std::uint64_t value;
    if (!parse_decimal(text, false, 0xFFFFFFFFu, 0, negative, value)) invalid_string(text, "u32");
    return static_cast<std::uint32_t>(value);
}

std::int32_t parse_i32(std::string_view text) {
    bool negative;
    std::uint64_t value;
    if (!parse_decimal(text, true, 0x7FFFFFFFu, 0x80000000u, negative, value)) invalid_string(text, "i32");
    return negative ? static_cast<std::int32_t>(-static_cast<std::int64_t>(value)) : static_cast<std::int32_t>(value);
}

bool parse_flag(std::string_view text) {
    if (text == "true" || text == "1") return true;
    if (text == "false" || text == "0") return false;
    invalid_string(text, "a boolean");
}

std::size_t match_variant(std::string_view text, std::span<const std::string_view> texts) {
    if (text.empty()) text = "$text";
    for (std::size_t i = 0; i < texts.size(); ++i)
        if (texts[i] == text) return i;
    unknown_variant(text, texts);
}

}  // namespace quorvane::binding
