#pragma once

#include <optional>

#include "binding/declare.hpp"
#include "models/xxx_delivery.hpp"
#include "siri_sm/monitored_stop_visit.hpp"
#include "siri_sm/monitored_stop_visit_cancellation.hpp"

namespace quorvane {

struct StopMonitoringDelivery {
    XxxDelivery leader;
    OptText monitoring_ref;
    std::optional<List<MonitoredStopVisit>> monitored_stop_visit;
    std::optional<List<MonitoredStopVisitCancellation>> monitored_stop_visit_cancellation;
};

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<StopMonitoringDelivery> = record<StopMonitoringDelivery, "StopMonitoringDelivery">(
    group("leader", &StopMonitoringDelivery::leader),
    field("monitoring_ref", &StopMonitoringDelivery::monitoring_ref, "MonitoringRef"),
    field("monitored_stop_visit", &StopMonitoringDelivery::monitored_stop_visit, "MonitoredStopVisit"),
    field("monitored_stop_visit_cancellation", &StopMonitoringDelivery::monitored_stop_visit_cancellation,
          "MonitoredStopVisitCancellation"));

}  // namespace quorvane::binding
