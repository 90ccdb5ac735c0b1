#pragma once

#include <optional>

#include "binding/declare.hpp"
#include "enums/facility_availability.hpp"
#include "siri_fm/accessibility_assessment.hpp"

namespace quorvane {

// How available a facility is; at least one assessment is required, the
// availability itself is not.
struct FacilityStatus {
    std::optional<FacilityAvailability> status;
    OptText description;
    List<AccessibilityAssessment> accessibility_assesment;
};

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<FacilityStatus> = record<FacilityStatus, "FacilityStatus">(
    field("status", &FacilityStatus::status, "Status"),
    field("description", &FacilityStatus::description, "Description"),
    field("accessibility_assesment", &FacilityStatus::accessibility_assesment, "AccessibilityAssessment"));

}  // namespace quorvane::binding
