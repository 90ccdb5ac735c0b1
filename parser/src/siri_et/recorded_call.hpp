#pragma once

#include <cstdint>
#include <optional>

#include "binding/declare.hpp"
#include "enums/occupancy.hpp"
#include "siri_et/arrival_info.hpp"
#include "siri_et/departure_info.hpp"
#include "siri_et/disruption_group.hpp"
#include "siri_et/expected_departure_capacity.hpp"
#include "siri_et/expected_departure_occupancy.hpp"

namespace quorvane {

// A call already made, its arrival and departure data in nested records.
struct RecordedCall {
    Text stop_point_ref;
    std::uint32_t order;
    OptText stop_point_name;
    std::optional<bool> extra_call;
    std::optional<bool> cancellation;
    std::optional<Occupancy> occupancy;
    std::optional<bool> platform_traversal;
    OptRecord<DisruptionGroup> disruption_group;
    OptRecord<ArrivalInfo> arrival;
    OptRecord<DepartureInfo> departure;
    OptRecord<ExpectedDepartureOccupancy> expected_departure_occupancy;
    OptRecord<ExpectedDepartureCapacity> expected_departure_capacity;
};

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<RecordedCall> = record<RecordedCall, "RecordedCall">(
    field("stop_point_ref", &RecordedCall::stop_point_ref, "StopPointRef"),
    field("order", &RecordedCall::order, "Order"),
    field("stop_point_name", &RecordedCall::stop_point_name, "StopPointName"),
    field("extra_call", &RecordedCall::extra_call, "ExtraCall"),
    field("cancellation", &RecordedCall::cancellation, "Cancellation"),
    field("occupancy", &RecordedCall::occupancy, "Occupancy"),
    field("platform_traversal", &RecordedCall::platform_traversal, "PlatformTraversal"),
    field("disruption_group", &RecordedCall::disruption_group, "DisruptionGroup"),
    field("arrival", &RecordedCall::arrival, "Arrival"),
    field("departure", &RecordedCall::departure, "Departure"),
    field("expected_departure_occupancy", &RecordedCall::expected_departure_occupancy, "ExpectedDepartureOccupancy"),
    field("expected_departure_capacity", &RecordedCall::expected_departure_capacity, "ExpectedDepartureCapacity"));

}  // namespace quorvane::binding
