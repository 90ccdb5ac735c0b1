#pragma once

#include "binding/declare.hpp"

namespace quorvane {

enum class EndTimePrecision : unsigned char { Second, Minute, Hour, Day };

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<EndTimePrecision> = enumeration<EndTimePrecision>({
    {"second", "Second"},
    {"minute", "Minute"},
    {"hour", "Hour"},
    {"day", "Day"},
});

}  // namespace quorvane::binding
