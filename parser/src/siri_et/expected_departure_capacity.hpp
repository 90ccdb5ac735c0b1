#pragma once

#include <cstdint>
#include <optional>

#include "binding/declare.hpp"

namespace quorvane {

// How much room the vehicle offered as it left a recorded call.
struct ExpectedDepartureCapacity {
    OptText train_formation_reference_group;
    OptText passenger_category;
    std::optional<std::uint32_t> total_capacity;
    std::optional<std::uint32_t> seating_capacity;
    std::optional<std::uint32_t> standing_capacity;
    std::optional<std::uint32_t> pushchair_capacity;
    std::optional<std::uint32_t> wheelchair_place_capacity;
    std::optional<std::uint32_t> pram_place_capacity;
    std::optional<std::uint32_t> bicycle_rack_capacity;
};

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<ExpectedDepartureCapacity> =
    record<ExpectedDepartureCapacity, "ExpectedDepartureCapacity">(
        field("train_formation_reference_group", &ExpectedDepartureCapacity::train_formation_reference_group,
              "TrainFormationReferenceGroup"),
        field("passenger_category", &ExpectedDepartureCapacity::passenger_category, "PassengerCategory"),
        field("total_capacity", &ExpectedDepartureCapacity::total_capacity, "TotalCapacity"),
        field("seating_capacity", &ExpectedDepartureCapacity::seating_capacity, "SeatingCapacity"),
        field("standing_capacity", &ExpectedDepartureCapacity::standing_capacity, "StandingCapacity"),
        field("pushchair_capacity", &ExpectedDepartureCapacity::pushchair_capacity, "PushchairCapacity"),
        field("wheelchair_place_capacity", &ExpectedDepartureCapacity::wheelchair_place_capacity,
              "WheelchairPlaceCapacity"),
        field("pram_place_capacity", &ExpectedDepartureCapacity::pram_place_capacity, "PramPlaceCapacity"),
        field("bicycle_rack_capacity", &ExpectedDepartureCapacity::bicycle_rack_capacity, "BicycleRackCapacity"));

}  // namespace quorvane::binding
