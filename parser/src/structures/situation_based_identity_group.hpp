#pragma once

#include "binding/declare.hpp"

namespace quorvane {

// Who identifies a situation; read from its own wrapper element.
struct SituationBasedIdentityGroup {
    Text country_ref;
    Text participant_ref;
    Text situation_number;
    OptText version;
};

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<SituationBasedIdentityGroup> =
    record<SituationBasedIdentityGroup, "SituationBasedIdentityGroup">(
        field("country_ref", &SituationBasedIdentityGroup::country_ref, "CountryRef"),
        field("participant_ref", &SituationBasedIdentityGroup::participant_ref, "ParticipantRef"),
        field("situation_number", &SituationBasedIdentityGroup::situation_number, "SituationNumber"),
        field("version", &SituationBasedIdentityGroup::version, "Version"));

}  // namespace quorvane::binding
