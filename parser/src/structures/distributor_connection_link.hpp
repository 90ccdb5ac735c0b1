#pragma once

#include <cstdint>
#include <optional>

#include "binding/declare.hpp"

namespace quorvane {

// The link to the distributor's stop; the durations are counts, not
// duration texts.
struct DistributorConnectionLink {
    OptText connection_code;
    OptText stop_point_ref;
    std::optional<std::uint32_t> interchange_duration;
    std::optional<std::uint32_t> frequent_traveller_duration;
    std::optional<std::uint32_t> occasional_traveller_duration;
    std::optional<std::uint32_t> impaired_access_duration;
};

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<DistributorConnectionLink> =
    record<DistributorConnectionLink, "DistributorConnectionLink">(
        field("connection_code", &DistributorConnectionLink::connection_code, "ConnectionCode"),
        field("stop_point_ref", &DistributorConnectionLink::stop_point_ref, "StopPointRef"),
        field("interchange_duration", &DistributorConnectionLink::interchange_duration, "InterchangeDuration"),
        field("frequent_traveller_duration", &DistributorConnectionLink::frequent_traveller_duration,
              "FrequentTravellerDuration"),
        field("occasional_traveller_duration", &DistributorConnectionLink::occasional_traveller_duration,
              "OccasionalTravellerDuration"),
        field("impaired_access_duration", &DistributorConnectionLink::impaired_access_duration,
              "ImpairedAccessDuration"));

}  // namespace quorvane::binding
