#pragma once

#include <optional>

#include "binding/declare.hpp"
#include "models/framed_vehicle_journey_ref.hpp"

namespace quorvane {

// The journey of a feeder vehicle.
struct FeederJourney {
    OptText line_ref;
    OptText direction_ref;
    FramedVehicleJourneyRef framed_journey_ref;
    std::optional<bool> monitored;
    OptText aimed_arrival_time;
};

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<FeederJourney> = record<FeederJourney, "FeederJourney">(
    field("line_ref", &FeederJourney::line_ref, "LineRef"),
    field("direction_ref", &FeederJourney::direction_ref, "DirectionRef"),
    field("framed_journey_ref", &FeederJourney::framed_journey_ref, "FramedJourneyRef"),
    field("monitored", &FeederJourney::monitored, "Monitored"),
    field("aimed_arrival_time", &FeederJourney::aimed_arrival_time, "AimedArrivalTime"));

}  // namespace quorvane::binding
