#pragma once

#include <optional>

#include "binding/declare.hpp"
#include "enums/vehicle_mode.hpp"

namespace quorvane {

// The journey a feeder cancellation concerns. Unlike the shared journey
// pattern group, the published line name is optional here.
struct JourneyInfo {
    OptText line_ref;
    OptText direction_ref;
    OptText journey_pattern_ref;
    OptText journey_pattern_name;
    std::optional<VehicleMode> vehicle_mode;
    OptText route_ref;
    OptText published_line_name;
    OptText group_of_lines_ref;
    OptText direction_name;
    OptText reason;
};

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<JourneyInfo> = record<JourneyInfo, "JourneyInfo">(
    field("line_ref", &JourneyInfo::line_ref, "LineRef"),
    field("direction_ref", &JourneyInfo::direction_ref, "DirectionRef"),
    field("journey_pattern_ref", &JourneyInfo::journey_pattern_ref, "JourneyPatternRef"),
    field("journey_pattern_name", &JourneyInfo::journey_pattern_name, "JourneyPatternName"),
    field("vehicle_mode", &JourneyInfo::vehicle_mode, "VehicleMode"),
    field("route_ref", &JourneyInfo::route_ref, "RouteRef"),
    field("published_line_name", &JourneyInfo::published_line_name, "PublishedLineName"),
    field("group_of_lines_ref", &JourneyInfo::group_of_lines_ref, "GroupOfLinesRef"),
    field("direction_name", &JourneyInfo::direction_name, "DirectionName"),
    field("reason", &JourneyInfo::reason, "Reason"));

}  // namespace quorvane::binding
