#pragma once

#include "binding/declare.hpp"
#include "siri_sm/monitored_vehicle_journey.hpp"
#include "siri_vm/progress_between_stops.hpp"

namespace quorvane {

// One vehicle journey as seen at one moment.
struct VehicleActivity {
    OptText recorded_at_time;
    OptText valid_until_time;
    OptText item_identifier;
    OptText vehicle_monitoring_ref;
    OptRecord<ProgressBetweenStops> progress_between_stops;
    MonitoredVehicleJourney monitored_vehicle_journey;
    OptText vehicle_activity_note;
};

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<VehicleActivity> = record<VehicleActivity, "VehicleActivity">(
    field("recorded_at_time", &VehicleActivity::recorded_at_time, "RecordedAtTime"),
    field("valid_until_time", &VehicleActivity::valid_until_time, "ValidUntilTime"),
    field("item_identifier", &VehicleActivity::item_identifier, "ItemIdentifier"),
    field("vehicle_monitoring_ref", &VehicleActivity::vehicle_monitoring_ref, "VehicleMonitoringRef"),
    field("progress_between_stops", &VehicleActivity::progress_between_stops, "ProgressBetweenStops"),
    field("monitored_vehicle_journey", &VehicleActivity::monitored_vehicle_journey, "MonitoredVehicleJourney"),
    field("vehicle_activity_note", &VehicleActivity::vehicle_activity_note, "VehicleActivityNote"));

}  // namespace quorvane::binding
