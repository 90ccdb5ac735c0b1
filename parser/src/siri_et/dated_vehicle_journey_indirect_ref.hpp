#pragma once

#include "binding/declare.hpp"

namespace quorvane {

// A journey named by its ends; the value of one JourneyIdentifier
// alternative, which no document fills.
struct DatedVehicleJourneyIndirectRef {
    Text origin_ref;
    Text aimed_departure_time;
    Text destination_ref;
    Text aimed_arrival_time;
};

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<DatedVehicleJourneyIndirectRef> =
    record<DatedVehicleJourneyIndirectRef, "DatedVehicleJourneyIndirectRef">(
        field("origin_ref", &DatedVehicleJourneyIndirectRef::origin_ref, "OriginRef"),
        field("aimed_departure_time", &DatedVehicleJourneyIndirectRef::aimed_departure_time, "AimedDepartureTime"),
        field("destination_ref", &DatedVehicleJourneyIndirectRef::destination_ref, "DestinationRef"),
        field("aimed_arrival_time", &DatedVehicleJourneyIndirectRef::aimed_arrival_time, "AimedArrivalTime"));

}  // namespace quorvane::binding
