#pragma once

#include "binding/declare.hpp"
#include "deliveries/vehicle_monitoring_delivery.hpp"

namespace quorvane {

struct VehicleMonitoringNotification {
    VehicleMonitoringDelivery vehicle_monitoring_delivery;
};

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<VehicleMonitoringNotification> =
    record<VehicleMonitoringNotification, "VehicleMonitoringNotification">(
        field("vehicle_monitoring_delivery", &VehicleMonitoringNotification::vehicle_monitoring_delivery,
              "VehicleMonitoringDelivery"));

}  // namespace quorvane::binding
