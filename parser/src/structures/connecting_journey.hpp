#pragma once

#include <optional>

#include "binding/declare.hpp"
#include "models/framed_vehicle_journey_ref.hpp"
#include "siri_et/disruption_group.hpp"
#include "siri_sm/journey_pattern_info_group.hpp"
#include "siri_sm/vehicle_journey_info_group.hpp"

namespace quorvane {

// The distributor's departing journey.
struct ConnectingJourney {
    OptText line_ref;
    FramedVehicleJourneyRef framed_journey_ref;
    OptRecord<JourneyPatternInfoGroup> journey_pattern_info;
    OptRecord<VehicleJourneyInfoGroup> vehicle_journey_info;
    OptRecord<DisruptionGroup> distruptuin_group;
    std::optional<bool> monitored;
    OptText aimed_arrival_time;
};

}  // namespace quorvane

namespace quorvane::binding {

// The disruption marker renders under the name `distruptuin_group`, a
// spelling callers' output already carries.
template <>
inline constexpr auto declaration<ConnectingJourney> = record<ConnectingJourney, "ConnectingJourney">(
    field("line_ref", &ConnectingJourney::line_ref, "LineRef"),
    field("framed_journey_ref", &ConnectingJourney::framed_journey_ref, "FramedJourneyRef"),
    field("journey_pattern_info", &ConnectingJourney::journey_pattern_info, "JourneyPatternInfo"),
    field("vehicle_journey_info", &ConnectingJourney::vehicle_journey_info, "VehicleJourneyInfo"),
    field("distruptuin_group", &ConnectingJourney::distruptuin_group, "DisruptionGroup"),
    field("monitored", &ConnectingJourney::monitored, "Monitored"),
    field("aimed_arrival_time", &ConnectingJourney::aimed_arrival_time, "AimedArrivalTime"));

}  // namespace quorvane::binding
