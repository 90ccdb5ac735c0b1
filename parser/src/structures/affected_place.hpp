#pragma once

#include "binding/declare.hpp"

namespace quorvane {

// An item of both the `StopPlaces` and the `Places` list of an affect.
struct AffectedPlace {
    Text place_ref;
    Text place_name;
};

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<AffectedPlace> =
    record<AffectedPlace, "AffectedPlace">(field("place_ref", &AffectedPlace::place_ref, "PlaceRef"),
                                           field("place_name", &AffectedPlace::place_name, "PlaceName"));

}  // namespace quorvane::binding
