#pragma once

#include "binding/declare.hpp"
#include "siri_fm/facility.hpp"
#include "siri_fm/facility_status.hpp"
#include "siri_fm/validity_period.hpp"

namespace quorvane {

// The report a facility-monitoring delivery carries. `Facility` is required
// even when `FacilityRef` names the facility.
struct FacilityCondition {
    Facility facility;
    OptText facility_ref;
    OptRecord<FacilityStatus> facility_status;
    OptRecord<ValidityPeriod> validity_period;
};

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<FacilityCondition> = record<FacilityCondition, "FacilityCondition">(
    field("facility", &FacilityCondition::facility, "Facility"),
    field("facility_ref", &FacilityCondition::facility_ref, "FacilityRef"),
    field("facility_status", &FacilityCondition::facility_status, "FacilityStatus"),
    field("validity_period", &FacilityCondition::validity_period, "ValidityPeriod"));

}  // namespace quorvane::binding
