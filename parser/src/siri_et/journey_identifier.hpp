#pragma once

#include <variant>

#include "binding/declare.hpp"
#include "siri_et/dated_vehicle_journey_indirect_ref.hpp"

namespace quorvane {

// How a journey is identified. The element's text names the alternative and
// carries no value for it, so a present element always fails the document;
// a journey read without error has none.
using JourneyIdentifier = std::variant<Text, Text, DatedVehicleJourneyIndirectRef>;

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<JourneyIdentifier> = VariantDecl<JourneyIdentifier, 3, 3>{
    ChoiceMode::Text,
    {"DatedVehicleJourneyRef", "EstimatedVehicleJourneyCode", "DatedVehicleJourneyIndirectRef"},
    {{
        {"datedVehicleJourneyRef", 0},
        {"estimatedVehicleJourneyCode", 1},
        {"datedVehicleJourneyIndirectRef", 2},
    }},
};

}  // namespace quorvane::binding
