#pragma once

#include "binding/declare.hpp"

namespace quorvane {

// How far the handling of a situation has come.
enum class ProgressStatus : unsigned char { Open, Published, Closed };

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<ProgressStatus> = enumeration<ProgressStatus>({
    {"open", "Open"},
    {"published", "Published"},
    {"closed", "Closed"},
});

}  // namespace quorvane::binding
