#pragma once

#include <optional>

#include "binding/declare.hpp"
#include "models/xxx_delivery.hpp"
#include "siri_vm/vehicle_activity.hpp"
#include "siri_vm/vehicle_activity_cancellation.hpp"

namespace quorvane {

struct VehicleMonitoringDelivery {
    XxxDelivery leader;
    std::optional<List<VehicleActivity>> vehicle_activity;
    std::optional<List<VehicleActivityCancellation>> vehicle_activity_cancellation;
};

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<VehicleMonitoringDelivery> =
    record<VehicleMonitoringDelivery, "VehicleMonitoringDelivery">(
        group("leader", &VehicleMonitoringDelivery::leader),
        field("vehicle_activity", &VehicleMonitoringDelivery::vehicle_activity, "VehicleActivity"),
        field("vehicle_activity_cancellation", &VehicleMonitoringDelivery::vehicle_activity_cancellation,
              "VehicleActivityCancellation"));

}  // namespace quorvane::binding
