#pragma once

#include "binding/declare.hpp"

namespace quorvane {

// Which dated vehicle journey a message is about. Vehicle monitoring uses a
// record of the same name and shape: this one serves it too.
struct FramedVehicleJourneyRef {
    OptText data_frame_ref;
    OptText dated_vehicle_journey_ref;
};

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<FramedVehicleJourneyRef> = record<FramedVehicleJourneyRef, "FramedVehicleJourneyRef">(
    field("data_frame_ref", &FramedVehicleJourneyRef::data_frame_ref, "DataFrameRef"),
    field("dated_vehicle_journey_ref", &FramedVehicleJourneyRef::dated_vehicle_journey_ref, "DatedVehicleJourneyRef"));

}  // namespace quorvane::binding
