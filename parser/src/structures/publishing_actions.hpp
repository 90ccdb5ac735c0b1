#pragma once

#include "binding/declare.hpp"
#include "structures/notify_by_email_action.hpp"
#include "structures/notify_by_sms_action.hpp"
#include "structures/publish_to_display_action.hpp"
#include "structures/publish_to_mobile_action.hpp"
#include "structures/publish_to_web_action.hpp"

namespace quorvane {

// How a situation is to be published: at most one action of each kind.
struct PublishingActions {
    OptRecord<PublishToWebAction> publish_to_web_action;
    OptRecord<PublishToMobileAction> publish_to_mobile_action;
    OptRecord<PublishToDisplayAction> publish_to_display_action;
    OptRecord<NotifyByEmailAction> notify_by_email_action;
    OptRecord<NotifyBySmsAction> notify_by_sms_action;
};

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<PublishingActions> = record<PublishingActions, "PublishingActions">(
    field("publish_to_web_action", &PublishingActions::publish_to_web_action, "PublishToWebAction"),
    field("publish_to_mobile_action", &PublishingActions::publish_to_mobile_action, "PublishToMobileAction"),
    field("publish_to_display_action", &PublishingActions::publish_to_display_action, "PublishToDisplayAction"),
    field("notify_by_email_action", &PublishingActions::notify_by_email_action, "NotifyByEmailAction"),
    field("notify_by_sms_action", &PublishingActions::notify_by_sms_action, "NotifyBySmsAction"));

}  // namespace quorvane::binding
