#pragma once

#include "binding/declare.hpp"

namespace quorvane {

struct AffectedVehicleJourney {
    Text vehicle_journey_ref;
};

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<AffectedVehicleJourney> = record<AffectedVehicleJourney, "AffectedVehicleJourney">(
    field("vehicle_journey_ref", &AffectedVehicleJourney::vehicle_journey_ref, "VehicleJourneyRef"));

}  // namespace quorvane::binding
