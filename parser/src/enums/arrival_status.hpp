#pragma once

#include "binding/declare.hpp"

namespace quorvane {

enum class ArrivalStatus : unsigned char { OnTime, Missed, Arrived, NotExpected, Delayed, Early, Cancelled, NoReport };

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<ArrivalStatus> = enumeration<ArrivalStatus>({
    {"onTime", "OnTime"},
    {"missed", "Missed"},
    {"arrived", "Arrived"},
    {"notExpected", "NotExpected"},
    {"delayed", "Delayed"},
    {"early", "Early"},
    {"cancelled", "Cancelled"},
    {"noReport", "NoReport"},
});

}  // namespace quorvane::binding
