#pragma once

#include <cstdint>
#include <optional>

#include "binding/declare.hpp"
#include "enums/arrival_status.hpp"
#include "enums/boarding_activity.hpp"
#include "enums/departure_status.hpp"
#include "enums/occupancy.hpp"

namespace quorvane {

// A call still to come, its arrival and departure data flat. Unlike the
// journey's, `Cancellation` here is a flag; `ArrivalStopAssignment` is text.
struct EstimatedCall {
    OptText stop_point_ref;
    std::optional<std::uint32_t> order;
    OptText stop_point_name;
    std::optional<bool> extra_call;
    std::optional<bool> cancellation;
    std::optional<Occupancy> occupancy;
    std::optional<bool> platform_traversal;
    OptText destination_display;
    OptText aimed_arrival_time;
    OptText expected_arrival_time;
    std::optional<ArrivalStatus> arrival_status;
    std::optional<List<Text>> arrival_proximity_text;
    OptText arrival_platform_name;
    OptText arrival_stop_assignment;
    OptText aimed_quay_name;
    OptText aimed_departure_time;
    OptText expected_departure_time;
    std::optional<DepartureStatus> departure_status;
    OptText departure_platform_name;
    std::optional<BoardingActivity> departure_boarding_activity;
};

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<EstimatedCall> = record<EstimatedCall, "EstimatedCall">(
    field("stop_point_ref", &EstimatedCall::stop_point_ref, "StopPointRef"),
    field("order", &EstimatedCall::order, "Order"),
    field("stop_point_name", &EstimatedCall::stop_point_name, "StopPointName"),
    field("extra_call", &EstimatedCall::extra_call, "ExtraCall"),
    field("cancellation", &EstimatedCall::cancellation, "Cancellation"),
    field("occupancy", &EstimatedCall::occupancy, "Occupancy"),
    field("platform_traversal", &EstimatedCall::platform_traversal, "PlatformTraversal"),
    field("destination_display", &EstimatedCall::destination_display, "DestinationDisplay"),
    field("aimed_arrival_time", &EstimatedCall::aimed_arrival_time, "AimedArrivalTime"),
    field("expected_arrival_time", &EstimatedCall::expected_arrival_time, "ExpectedArrivalTime"),
    field("arrival_status", &EstimatedCall::arrival_status, "ArrivalStatus"),
    field("arrival_proximity_text", &EstimatedCall::arrival_proximity_text, "ArrivalProximityText"),
    field("arrival_platform_name", &EstimatedCall::arrival_platform_name, "ArrivalPlatformName"),
    field("arrival_stop_assignment", &EstimatedCall::arrival_stop_assignment, "ArrivalStopAssignment"),
    field("aimed_quay_name", &EstimatedCall::aimed_quay_name, "AimedQuayName"),
    field("aimed_departure_time", &EstimatedCall::aimed_departure_time, "AimedDepartureTime"),
    field("expected_departure_time", &EstimatedCall::expected_departure_time, "ExpectedDepartureTime"),
    field("departure_status", &EstimatedCall::departure_status, "DepartureStatus"),
    field("departure_platform_name", &EstimatedCall::departure_platform_name, "DeparturePlatformName"),
    field("departure_boarding_activity", &EstimatedCall::departure_boarding_activity, "DepartureBoardingActivity"));

}  // namespace quorvane::binding
