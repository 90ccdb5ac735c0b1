#pragma once

#include "binding/declare.hpp"
#include "structures/distributor_info.hpp"

namespace quorvane {

// A cancelled distributor departure.
struct DistributorDepartureCancellation {
    Text recorded_at_time;
    OptRecord<DistributorInfo> distributor_info;
    OptText reason;
};

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<DistributorDepartureCancellation> =
    record<DistributorDepartureCancellation, "DistributorDepartureCancellation">(
        field("recorded_at_time", &DistributorDepartureCancellation::recorded_at_time, "RecordedAtTime"),
        field("distributor_info", &DistributorDepartureCancellation::distributor_info, "DistributorInfo"),
        field("reason", &DistributorDepartureCancellation::reason, "Reason"));

}  // namespace quorvane::binding
