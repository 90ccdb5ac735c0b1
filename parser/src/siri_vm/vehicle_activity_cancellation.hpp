#pragma once

#include "binding/declare.hpp"
#include "models/framed_vehicle_journey_ref.hpp"
#include "siri_sm/journey_pattern_info_group.hpp"

namespace quorvane {

// Withdraws earlier vehicle activities; the reasons are required.
struct VehicleActivityCancellation {
    OptText recorded_at_time;
    OptText event_identity;
    OptText vehicle_monitoring_ref;
    OptRecord<FramedVehicleJourneyRef> framed_vehicle_journey_ref;
    OptText line_ref;
    OptRecord<JourneyPatternInfoGroup> journey_pattern_info;
    List<Text> reasons;
};

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<VehicleActivityCancellation> =
    record<VehicleActivityCancellation, "VehicleActivityCancellation">(
        field("recorded_at_time", &VehicleActivityCancellation::recorded_at_time, "RecordedAtTime"),
        field("event_identity", &VehicleActivityCancellation::event_identity, "EventIdentity"),
        field("vehicle_monitoring_ref", &VehicleActivityCancellation::vehicle_monitoring_ref, "VehicleMonitoringRef"),
        field("framed_vehicle_journey_ref", &VehicleActivityCancellation::framed_vehicle_journey_ref,
              "FramedVehicleJourneyRef"),
        field("line_ref", &VehicleActivityCancellation::line_ref, "LineRef"),
        field("journey_pattern_info", &VehicleActivityCancellation::journey_pattern_info, "JourneyPatternInfo"),
        field("reasons", &VehicleActivityCancellation::reasons, "Reasons"));

}  // namespace quorvane::binding
