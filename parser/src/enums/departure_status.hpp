#pragma once

#include "binding/declare.hpp"

namespace quorvane {

enum class DepartureStatus : unsigned char { OnTime, Early, Delayed, Cancelled, Arrived, Departed, NotExpected, NoReport };

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<DepartureStatus> = enumeration<DepartureStatus>({
    {"onTime", "OnTime"},
    {"early", "Early"},
    {"delayed", "Delayed"},
    {"cancelled", "Cancelled"},
    {"arrived", "Arrived"},
    {"departed", "Departed"},
    {"notExpected", "NotExpected"},
    {"noReport", "NoReport"},
});

}  // namespace quorvane::binding
