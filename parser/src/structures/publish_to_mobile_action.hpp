#pragma once

#include <optional>

#include "binding/declare.hpp"
#include "structures/parameterised_action.hpp"

namespace quorvane {

struct PublishToMobileAction {
    OptRecord<ParameterisedAction> parameterized_action;
    std::optional<bool> incidents;
    std::optional<bool> home_page;
};

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<PublishToMobileAction> = record<PublishToMobileAction, "PublishToMobileAction">(
    field("parameterized_action", &PublishToMobileAction::parameterized_action, "ParameterizedAction"),
    field("incidents", &PublishToMobileAction::incidents, "Incidents"),
    field("home_page", &PublishToMobileAction::home_page, "HomePage"));

}  // namespace quorvane::binding
