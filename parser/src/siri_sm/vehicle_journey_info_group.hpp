#pragma once

#include <optional>

#include "binding/declare.hpp"
#include "siri_sm/journey_end_names_group.hpp"

namespace quorvane {

// Descriptive details of a connecting journey. Here `JourneyInfo` is plain
// text, unlike the record of the same element name in a feeder cancellation.
struct VehicleJourneyInfoGroup {
    OptRecord<JourneyEndNamesGroup> journey_end_names;
    OptText journey_info;
    OptText journey_note;
    std::optional<bool> headway_service;
    OptText origin_aimed_departure_time;
    OptText destination_aimed_arrival_time;
};

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<VehicleJourneyInfoGroup> = record<VehicleJourneyInfoGroup, "VehicleJourneyInfoGroup">(
    field("journey_end_names", &VehicleJourneyInfoGroup::journey_end_names, "JourneyEndNames"),
    field("journey_info", &VehicleJourneyInfoGroup::journey_info, "JourneyInfo"),
    field("journey_note", &VehicleJourneyInfoGroup::journey_note, "JourneyNote"),
    field("headway_service", &VehicleJourneyInfoGroup::headway_service, "HeadwayService"),
    field("origin_aimed_departure_time", &VehicleJourneyInfoGroup::origin_aimed_departure_time,
          "OriginAimedDepartureTime"),
    field("destination_aimed_arrival_time", &VehicleJourneyInfoGroup::destination_aimed_arrival_time,
          "DestinationAimedArrivalTime"));

}  // namespace quorvane::binding
