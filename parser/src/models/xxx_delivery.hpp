#pragma once

#include <cstdint>
#include <optional>

#include "binding/declare.hpp"

namespace quorvane {

// The delivery frame: the common part of every delivery, held by each
// delivery record as its embedded group `leader` and built from the
// delivery element's leftover buffer.
struct XxxDelivery {
    Text response_timestamp;
    OptText request_message_ref;
    OptText subscriber_ref;
    OptText subscription_ref;
    std::optional<bool> status;
    OptText valid_until;
    std::optional<std::uint32_t> shortest_possible_cycle;
};

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<XxxDelivery> = record<XxxDelivery, "XxxDelivery">(
    field("response_timestamp", &XxxDelivery::response_timestamp, "ResponseTimestamp"),
    field("request_message_ref", &XxxDelivery::request_message_ref, "RequestMessageRef"),
    field("subscriber_ref", &XxxDelivery::subscriber_ref, "SubscriberRef"),
    field("subscription_ref", &XxxDelivery::subscription_ref, "SubscriptionRef"),
    field("status", &XxxDelivery::status, "Status"),
    field("valid_until", &XxxDelivery::valid_until, "ValidUntil"),
    field("shortest_possible_cycle", &XxxDelivery::shortest_possible_cycle, "ShortestPossibleCycle"));

}  // namespace quorvane::binding
