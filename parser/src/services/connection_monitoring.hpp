#pragma once

#include "binding/declare.hpp"
#include "models/service_delivery_info.hpp"
#include "notifications/connection_monitoring_notification.hpp"

namespace quorvane {

struct NotifyConnectionMonitoring {
    ServiceDeliveryInfo service_delivery_info;
    ConnectionMonitoringNotification notification;
};

}  // namespace quorvane

namespace quorvane::binding {

// Its own key rule, which today names the same two elements as the shared one.
template <>
inline constexpr auto declaration<NotifyConnectionMonitoring> =
    record<NotifyConnectionMonitoring, "NotifyConnectionMonitoring">(
        field("service_delivery_info", &NotifyConnectionMonitoring::service_delivery_info, "ServiceDeliveryInfo"),
        field("notification", &NotifyConnectionMonitoring::notification, "Notification"));

}  // namespace quorvane::binding
