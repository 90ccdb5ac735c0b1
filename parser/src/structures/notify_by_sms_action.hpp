#pragma once

#include <optional>

#include "binding/declare.hpp"
#include "structures/before_notice.hpp"
#include "structures/parameterised_action.hpp"

namespace quorvane {

struct NotifyBySmsAction {
    OptRecord<ParameterisedAction> parameterized_action;
    List<BeforeNotice> before_notices;
    std::optional<bool> clear_notice;
    OptText phone;
    std::optional<bool> premium;
};

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<NotifyBySmsAction> = record<NotifyBySmsAction, "NotifyBySmsAction">(
    field("parameterized_action", &NotifyBySmsAction::parameterized_action, "ParameterizedAction"),
    field("before_notices", &NotifyBySmsAction::before_notices, "BeforeNotices"),
    field("clear_notice", &NotifyBySmsAction::clear_notice, "ClearNotice"),
    field("phone", &NotifyBySmsAction::phone, "Phone"),
    field("premium", &NotifyBySmsAction::premium, "Premium"));

}  // namespace quorvane::binding
