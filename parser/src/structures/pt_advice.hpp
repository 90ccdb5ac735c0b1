#pragma once

#include <optional>
#include <string>

#include "binding/declare.hpp"

namespace quorvane {

struct PtAdvice {
    std::optional<std::string> advice_ref;
    std::string details;
};

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<PtAdvice> =
    record<PtAdvice, "PtAdvice">(field("advice_ref", &PtAdvice::advice_ref, "AdviceRef"),
                                 field("details", &PtAdvice::details, "Details"));

}  // namespace quorvane::binding
