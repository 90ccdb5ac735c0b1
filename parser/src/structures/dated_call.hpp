#pragma once

#include <cstdint>
#include <optional>

#include "binding/declare.hpp"
#include "enums/boarding_activity.hpp"
#include "structures/targeted_interchange.hpp"

namespace quorvane {

// One planned call of a dated journey. Each `DatedCalls` element is one
// call; there is no wrapper element.
struct DatedCall {
    OptText stop_point_ref;
    std::optional<std::uint32_t> order;
    OptText stop_point_name;
    OptText destination_display;
    OptText aimed_arrival_time;
    OptText arrival_platform;
    OptText aimed_quay_name;
    OptText aimed_departure_time;
    OptText departure_platform_name;
    std::optional<BoardingActivity> departure_boarding_activity;
    std::optional<std::uint32_t> aimed_headway_interval;
    OptRecord<TargetedInterchange> targeted_interchange;
};

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<DatedCall> = record<DatedCall, "DatedCall">(
    field("stop_point_ref", &DatedCall::stop_point_ref, "StopPointRef"),
    field("order", &DatedCall::order, "Order"),
    field("stop_point_name", &DatedCall::stop_point_name, "StopPointName"),
    field("destination_display", &DatedCall::destination_display, "DestinationDisplay"),
    field("aimed_arrival_time", &DatedCall::aimed_arrival_time, "AimedArrivalTime"),
    field("arrival_platform", &DatedCall::arrival_platform, "ArrivalPlatform"),
    field("aimed_quay_name", &DatedCall::aimed_quay_name, "AimedQuayName"),
    field("aimed_departure_time", &DatedCall::aimed_departure_time, "AimedDepartureTime"),
    field("departure_platform_name", &DatedCall::departure_platform_name, "DeparturePlatformName"),
    field("departure_boarding_activity", &DatedCall::departure_boarding_activity, "DepartureBoardingActivity"),
    field("aimed_headway_interval", &DatedCall::aimed_headway_interval, "AimedHeadwayInterval"),
    field("targeted_interchange", &DatedCall::targeted_interchange, "TargetedInterchange"));

}  // namespace quorvane::binding
