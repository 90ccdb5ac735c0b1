#pragma once

#include "binding/declare.hpp"
#include "models/service_delivery_info.hpp"
#include "notifications/stop_monitoring_notification.hpp"

namespace quorvane {

struct NotifyStopMonitoring {
    ServiceDeliveryInfo service_delivery_info;
    StopMonitoringNotification notification;
};

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<NotifyStopMonitoring> = notify_record<NotifyStopMonitoring, "NotifyStopMonitoring">();

}  // namespace quorvane::binding
