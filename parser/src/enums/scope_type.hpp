#pragma once

#include "binding/declare.hpp"

namespace quorvane {

// What kind of thing a situation, or a publication of it, is about.
enum class ScopeType : unsigned char {
    General, Operator, Network, Route, Line, Place, StopPlace, StopPoint, VehicleJourney
};

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<ScopeType> = enumeration<ScopeType>({
    {"general", "General"},
    {"operator", "Operator"},
    {"network", "Network"},
    {"route", "Route"},
    {"line", "Line"},
    {"place", "Place"},
    {"stopPlace", "StopPlace"},
    {"stopPoint", "StopPoint"},
    {"vehicleJourney", "VehicleJourney"},
});

}  // namespace quorvane::binding
