#pragma once

#include "binding/declare.hpp"
#include "deliveries/connection_monitoring_distributor_delivery.hpp"
#include "deliveries/connection_monitoring_feeder_delivery.hpp"

namespace quorvane {

// At most one delivery of each side; a notification without any is valid.
struct ConnectionMonitoringNotification {
    OptRecord<ConnectionMonitoringFeederDelivery> connection_monitoring_feeder_delivery;
    OptRecord<ConnectionMonitoringDistributorDelivery> connection_monitoring_distributor_delivery;
};

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<ConnectionMonitoringNotification> =
    record<ConnectionMonitoringNotification, "ConnectionMonitoringNotification">(
        field("connection_monitoring_feeder_delivery",
              &ConnectionMonitoringNotification::connection_monitoring_feeder_delivery,
              "ConnectionMonitoringFeederDelivery"),
        field("connection_monitoring_distributor_delivery",
              &ConnectionMonitoringNotification::connection_monitoring_distributor_delivery,
              "ConnectionMonitoringDistributorDelivery"));

}  // namespace quorvane::binding
