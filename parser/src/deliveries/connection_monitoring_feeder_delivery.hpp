#pragma once

#include "binding/declare.hpp"
#include "models/xxx_delivery.hpp"
#include "structures/monitored_feeder_arrival.hpp"
#include "structures/monitored_feeder_arrival_cancellation.hpp"

namespace quorvane {

// The feeder side: exactly one arrival and one arrival cancellation.
struct ConnectionMonitoringFeederDelivery {
    XxxDelivery leader;
    MonitoredFeederArrival monitored_feeder_arrival;
    MonitoredFeederArrivalCancellation monitored_feeder_arrival_cancellation;
};

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<ConnectionMonitoringFeederDelivery> =
    record<ConnectionMonitoringFeederDelivery, "ConnectionMonitoringFeederDelivery">(
        group("leader", &ConnectionMonitoringFeederDelivery::leader),
        field("monitored_feeder_arrival", &ConnectionMonitoringFeederDelivery::monitored_feeder_arrival,
              "MonitoredFeederArrival"),
        field("monitored_feeder_arrival_cancellation",
              &ConnectionMonitoringFeederDelivery::monitored_feeder_arrival_cancellation,
              "MonitoredFeederArrivalCancellation"));

}  // namespace quorvane::binding
