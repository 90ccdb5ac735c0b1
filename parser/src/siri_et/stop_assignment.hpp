#pragma once

#include "binding/declare.hpp"

namespace quorvane {

// The quays an arrival was planned for and is expected at.
struct StopAssignment {
    OptText aimed_quay_ref;
    OptText aimed_quay_name;
    OptText expected_quay_ref;
};

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<StopAssignment> = record<StopAssignment, "StopAssignment">(
    field("aimed_quay_ref", &StopAssignment::aimed_quay_ref, "AimedQuayRef"),
    field("aimed_quay_name", &StopAssignment::aimed_quay_name, "AimedQuayName"),
    field("expected_quay_ref", &StopAssignment::expected_quay_ref, "ExpectedQuayRef"));

}  // namespace quorvane::binding
