#pragma once

#include "binding/declare.hpp"

namespace quorvane {

// Where a facility stands; the references are plain texts.
struct FacilityLocation {
    OptText line_ref;
    OptText stop_point_ref;
    OptText vehicle_ref;
    OptText stop_place_ref;
    OptText stop_place_component_id;
    OptText operator_ref;
};

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<FacilityLocation> = record<FacilityLocation, "FacilityLocation">(
    field("line_ref", &FacilityLocation::line_ref, "LineRef"),
    field("stop_point_ref", &FacilityLocation::stop_point_ref, "StopPointRef"),
    field("vehicle_ref", &FacilityLocation::vehicle_ref, "VehicleRef"),
    field("stop_place_ref", &FacilityLocation::stop_place_ref, "StopPlaceRef"),
    field("stop_place_component_id", &FacilityLocation::stop_place_component_id, "StopPlaceComponentId"),
    field("operator_ref", &FacilityLocation::operator_ref, "OperatorRef"));

}  // namespace quorvane::binding
