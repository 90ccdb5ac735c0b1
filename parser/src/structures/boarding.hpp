#pragma once

#include <optional>

#include "binding/declare.hpp"
#include "enums/boarding_activity.hpp"

namespace quorvane {

struct Boarding {
    std::optional<BoardingActivity> arrival_boarding_activity;
    std::optional<BoardingActivity> departure_boarding_activity;
};

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<Boarding> = record<Boarding, "Boarding">(
    field("arrival_boarding_activity", &Boarding::arrival_boarding_activity, "ArrivalBoardingActivity"),
    field("departure_boarding_activity", &Boarding::departure_boarding_activity, "DepartureBoardingActivity"));

}  // namespace quorvane::binding
