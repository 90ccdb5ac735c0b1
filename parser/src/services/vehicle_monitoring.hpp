#pragma once

#include "binding/declare.hpp"
#include "models/service_delivery_info.hpp"
#include "notifications/vehicle_monitoring_notification.hpp"

namespace quorvane {

// Read from `GetVehicleMonitoringResponse`; the name keeps the spelling
// callers know.
struct NotifyVechicleMonitoring {
    ServiceDeliveryInfo service_delivery_info;
    VehicleMonitoringNotification notification;
};

}  // namespace quorvane

namespace quorvane::binding {

// The notification comes as `Answer`, as the misspelt `Anwser` some
// producers send, or as `Notification`; errors name `Answer`.
template <>
inline constexpr auto declaration<NotifyVechicleMonitoring> =
    record<NotifyVechicleMonitoring, "NotifyVechicleMonitoring">(
        field("service_delivery_info", &NotifyVechicleMonitoring::service_delivery_info, "ServiceDeliveryInfo"),
        field("notification", &NotifyVechicleMonitoring::notification, "Answer", "Anwser", "Notification"));

}  // namespace quorvane::binding
