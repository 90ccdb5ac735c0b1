#pragma once

#include <cstdint>
#include <optional>

#include "binding/declare.hpp"
#include "enums/condition.hpp"
#include "enums/severity.hpp"
#include "structures/blocking.hpp"
#include "structures/boarding.hpp"
#include "structures/pt_advice.hpp"

namespace quorvane {

// What a situation means for travellers. Unlike the situation's own
// `Severity` and `Advice` texts, here they are a choice and a record.
struct PtConsequence {
    Condition condition;
    Severity severity;
    OptRecord<PtAdvice> advice;
    OptRecord<Blocking> blocking;
    Boarding boarding;
    std::optional<std::uint32_t> delays;
};

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<PtConsequence> =
    record<PtConsequence, "PtConsequence">(field("condition", &PtConsequence::condition, "Condition"),
                                           field("severity", &PtConsequence::severity, "Severity"),
                                           field("advice", &PtConsequence::advice, "Advice"),
                                           field("blocking", &PtConsequence::blocking, "Blocking"),
                                           field("boarding", &PtConsequence::boarding, "Boarding"),
                                           field("delays", &PtConsequence::delays, "Delays"));

}  // namespace quorvane::binding
