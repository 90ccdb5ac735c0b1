#pragma once

#include <optional>

#include "binding/declare.hpp"
#include "enums/action_status.hpp"
#include "structures/action_data.hpp"

namespace quorvane {

// The parameters every publishing action may carry, read from its
// `ParameterizedAction` element (with z).
struct ParameterisedAction {
    std::optional<ActionStatus> action_status;
    OptText description;
    List<ActionData> action_data;
};

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<ParameterisedAction> = record<ParameterisedAction, "ParameterisedAction">(
    field("action_status", &ParameterisedAction::action_status, "ActionStatus"),
    field("description", &ParameterisedAction::description, "Description"),
    field("action_data", &ParameterisedAction::action_data, "ActionData"));

}  // namespace quorvane::binding
