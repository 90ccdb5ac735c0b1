#pragma once

#include "binding/declare.hpp"
#include "models/estimated_vehicle_journey.hpp"

namespace quorvane {

// The journeys of one estimated-timetable delivery; at least one.
struct EstimatedJourneyVersionFrame {
    Text recorded_at_time;
    OptText version_ref;
    List<EstimatedVehicleJourney> estimated_vehicle_journey;
};

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<EstimatedJourneyVersionFrame> =
    record<EstimatedJourneyVersionFrame, "EstimatedJourneyVersionFrame">(
        field("recorded_at_time", &EstimatedJourneyVersionFrame::recorded_at_time, "RecordedAtTime"),
        field("version_ref", &EstimatedJourneyVersionFrame::version_ref, "VersionRef"),
        field("estimated_vehicle_journey", &EstimatedJourneyVersionFrame::estimated_vehicle_journey,
              "EstimatedVehicleJourney"));

}  // namespace quorvane::binding
