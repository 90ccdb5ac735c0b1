#pragma once

#include <optional>

#include "binding/declare.hpp"
#include "siri_sm/journey_pattern_info_group.hpp"
#include "structures/dated_call.hpp"
#include "structures/service_info_group.hpp"

namespace quorvane {

// The one planned journey of a production-timetable version frame. Its two
// groups stand among its own children and are taken from what it leaves
// unclaimed; either is absent when its elements do not form a whole group.
struct DatedVehicleJourney {
    OptText vehicle_journey_name;
    OptText destination_display;
    std::optional<bool> headway_service;
    std::optional<bool> monitored;
    List<DatedCall> dated_calls;
    std::optional<ServiceInfoGroup> service_info_group;
    std::optional<JourneyPatternInfoGroup> journey_pattern_info;
};

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<DatedVehicleJourney> = record<DatedVehicleJourney, "DatedVehicleJourney">(
    field("vehicle_journey_name", &DatedVehicleJourney::vehicle_journey_name, "VehicleJourneyName"),
    field("destination_display", &DatedVehicleJourney::destination_display, "DestinationDisplay"),
    field("headway_service", &DatedVehicleJourney::headway_service, "HeadwayService"),
    field("monitored", &DatedVehicleJourney::monitored, "Monitored"),
    field("dated_calls", &DatedVehicleJourney::dated_calls, "DatedCalls"),
    group("service_info_group", &DatedVehicleJourney::service_info_group),
    group("journey_pattern_info", &DatedVehicleJourney::journey_pattern_info));

}  // namespace quorvane::binding
