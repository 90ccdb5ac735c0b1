#pragma once

#include <cstdint>
#include <optional>

#include "binding/declare.hpp"
#include "structures/journey_info.hpp"

namespace quorvane {

// Withdraws a feeder arrival reported before, named by `ItemRef`.
struct MonitoredFeederArrivalCancellation {
    Text recorded_at_time;
    OptText item_ref;
    OptText interchange_ref;
    OptText connection_link_ref;
    OptText stop_point_ref;
    std::optional<std::uint32_t> order;
    OptText strop_point_name;
    OptRecord<JourneyInfo> journey_info;
    OptText reason;
};

}  // namespace quorvane

namespace quorvane::binding {

// `StopPointName` renders as `strop_point_name`, as in the arrival.
template <>
inline constexpr auto declaration<MonitoredFeederArrivalCancellation> =
    record<MonitoredFeederArrivalCancellation, "MonitoredFeederArrivalCancellation">(
        field("recorded_at_time", &MonitoredFeederArrivalCancellation::recorded_at_time, "RecordedAtTime"),
        field("item_ref", &MonitoredFeederArrivalCancellation::item_ref, "ItemRef"),
        field("interchange_ref", &MonitoredFeederArrivalCancellation::interchange_ref, "InterchangeRef"),
        field("connection_link_ref", &MonitoredFeederArrivalCancellation::connection_link_ref, "ConnectionLinkRef"),
        field("stop_point_ref", &MonitoredFeederArrivalCancellation::stop_point_ref, "StopPointRef"),
        field("order", &MonitoredFeederArrivalCancellation::order, "Order"),
        field("strop_point_name", &MonitoredFeederArrivalCancellation::strop_point_name, "StopPointName"),
        field("journey_info", &MonitoredFeederArrivalCancellation::journey_info, "JourneyInfo"),
        field("reason", &MonitoredFeederArrivalCancellation::reason, "Reason"));

}  // namespace quorvane::binding
