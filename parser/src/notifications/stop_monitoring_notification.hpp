#pragma once

#include "binding/declare.hpp"
#include "deliveries/stop_monitoring_delivery.hpp"

namespace quorvane {

struct StopMonitoringNotification {
    StopMonitoringDelivery stop_monitoring_delivery;
};

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<StopMonitoringNotification> =
    record<StopMonitoringNotification, "StopMonitoringNotification">(field(
        "stop_monitoring_delivery", &StopMonitoringNotification::stop_monitoring_delivery, "StopMonitoringDelivery"));

}  // namespace quorvane::binding
