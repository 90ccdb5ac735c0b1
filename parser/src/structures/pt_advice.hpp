#pragma once

#include "binding/declare.hpp"

namespace quorvane {

struct PtAdvice {
    OptText advice_ref;
    Text details;
};

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<PtAdvice> =
    record<PtAdvice, "PtAdvice">(field("advice_ref", &PtAdvice::advice_ref, "AdviceRef"),
                                 field("details", &PtAdvice::details, "Details"));

}  // namespace quorvane::binding
