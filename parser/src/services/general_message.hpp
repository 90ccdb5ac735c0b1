#pragma once

#include "binding/declare.hpp"
#include "models/service_delivery_info.hpp"
#include "notifications/general_message_notification.hpp"

namespace quorvane {

// Selected by a `NotifyGeneralMessage` or a `GeneralMessage` element.
struct NotifyGeneralMessage {
    ServiceDeliveryInfo service_delivery_info;
    GeneralMessageNotification notification;
};

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<NotifyGeneralMessage> = notify_record<NotifyGeneralMessage, "NotifyGeneralMessage">();

}  // namespace quorvane::binding
