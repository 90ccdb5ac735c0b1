#pragma once

#include <optional>
#include <string>

#include "binding/declare.hpp"
#include "enums/vehicle_mode.hpp"

namespace quorvane {

// The journey pattern of an estimated journey. Same shape as the shared
// JourneyPatternInfoGroup, but a type of its own, rendered under this name.
struct JourneyPatternInfo {
    std::optional<std::string> journey_pattern_ref;
    std::optional<std::string> journey_pattern_name;
    std::optional<VehicleMode> vehicle_mode;
    std::optional<std::string> route_ref;
    std::string published_line_name;
    std::optional<std::string> direction_name;
};

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<JourneyPatternInfo> = record<JourneyPatternInfo, "JourneyPatternInfo">(
    field("journey_pattern_ref", &JourneyPatternInfo::journey_pattern_ref, "JourneyPatternRef"),
    field("journey_pattern_name", &JourneyPatternInfo::journey_pattern_name, "JourneyPatternName"),
    field("vehicle_mode", &JourneyPatternInfo::vehicle_mode, "VehicleMode"),
    field("route_ref", &JourneyPatternInfo::route_ref, "RouteRef"),
    field("published_line_name", &JourneyPatternInfo::published_line_name, "PublishedLineName"),
    field("direction_name", &JourneyPatternInfo::direction_name, "DirectionName"));

}  // namespace quorvane::binding
