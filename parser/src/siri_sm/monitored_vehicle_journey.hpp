#pragma once

#include "binding/declare.hpp"
#include "models/framed_vehicle_journey_ref.hpp"

namespace quorvane {

// The journey a visit or a vehicle activity is about; shared by stop and
// vehicle monitoring.
struct MonitoredVehicleJourney {
    Text line_ref;
    FramedVehicleJourneyRef framed_vehicle_journey_ref;
};

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<MonitoredVehicleJourney> = record<MonitoredVehicleJourney, "MonitoredVehicleJourney">(
    field("line_ref", &MonitoredVehicleJourney::line_ref, "LineRef"),
    field("framed_vehicle_journey_ref", &MonitoredVehicleJourney::framed_vehicle_journey_ref,
          "FramedVehicleJourneyRef"));

}  // namespace quorvane::binding
