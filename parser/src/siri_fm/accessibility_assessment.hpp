#pragma once

#include "binding/declare.hpp"

namespace quorvane {

// Only its presence is kept: the assessment's content is read for sound
// markup and dropped.
struct AccessibilityAssessment {};

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<AccessibilityAssessment> = record<AccessibilityAssessment, "AccessibilityAssessment">();

}  // namespace quorvane::binding
