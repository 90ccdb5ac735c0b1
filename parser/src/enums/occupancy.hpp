#pragma once

#include "binding/declare.hpp"

namespace quorvane {

// How full a vehicle is. The texts keep the producers' singular "Seat".
enum class Occupancy : unsigned char {
    Full,
    SeatsAvailable,
    StandingAvailable,
    Unknown,
    Empty,
    ManySeatAvailable,
    FewSeatAvailable,
    StandingRoomOnly,
    CrushStandingRoomOnly,
    NotAcceptingPassengers,
};

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<Occupancy> = enumeration<Occupancy>({
    {"full", "Full"},
    {"seatsAvailable", "SeatsAvailable"},
    {"standingAvailable", "StandingAvailable"},
    {"unknown", "Unknown"},
    {"empty", "Empty"},
    {"manySeatAvailable", "ManySeatAvailable"},
    {"fewSeatAvailable", "FewSeatAvailable"},
    {"standingRoomOnly", "StandingRoomOnly"},
    {"crushStandingRoomOnly", "CrushStandingRoomOnly"},
    {"notAcceptingPassengers", "NotAcceptingPassengers"},
});

}  // namespace quorvane::binding
