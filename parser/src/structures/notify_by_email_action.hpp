#pragma once

#include <optional>

#include "binding/declare.hpp"
#include "structures/before_notice.hpp"
#include "structures/parameterised_action.hpp"

namespace quorvane {

struct NotifyByEmailAction {
    OptRecord<ParameterisedAction> parameterized_action;
    List<BeforeNotice> before_notices;
    std::optional<bool> clear_notice;
    OptText email;
};

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<NotifyByEmailAction> = record<NotifyByEmailAction, "NotifyByEmailAction">(
    field("parameterized_action", &NotifyByEmailAction::parameterized_action, "ParameterizedAction"),
    field("before_notices", &NotifyByEmailAction::before_notices, "BeforeNotices"),
    field("clear_notice", &NotifyByEmailAction::clear_notice, "ClearNotice"),
    field("email", &NotifyByEmailAction::email, "Email"));

}  // namespace quorvane::binding
