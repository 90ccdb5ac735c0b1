#pragma once

#include "binding/declare.hpp"
#include "structures/dated_vehicle_journey.hpp"

namespace quorvane {

// One version of a line's planned timetable: a single dated journey.
struct DatedTimetableVersionFrame {
    Text recorded_at_time;
    Text line_ref;
    Text direction_ref;
    DatedVehicleJourney dated_vehicle_journey;
};

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<DatedTimetableVersionFrame> =
    record<DatedTimetableVersionFrame, "DatedTimetableVersionFrame">(
        field("recorded_at_time", &DatedTimetableVersionFrame::recorded_at_time, "RecordedAtTime"),
        field("line_ref", &DatedTimetableVersionFrame::line_ref, "LineRef"),
        field("direction_ref", &DatedTimetableVersionFrame::direction_ref, "DirectionRef"),
        field("dated_vehicle_journey", &DatedTimetableVersionFrame::dated_vehicle_journey, "DatedVehicleJourney"));

}  // namespace quorvane::binding
