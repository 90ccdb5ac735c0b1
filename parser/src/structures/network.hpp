#pragma once

#include "binding/declare.hpp"

namespace quorvane {

struct Network {
    OptText network_ref;
    OptText network_name;
    OptText routes_affected;
};

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<Network> =
    record<Network, "Network">(field("network_ref", &Network::network_ref, "NetworkRef"),
                               field("network_name", &Network::network_name, "NetworkName"),
                               field("routes_affected", &Network::routes_affected, "RoutesAffected"));

}  // namespace quorvane::binding
