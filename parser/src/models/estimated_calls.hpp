#pragma once

#include <optional>

#include "binding/declare.hpp"
#include "siri_et/estimated_call.hpp"

namespace quorvane {

// The calls still to come. Producers write the items either as `calls` or
// as `EstimatedCall`; one run takes one of the two names.
struct EstimatedCalls {
    std::optional<List<EstimatedCall>> calls;
};

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<EstimatedCalls> =
    record<EstimatedCalls, "EstimatedCalls">(field("calls", &EstimatedCalls::calls, "calls", "EstimatedCall"));

}  // namespace quorvane::binding
