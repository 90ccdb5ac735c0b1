#pragma once

#include <optional>

#include "binding/declare.hpp"
#include "enums/end_time_precision.hpp"
#include "enums/end_time_status.hpp"

namespace quorvane {

// A time span; both times are plain texts, their form is not checked.
struct ValidityPeriod {
    Text start_time;
    Text end_time;
    std::optional<EndTimeStatus> end_time_status;
    std::optional<EndTimePrecision> end_time_precision;
};

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<ValidityPeriod> = record<ValidityPeriod, "ValidityPeriod">(
    field("start_time", &ValidityPeriod::start_time, "StartTime"),
    field("end_time", &ValidityPeriod::end_time, "EndTime"),
    field("end_time_status", &ValidityPeriod::end_time_status, "EndTimeStatus"),
    field("end_time_precision", &ValidityPeriod::end_time_precision, "EndTimePrecision"));

}  // namespace quorvane::binding
