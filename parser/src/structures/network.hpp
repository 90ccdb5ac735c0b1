#pragma once

#include <optional>
#include <string>

#include "binding/declare.hpp"

namespace quorvane {

struct Network {
    std::optional<std::string> network_ref;
    std::optional<std::string> network_name;
    std::optional<std::string> routes_affected;
};

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<Network> =
    record<Network, "Network">(field("network_ref", &Network::network_ref, "NetworkRef"),
                               field("network_name", &Network::network_name, "NetworkName"),
                               field("routes_affected", &Network::routes_affected, "RoutesAffected"));

}  // namespace quorvane::binding
