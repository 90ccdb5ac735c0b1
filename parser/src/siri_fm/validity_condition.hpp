#pragma once

#include "binding/declare.hpp"
#include "siri_fm/validity_period.hpp"

namespace quorvane {

// The periods in which a facility description holds; each item is a
// `Period` element shaped like a ValidityPeriod.
struct ValidityCondition {
    List<ValidityPeriod> period;
};

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<ValidityCondition> =
    record<ValidityCondition, "ValidityCondition">(field("period", &ValidityCondition::period, "Period"));

}  // namespace quorvane::binding
