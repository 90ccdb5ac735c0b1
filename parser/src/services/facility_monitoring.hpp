#pragma once

#include "binding/declare.hpp"
#include "models/service_delivery_info.hpp"
#include "notifications/facility_monitoring_notification.hpp"

namespace quorvane {

struct NotifyFacilityMonitoring {
    ServiceDeliveryInfo service_delivery_info;
    FacilityMonitoringNotification notification;
};

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<NotifyFacilityMonitoring> =
    notify_record<NotifyFacilityMonitoring, "NotifyFacilityMonitoring">();

}  // namespace quorvane::binding
