#pragma once

#include "binding/declare.hpp"
#include "siri_sm/via.hpp"

namespace quorvane {

// Where a connecting journey starts, passes and ends. Despite the name it is
// read from its own `JourneyEndNames` element, not embedded in its holder.
struct JourneyEndNamesGroup {
    OptText origin_ref;
    OptText origin_name;
    OptRecord<Via> via;
    Text destination_ref;
    Text destination_name;
};

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<JourneyEndNamesGroup> = record<JourneyEndNamesGroup, "JourneyEndNamesGroup">(
    field("origin_ref", &JourneyEndNamesGroup::origin_ref, "OriginRef"),
    field("origin_name", &JourneyEndNamesGroup::origin_name, "OriginName"),
    field("via", &JourneyEndNamesGroup::via, "Via"),
    field("destination_ref", &JourneyEndNamesGroup::destination_ref, "DestinationRef"),
    field("destination_name", &JourneyEndNamesGroup::destination_name, "DestinationName"));

}  // namespace quorvane::binding
