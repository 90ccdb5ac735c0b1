#pragma once

#include "binding/declare.hpp"

namespace quorvane {

// Whether a publishing action is in force.
enum class ActionStatus : unsigned char { Unknown, Active, Inactive };

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<ActionStatus> = enumeration<ActionStatus>({
    {"unknown", "Unknown"},
    {"active", "Active"},
    {"inactive", "Inactive"},
});

}  // namespace quorvane::binding
