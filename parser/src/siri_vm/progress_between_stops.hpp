#pragma once

#include <cstdint>
#include <optional>

#include "binding/declare.hpp"

namespace quorvane {

// How far a vehicle has come between two stops; both numbers are signed.
struct ProgressBetweenStops {
    std::optional<std::int32_t> link_distance;
    std::optional<std::int32_t> percentage;
};

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<ProgressBetweenStops> = record<ProgressBetweenStops, "ProgressBetweenStops">(
    field("link_distance", &ProgressBetweenStops::link_distance, "LinkDistance"),
    field("percentage", &ProgressBetweenStops::percentage, "Percentage"));

}  // namespace quorvane::binding
