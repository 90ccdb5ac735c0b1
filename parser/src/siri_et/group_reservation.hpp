#pragma once

#include <cstdint>

#include "binding/declare.hpp"

namespace quorvane {

// Seats held for one group; each `GroupReservations` element is one.
struct GroupReservation {
    Text name_of_group;
    std::uint32_t number_of_seats;
};

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<GroupReservation> = record<GroupReservation, "GroupReservation">(
    field("name_of_group", &GroupReservation::name_of_group, "NameOfGroup"),
    field("number_of_seats", &GroupReservation::number_of_seats, "NumberOfSeats"));

}  // namespace quorvane::binding
