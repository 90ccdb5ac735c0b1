#pragma once

#include "binding/declare.hpp"
#include "models/xxx_delivery.hpp"
#include "structures/distributor_departure_cancellation.hpp"
#include "structures/stopping_position_change_departure.hpp"
#include "structures/wait_prolonged_departure.hpp"

namespace quorvane {

// The distributor side: at most one departure of each kind.
struct ConnectionMonitoringDistributorDelivery {
    XxxDelivery leader;
    OptRecord<WaitProlongedDeparture> wait_prolonged_departure;
    OptRecord<StoppingPositionChangeDeparture> stopping_position_change_departure;
    OptRecord<DistributorDepartureCancellation> distributor_departure_cancellation;
};

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<ConnectionMonitoringDistributorDelivery> =
    record<ConnectionMonitoringDistributorDelivery, "ConnectionMonitoringDistributorDelivery">(
        group("leader", &ConnectionMonitoringDistributorDelivery::leader),
        field("wait_prolonged_departure", &ConnectionMonitoringDistributorDelivery::wait_prolonged_departure,
              "WaitProlongedDeparture"),
        field("stopping_position_change_departure",
              &ConnectionMonitoringDistributorDelivery::stopping_position_change_departure,
              "StoppingPositionChangeDeparture"),
        field("distributor_departure_cancellation",
              &ConnectionMonitoringDistributorDelivery::distributor_departure_cancellation,
              "DistributorDepartureCancellation"));

}  // namespace quorvane::binding
