#pragma once

#include "binding/declare.hpp"
#include "siri_sm/monitored_vehicle_journey.hpp"

namespace quorvane {

struct MonitoredStopVisit {
    Text recorded_at_time;
    Text item_identifier;
    Text monitoring_ref;
    MonitoredVehicleJourney monitored_vehicle_journey;
};

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<MonitoredStopVisit> = record<MonitoredStopVisit, "MonitoredStopVisit">(
    field("recorded_at_time", &MonitoredStopVisit::recorded_at_time, "RecordedAtTime"),
    field("item_identifier", &MonitoredStopVisit::item_identifier, "ItemIdentifier"),
    field("monitoring_ref", &MonitoredStopVisit::monitoring_ref, "MonitoringRef"),
    field("monitored_vehicle_journey", &MonitoredStopVisit::monitored_vehicle_journey, "MonitoredVehicleJourney"));

}  // namespace quorvane::binding
