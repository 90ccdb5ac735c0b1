#pragma once

#include <optional>

#include "binding/declare.hpp"
#include "enums/facility_class.hpp"
#include "siri_fm/accessibility_assessment.hpp"
#include "siri_fm/facility_location.hpp"
#include "siri_fm/limitations.hpp"
#include "siri_fm/suitabilities.hpp"
#include "siri_fm/validity_condition.hpp"

namespace quorvane {

// The monitored facility; every part is optional, so `<Facility/>` is whole.
struct Facility {
    OptText facility_code;
    OptText description;
    std::optional<FacilityClass> facility_class;
    OptRecord<ValidityCondition> validity_condition;
    OptRecord<FacilityLocation> facility_location;
    OptRecord<AccessibilityAssessment> accessibility_assesment;
    OptRecord<Limitations> limitations;
    OptRecord<Suitabilities> suitabilities;
};

}  // namespace quorvane

namespace quorvane::binding {

// `accessibility_assesment` keeps the spelling callers already see rendered.
template <>
inline constexpr auto declaration<Facility> = record<Facility, "Facility">(
    field("facility_code", &Facility::facility_code, "FacilityCode"),
    field("description", &Facility::description, "Description"),
    field("facility_class", &Facility::facility_class, "FacilityClass"),
    field("validity_condition", &Facility::validity_condition, "ValidityCondition"),
    field("facility_location", &Facility::facility_location, "FacilityLocation"),
    field("accessibility_assesment", &Facility::accessibility_assesment, "AccessibilityAssessment"),
    field("limitations", &Facility::limitations, "Limitations"),
    field("suitabilities", &Facility::suitabilities, "Suitabilities"));

}  // namespace quorvane::binding
