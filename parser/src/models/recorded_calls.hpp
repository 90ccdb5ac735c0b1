#pragma once

#include <optional>

#include "binding/declare.hpp"
#include "siri_et/recorded_call.hpp"

namespace quorvane {

// The calls already made.
struct RecordedCalls {
    std::optional<List<RecordedCall>> calls;
};

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<RecordedCalls> =
    record<RecordedCalls, "RecordedCalls">(field("calls", &RecordedCalls::calls, "RecordedCall"));

}  // namespace quorvane::binding
