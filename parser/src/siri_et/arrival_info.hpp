#pragma once

#include <optional>

#include "binding/declare.hpp"
#include "enums/arrival_status.hpp"
#include "enums/boarding_activity.hpp"
#include "siri_et/stop_assignment.hpp"

namespace quorvane {

// What happened at a recorded call's arrival.
struct ArrivalInfo {
    OptText aimed_arrival_time;
    OptText actual_arrival_time;
    OptText expected_arrival_time;
    std::optional<ArrivalStatus> arrival_status;
    List<Text> arrival_proximity_text;
    OptText arrival_platform_name;
    std::optional<BoardingActivity> arrival_boarding_activity;
    OptRecord<StopAssignment> arrival_stop_assignment;
};

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<ArrivalInfo> = record<ArrivalInfo, "ArrivalInfo">(
    field("aimed_arrival_time", &ArrivalInfo::aimed_arrival_time, "AimedArrivalTime"),
    field("actual_arrival_time", &ArrivalInfo::actual_arrival_time, "ActualArrivalTime"),
    field("expected_arrival_time", &ArrivalInfo::expected_arrival_time, "ExpectedArrivalTime"),
    field("arrival_status", &ArrivalInfo::arrival_status, "ArrivalStatus"),
    field("arrival_proximity_text", &ArrivalInfo::arrival_proximity_text, "ArrivalProximityText"),
    field("arrival_platform_name", &ArrivalInfo::arrival_platform_name, "ArrivalPlatformName"),
    field("arrival_boarding_activity", &ArrivalInfo::arrival_boarding_activity, "ArrivalBoardingActivity"),
    field("arrival_stop_assignment", &ArrivalInfo::arrival_stop_assignment, "ArrivalStopAssignment"));

}  // namespace quorvane::binding
