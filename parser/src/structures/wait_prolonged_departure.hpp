#pragma once

#include "binding/declare.hpp"
#include "structures/distributor_info.hpp"

namespace quorvane {

// A distributor departure held back for a feeder.
struct WaitProlongedDeparture {
    Text recorded_at_time;
    OptRecord<DistributorInfo> distributor_info;
    OptText expected_departure_time;
};

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<WaitProlongedDeparture> = record<WaitProlongedDeparture, "WaitProlongedDeparture">(
    field("recorded_at_time", &WaitProlongedDeparture::recorded_at_time, "RecordedAtTime"),
    field("distributor_info", &WaitProlongedDeparture::distributor_info, "DistributorInfo"),
    field("expected_departure_time", &WaitProlongedDeparture::expected_departure_time, "ExpectedDepartureTime"));

}  // namespace quorvane::binding
