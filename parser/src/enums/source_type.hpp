#pragma once

#include "binding/declare.hpp"

namespace quorvane {

// How a situation was reported. "tV" is the exact text; it renders `TV`.
enum class SourceType : unsigned char { DirectReport, Email, Phone, Post, Feed, Radio, TV, Web, Text, Other };

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<SourceType> = enumeration<SourceType>({
    {"directReport", "DirectReport"},
    {"email", "Email"},
    {"phone", "Phone"},
    {"post", "Post"},
    {"feed", "Feed"},
    {"radio", "Radio"},
    {"tV", "TV"},
    {"web", "Web"},
    {"text", "Text"},
    {"other", "Other"},
});

}  // namespace quorvane::binding
