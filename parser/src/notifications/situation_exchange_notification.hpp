#pragma once

#include "binding/declare.hpp"
#include "deliveries/situation_exchange_delivery.hpp"

namespace quorvane {

struct SituationExchangeNotification {
    SituationExchangeDelivery situation_exchange_delivery;
};

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<SituationExchangeNotification> =
    record<SituationExchangeNotification, "SituationExchangeNotification">(
        field("situation_exchange_delivery", &SituationExchangeNotification::situation_exchange_delivery,
              "SituationExchangeDelivery"));

}  // namespace quorvane::binding
