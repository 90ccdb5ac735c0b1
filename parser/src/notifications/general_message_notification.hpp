#pragma once

#include "binding/declare.hpp"
#include "deliveries/general_message_delivery.hpp"

namespace quorvane {

struct GeneralMessageNotification {
    GeneralMessageDelivery general_message_delivery;
};

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<GeneralMessageNotification> =
    record<GeneralMessageNotification, "GeneralMessageNotification">(field(
        "general_message_delivery", &GeneralMessageNotification::general_message_delivery, "GeneralMessageDelivery"));

}  // namespace quorvane::binding
