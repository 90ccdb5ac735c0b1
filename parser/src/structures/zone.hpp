#pragma once

#include "binding/declare.hpp"

namespace quorvane {

// The embedded group of an affected stop point: its elements stand beside
// the stop point's own and are taken from its leftover buffer.
struct Zone {
    Text place_ref;
    Text place_name;
    Text stop_condition;
};

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<Zone> =
    record<Zone, "Zone">(field("place_ref", &Zone::place_ref, "PlaceRef"),
                         field("place_name", &Zone::place_name, "PlaceName"),
                         field("stop_condition", &Zone::stop_condition, "StopCondition"));

}  // namespace quorvane::binding
