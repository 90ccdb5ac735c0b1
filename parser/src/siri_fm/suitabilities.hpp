#pragma once

#include <optional>

#include "binding/declare.hpp"
#include "siri_fm/suitability.hpp"

namespace quorvane {

// Holds the run of `Suitability` children; an empty element gives no list.
struct Suitabilities {
    std::optional<List<Suitability>> suitability;
};

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<Suitabilities> =
    record<Suitabilities, "Suitabilities">(field("suitability", &Suitabilities::suitability, "Suitability"));

}  // namespace quorvane::binding
