#pragma once

#include <cstdint>
#include <optional>

#include "binding/declare.hpp"
#include "enums/audience.hpp"
#include "enums/scope_type.hpp"
#include "enums/sensivity.hpp"
#include "siri_fm/validity_period.hpp"
#include "structures/affect.hpp"
#include "structures/pt_consequence.hpp"
#include "structures/pt_situation_body_group.hpp"
#include "structures/publishing_actions.hpp"
#include "structures/situation_based_identity_group.hpp"
#include "structures/situation_source.hpp"

namespace quorvane {

// One situation: the fields stand directly inside each `Situations` element.
// Its `severity` and `advice` are free texts, not the consequence's choice
// and record of the same element names.
struct PtSituationElement {
    Text creation_time;
    SituationBasedIdentityGroup situation_based_identity_group;
    OptRecord<SituationSource> source;
    OptText versioned_at_time;
    OptRecord<PtSituationBodyGroup> verification;
    OptRecord<ValidityPeriod> validity_period;
    OptText reason_name;
    OptText severity;
    std::optional<std::uint32_t> priority;
    std::optional<Sensivity> sensivity;
    std::optional<Audience> audience;
    std::optional<ScopeType> scope_type;
    std::optional<bool> planned;
    OptText keywords;
    OptText summary;
    OptText description;
    OptText detail;
    OptText advice;
    OptText internal;
    List<Affect> affects;
    List<PtConsequence> consequences;
    OptRecord<PublishingActions> publishing_actions;
};

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<PtSituationElement> = record<PtSituationElement, "PtSituationElement">(
    field("creation_time", &PtSituationElement::creation_time, "CreationTime"),
    field("situation_based_identity_group", &PtSituationElement::situation_based_identity_group,
          "SituationBasedIdentityGroup"),
    field("source", &PtSituationElement::source, "Source"),
    field("versioned_at_time", &PtSituationElement::versioned_at_time, "VersionedAtTime"),
    field("verification", &PtSituationElement::verification, "Verification"),
    field("validity_period", &PtSituationElement::validity_period, "ValidityPeriod"),
    field("reason_name", &PtSituationElement::reason_name, "ReasonName"),
    field("severity", &PtSituationElement::severity, "Severity"),
    field("priority", &PtSituationElement::priority, "Priority"),
    field("sensivity", &PtSituationElement::sensivity, "Sensivity"),
    field("audience", &PtSituationElement::audience, "Audience"),
    field("scope_type", &PtSituationElement::scope_type, "ScopeType"),
    field("planned", &PtSituationElement::planned, "Planned"),
    field("keywords", &PtSituationElement::keywords, "Keywords"),
    field("summary", &PtSituationElement::summary, "Summary"),
    field("description", &PtSituationElement::description, "Description"),
    field("detail", &PtSituationElement::detail, "Detail"),
    field("advice", &PtSituationElement::advice, "Advice"),
    field("internal", &PtSituationElement::internal, "Internal"),
    field("affects", &PtSituationElement::affects, "Affects"),
    field("consequences", &PtSituationElement::consequences, "Consequences"),
    field("publishing_actions", &PtSituationElement::publishing_actions, "PublishingActions"));

}  // namespace quorvane::binding
