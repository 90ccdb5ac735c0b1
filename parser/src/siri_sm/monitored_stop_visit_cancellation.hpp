#pragma once

#include "binding/declare.hpp"
#include "models/framed_vehicle_journey_ref.hpp"
#include "siri_sm/journey_pattern_info_group.hpp"

namespace quorvane {

struct MonitoredStopVisitCancellation {
    Text recorded_at_time;
    OptText event_identity;
    OptText monitoring_ref;
    OptText line_ref;
    OptRecord<FramedVehicleJourneyRef> vehicle_journey_ref;
    OptRecord<JourneyPatternInfoGroup> journey_pattern_info;
    OptText message_reason;
};

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<MonitoredStopVisitCancellation> =
    record<MonitoredStopVisitCancellation, "MonitoredStopVisitCancellation">(
        field("recorded_at_time", &MonitoredStopVisitCancellation::recorded_at_time, "RecordedAtTime"),
        field("event_identity", &MonitoredStopVisitCancellation::event_identity, "EventIdentity"),
        field("monitoring_ref", &MonitoredStopVisitCancellation::monitoring_ref, "MonitoringRef"),
        field("line_ref", &MonitoredStopVisitCancellation::line_ref, "LineRef"),
        field("vehicle_journey_ref", &MonitoredStopVisitCancellation::vehicle_journey_ref, "VehicleJourneyRef"),
        field("journey_pattern_info", &MonitoredStopVisitCancellation::journey_pattern_info, "JourneyPatternInfo"),
        field("message_reason", &MonitoredStopVisitCancellation::message_reason, "MessageReason"));

}  // namespace quorvane::binding
