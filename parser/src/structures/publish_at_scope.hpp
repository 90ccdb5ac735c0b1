#pragma once

#include <optional>

#include "binding/declare.hpp"
#include "enums/scope_type.hpp"
#include "structures/affect.hpp"

namespace quorvane {

struct PublishAtScope {
    std::optional<ScopeType> scope_type;
    List<Affect> affects;
};

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<PublishAtScope> =
    record<PublishAtScope, "PublishAtScope">(field("scope_type", &PublishAtScope::scope_type, "ScopeType"),
                                             field("affects", &PublishAtScope::affects, "Affects"));

}  // namespace quorvane::binding
