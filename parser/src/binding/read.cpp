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

bool try_parse_u32(std::string_view text, std::uint32_t& out) {
    bool negative;
    std::uint64_t value;
    if (!parse_decimal(text, false, 0xFFFFFFFFu, 0, negative, value)) return false;
    out = static_cast<std::uint32_t>(value);
    return true;
}

bool try_parse_i32(std::string_view text, std::int32_t& out) {
    bool negative;
    std::uint64_t value;
    if (!parse_decimal(text, true, 0x7FFFFFFFu, 0x80000000u, negative, value)) return false;
    out = negative ? static_cast<std::int32_t>(-static_cast<std::int64_t>(value)) : static_cast<std::int32_t>(value);
    return true;
}

bool try_parse_flag(std::string_view text, bool& out) {
    if (text == "true" || text == "1") {
        out = true;
    } else if (text == "false" || text == "0") {
        out = false;
    } else {
        return false;
    }
    return true;
}

int find_variant(std::string_view text, std::span<const std::string_view> texts) {
    if (text.empty()) text = "$text";
    for (std::size_t i = 0; i < texts.size(); ++i)
        if (texts[i] == text) return static_cast<int>(i);
    return -1;
}

std::uint32_t parse_u32(std::string_view text) {
    std::uint32_t value;
    if (!try_parse_u32(text, value)) invalid_string(text, "u32");
    return value;
}

std::int32_t parse_i32(std::string_view text) {
    std::int32_t value;
    if (!try_parse_i32(text, value)) invalid_string(text, "i32");
    return value;
}

bool parse_flag(std::string_view text) {
    bool value;
    if (!try_parse_flag(text, value)) invalid_string(text, "a boolean");
    return value;
}

std::size_t match_variant(std::string_view text, std::span<const std::string_view> texts) {
    const int i = find_variant(text, texts);
    if (i < 0) unknown_variant(text.empty() ? "$text" : text, texts);
    return static_cast<std::size_t>(i);
}

}  // namespace quorvane::binding
