#pragma once

#include "binding/declare.hpp"

namespace quorvane {

enum class EndTimeStatus : unsigned char { Undefined, LongTerm, ShortTerm };

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<EndTimeStatus> = enumeration<EndTimeStatus>({
    {"undefined", "Undefined"},
    {"longTerm", "LongTerm"},
    {"shortTerm", "ShortTerm"},
});

}  // namespace quorvane::binding
