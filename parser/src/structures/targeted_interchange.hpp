#pragma once

#include <optional>

#include "binding/declare.hpp"
#include "structures/distributor_connection_link.hpp"

namespace quorvane {

// A planned connection from a dated call to a distributor journey.
struct TargetedInterchange {
    Text interchange_code;
    Text distributor_vehicle_journey_ref;
    DistributorConnectionLink distributor_connection_link;
    std::optional<bool> stay_seated;
    std::optional<bool> guaranteed;
    OptText maximum_wait_time;
};

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<TargetedInterchange> = record<TargetedInterchange, "TargetedInterchange">(
    field("interchange_code", &TargetedInterchange::interchange_code, "InterchangeCode"),
    field("distributor_vehicle_journey_ref", &TargetedInterchange::distributor_vehicle_journey_ref,
          "DistributorVehicleJourneyRef"),
    field("distributor_connection_link", &TargetedInterchange::distributor_connection_link,
          "DistributorConnectionLink"),
    field("stay_seated", &TargetedInterchange::stay_seated, "StaySeated"),
    field("guaranteed", &TargetedInterchange::guaranteed, "Guaranteed"),
    field("maximum_wait_time", &TargetedInterchange::maximum_wait_time, "MaximumWaitTime"));

}  // namespace quorvane::binding
