#pragma once

#include "binding/declare.hpp"
#include "deliveries/facility_monitoring_delivery.hpp"

namespace quorvane {

struct FacilityMonitoringNotification {
    FacilityMonitoringDelivery facility_monitoring_delivery;
};

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<FacilityMonitoringNotification> =
    record<FacilityMonitoringNotification, "FacilityMonitoringNotification">(
        field("facility_monitoring_delivery", &FacilityMonitoringNotification::facility_monitoring_delivery,
              "FacilityMonitoringDelivery"));

}  // namespace quorvane::binding
