#pragma once

#include <optional>

#include "binding/declare.hpp"
#include "structures/parameterised_action.hpp"

namespace quorvane {

struct PublishToDisplayAction {
    OptRecord<ParameterisedAction> parameterized_action;
    std::optional<bool> on_place;
    std::optional<bool> onboard;
};

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<PublishToDisplayAction> = record<PublishToDisplayAction, "PublishToDisplayAction">(
    field("parameterized_action", &PublishToDisplayAction::parameterized_action, "ParameterizedAction"),
    field("on_place", &PublishToDisplayAction::on_place, "OnPlace"),
    field("onboard", &PublishToDisplayAction::onboard, "Onboard"));

}  // namespace quorvane::binding
