#pragma once

#include "binding/declare.hpp"
#include "models/xxx_delivery.hpp"
#include "siri_fm/facility_condition.hpp"

namespace quorvane {

// One delivery reports exactly one facility.
struct FacilityMonitoringDelivery {
    XxxDelivery leader;
    FacilityCondition facility_condition;
};

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<FacilityMonitoringDelivery> =
    record<FacilityMonitoringDelivery, "FacilityMonitoringDelivery">(
        group("leader", &FacilityMonitoringDelivery::leader),
        field("facility_condition", &FacilityMonitoringDelivery::facility_condition, "FacilityCondition"));

}  // namespace quorvane::binding
