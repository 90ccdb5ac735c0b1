#pragma once

#include <cstdint>
#include <optional>

#include "binding/declare.hpp"
#include "models/framed_vehicle_journey_ref.hpp"
#include "structures/connecting_journey.hpp"

namespace quorvane {

// Which interchange, link, stop and journeys a distributor departure is about.
struct DistributorInfo {
    Text interchange_ref;
    Text connection_link_ref;
    Text stop_point_ref;
    std::optional<std::uint32_t> distributor_order;
    OptRecord<ConnectingJourney> distributor_journey;
    OptRecord<FramedVehicleJourneyRef> feeder_vehicle_journey_ref;
};

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<DistributorInfo> = record<DistributorInfo, "DistributorInfo">(
    field("interchange_ref", &DistributorInfo::interchange_ref, "InterchangeRef"),
    field("connection_link_ref", &DistributorInfo::connection_link_ref, "ConnectionLinkRef"),
    field("stop_point_ref", &DistributorInfo::stop_point_ref, "StopPointRef"),
    field("distributor_order", &DistributorInfo::distributor_order, "DistributorOrder"),
    field("distributor_journey", &DistributorInfo::distributor_journey, "DistributorJourney"),
    field("feeder_vehicle_journey_ref", &DistributorInfo::feeder_vehicle_journey_ref, "FeederVehicleJourneyRef"));

}  // namespace quorvane::binding
