#pragma once

#include <optional>

#include "binding/declare.hpp"

namespace quorvane {

// What limits access to a facility; an absent flag is not the same as false.
struct Limitations {
    std::optional<bool> wheelchair_access;
    std::optional<bool> step_free_access;
    std::optional<bool> lift_free_access;
};

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<Limitations> = record<Limitations, "Limitations">(
    field("wheelchair_access", &Limitations::wheelchair_access, "WheelchairAccess"),
    field("step_free_access", &Limitations::step_free_access, "StepFreeAccess"),
    field("lift_free_access", &Limitations::lift_free_access, "LiftFreeAccess"));

}  // namespace quorvane::binding
