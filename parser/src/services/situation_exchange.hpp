#pragma once

#include "binding/declare.hpp"
#include "models/service_delivery_info.hpp"
#include "notifications/situation_exchange_notification.hpp"

namespace quorvane {

// Seen from Python only through the rendering of the body that holds it:
// no method hands this record out.
struct NotifySituationExchange {
    ServiceDeliveryInfo service_delivery_info;
    SituationExchangeNotification notification;
};

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<NotifySituationExchange> =
    notify_record<NotifySituationExchange, "NotifySituationExchange">();

}  // namespace quorvane::binding
