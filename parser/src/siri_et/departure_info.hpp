#pragma once

#include <optional>

#include "binding/declare.hpp"
#include "enums/boarding_activity.hpp"
#include "enums/departure_status.hpp"

namespace quorvane {

// What happened at a recorded call's departure.
struct DepartureInfo {
    OptText aimed_departure_time;
    OptText actual_departure_time;
    OptText expected_departure_time;
    std::optional<DepartureStatus> departure_status;
    OptText departure_platform_name;
    std::optional<BoardingActivity> departure_boarding_activity;
    OptText expected_quay_ref;
};

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<DepartureInfo> = record<DepartureInfo, "DepartureInfo">(
    field("aimed_departure_time", &DepartureInfo::aimed_departure_time, "AimedDepartureTime"),
    field("actual_departure_time", &DepartureInfo::actual_departure_time, "ActualDepartureTime"),
    field("expected_departure_time", &DepartureInfo::expected_departure_time, "ExpectedDepartureTime"),
    field("departure_status", &DepartureInfo::departure_status, "DepartureStatus"),
    field("departure_platform_name", &DepartureInfo::departure_platform_name, "DeparturePlatformName"),
    field("departure_boarding_activity", &DepartureInfo::departure_boarding_activity, "DepartureBoardingActivity"),
    field("expected_quay_ref", &DepartureInfo::expected_quay_ref, "ExpectedQuayRef"));

}  // namespace quorvane::binding
