#pragma once

#include "binding/declare.hpp"

namespace quorvane {

// A place a connecting journey passes; both parts may be missing.
struct Via {
    OptText place_ref;
    OptText place_name;
};

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<Via> =
    record<Via, "Via">(field("place_ref", &Via::place_ref, "PlaceRef"),
                       field("place_name", &Via::place_name, "PlaceName"));

}  // namespace quorvane::binding
