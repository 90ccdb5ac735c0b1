#pragma once

#include <optional>

#include "binding/declare.hpp"
#include "enums/vehicle_mode.hpp"

namespace quorvane {

// The journey pattern, line and direction names of a journey.
struct JourneyPatternInfoGroup {
    OptText journey_pattern_ref;
    OptText journey_pattern_name;
    std::optional<VehicleMode> vehicle_mode;
    OptText route_ref;
    Text published_line_name;
    OptText direction_name;
};

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<JourneyPatternInfoGroup> = record<JourneyPatternInfoGroup, "JourneyPatternInfoGroup">(
    field("journey_pattern_ref", &JourneyPatternInfoGroup::journey_pattern_ref, "JourneyPatternRef"),
    field("journey_pattern_name", &JourneyPatternInfoGroup::journey_pattern_name, "JourneyPatternName"),
    field("vehicle_mode", &JourneyPatternInfoGroup::vehicle_mode, "VehicleMode"),
    field("route_ref", &JourneyPatternInfoGroup::route_ref, "RouteRef"),
    field("published_line_name", &JourneyPatternInfoGroup::published_line_name, "PublishedLineName"),
    field("direction_name", &JourneyPatternInfoGroup::direction_name, "DirectionName"));

}  // namespace quorvane::binding
