#pragma once

#include <optional>

#include "binding/declare.hpp"
#include "structures/zone.hpp"

namespace quorvane {

// Read in buffer mode: whatever is not its own goes to the buffer, from
// which `zone` is built; a zone that does not form is simply absent.
struct AffectedStopPoint {
    OptText stop_point_ref;
    OptText affected_modes;
    std::optional<Zone> zone;
};

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<AffectedStopPoint> = record<AffectedStopPoint, "AffectedStopPoint">(
    field("stop_point_ref", &AffectedStopPoint::stop_point_ref, "StopPointRef"),
    field("affected_modes", &AffectedStopPoint::affected_modes, "AffectedModes"),
    group("zone", &AffectedStopPoint::zone));

}  // namespace quorvane::binding
