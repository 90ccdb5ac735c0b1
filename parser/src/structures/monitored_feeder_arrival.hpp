#pragma once

#include <cstdint>
#include <optional>

#include "binding/declare.hpp"
#include "structures/feeder_journey.hpp"

namespace quorvane {

// The monitored arrival of a feeder vehicle at an interchange.
struct MonitoredFeederArrival {
    Text recorded_at_time;
    OptText item_identifier;
    OptText interchange_ref;
    OptText connection_link_ref;
    OptText stop_point_ref;
    std::optional<std::uint32_t> order;
    OptText strop_point_name;
    OptText clear_down_ref;
    FeederJourney feeder_journey;
    std::optional<bool> vehicle_at_stop;
    OptText aimed_arrival_time;
    OptText expected_arrival_time;
    OptText arrival_platform_time;
    std::optional<std::uint32_t> number_of_transfer_passengers;
};

}  // namespace quorvane

namespace quorvane::binding {

// `StopPointName` renders as `strop_point_name`: the rendered names are
// output that callers match, so the spelling stays.
template <>
inline constexpr auto declaration<MonitoredFeederArrival> = record<MonitoredFeederArrival, "MonitoredFeederArrival">(
    field("recorded_at_time", &MonitoredFeederArrival::recorded_at_time, "RecordedAtTime"),
    field("item_identifier", &MonitoredFeederArrival::item_identifier, "ItemIdentifier"),
    field("interchange_ref", &MonitoredFeederArrival::interchange_ref, "InterchangeRef"),
    field("connection_link_ref", &MonitoredFeederArrival::connection_link_ref, "ConnectionLinkRef"),
    field("stop_point_ref", &MonitoredFeederArrival::stop_point_ref, "StopPointRef"),
    field("order", &MonitoredFeederArrival::order, "Order"),
    field("strop_point_name", &MonitoredFeederArrival::strop_point_name, "StopPointName"),
    field("clear_down_ref", &MonitoredFeederArrival::clear_down_ref, "ClearDownRef"),
    field("feeder_journey", &MonitoredFeederArrival::feeder_journey, "FeederJourney"),
    field("vehicle_at_stop", &MonitoredFeederArrival::vehicle_at_stop, "VehicleAtStop"),
    field("aimed_arrival_time", &MonitoredFeederArrival::aimed_arrival_time, "AimedArrivalTime"),
    field("expected_arrival_time", &MonitoredFeederArrival::expected_arrival_time, "ExpectedArrivalTime"),
    field("arrival_platform_time", &MonitoredFeederArrival::arrival_platform_time, "ArrivalPlatformTime"),
    field("number_of_transfer_passengers", &MonitoredFeederArrival::number_of_transfer_passengers,
          "NumberOfTransferPassengers"));

}  // namespace quorvane::binding
