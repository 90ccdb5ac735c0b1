#pragma once

#include <variant>

#include "binding/declare.hpp"

namespace quorvane {

struct AffectedOperator {
    Text operator_ref;
};

// One item of an `Operators` list: the item's first child element names the
// alternative (`allOperators` or `affectedOperator`) and holds its value.
using AffectedOperatorType = std::variant<binding::Unit, AffectedOperator>;

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<AffectedOperator> =
    record<AffectedOperator, "AffectedOperator">(field("operator_ref", &AffectedOperator::operator_ref, "OperatorRef"));

template <>
inline constexpr auto declaration<AffectedOperatorType> = VariantDecl<AffectedOperatorType, 2, 2>{
    ChoiceMode::FirstChild,
    {"AllOperators", "AffectedOperator"},
    {{{"allOperators", 0}, {"affectedOperator", 1}}},
};

}  // namespace quorvane::binding
