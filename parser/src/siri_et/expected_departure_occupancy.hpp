#pragma once

#include <cstdint>
#include <optional>

#include "binding/declare.hpp"
#include "enums/occupancy.hpp"
#include "siri_et/group_reservation.hpp"

namespace quorvane {

// How full the vehicle was as it left a recorded call.
struct ExpectedDepartureOccupancy {
    OptText passenger_category;
    std::optional<Occupancy> occupancy_level;
    std::optional<std::uint32_t> occupancy_percentage;
    std::optional<std::uint32_t> alighting_count;
    std::optional<std::uint32_t> boarding_count;
    std::optional<std::uint32_t> onboard_count;
    List<GroupReservation> group_reservations;
};

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<ExpectedDepartureOccupancy> =
    record<ExpectedDepartureOccupancy, "ExpectedDepartureOccupancy">(
        field("passenger_category", &ExpectedDepartureOccupancy::passenger_category, "PassengerCategory"),
        field("occupancy_level", &ExpectedDepartureOccupancy::occupancy_level, "OccupancyLevel"),
        field("occupancy_percentage", &ExpectedDepartureOccupancy::occupancy_percentage, "OccupancyPercentage"),
        field("alighting_count", &ExpectedDepartureOccupancy::alighting_count, "AlightingCount"),
        field("boarding_count", &ExpectedDepartureOccupancy::boarding_count, "BoardingCount"),
        field("onboard_count", &ExpectedDepartureOccupancy::onboard_count, "OnboardCount"),
        field("group_reservations", &ExpectedDepartureOccupancy::group_reservations, "GroupReservations"));

}  // namespace quorvane::binding
