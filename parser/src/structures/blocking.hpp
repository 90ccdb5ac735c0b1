#pragma once

#include "binding/declare.hpp"

namespace quorvane {

struct Blocking {
    bool journey_planner;
};

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<Blocking> =
    record<Blocking, "Blocking">(field("journey_planner", &Blocking::journey_planner, "JourneyPlanner"));

}  // namespace quorvane::binding
