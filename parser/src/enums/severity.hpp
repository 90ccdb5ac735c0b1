#pragma once

#include "binding/declare.hpp"

namespace quorvane {

// How badly a consequence affects the service.
enum class Severity : unsigned char { Unknown, Slight, Normal, Severe, NoImpact, Undefined };

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<Severity> = enumeration<Severity>({
    {"unknown", "Unknown"},
    {"slight", "Slight"},
    {"normal", "Normal"},
    {"severe", "Severe"},
    {"noImpact", "NoImpact"},
    {"undefined", "Undefined"},
});

}  // namespace quorvane::binding
