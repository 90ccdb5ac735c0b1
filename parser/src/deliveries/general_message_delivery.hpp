#pragma once

#include "binding/declare.hpp"
#include "models/xxx_delivery.hpp"
#include "siri_gm/info_message.hpp"
#include "siri_gm/info_message_cancellation.hpp"

namespace quorvane {

// At most one message and one cancellation per delivery.
struct GeneralMessageDelivery {
    XxxDelivery leader;
    OptRecord<InfoMessage> info_message;
    OptRecord<InfoMessageCancellation> info_message_cancellation;
};

}  // namespace quorvane

namespace quorvane::binding {

// Older producers name the message elements after the service.
template <>
inline constexpr auto declaration<GeneralMessageDelivery> = record<GeneralMessageDelivery, "GeneralMessageDelivery">(
    group("leader", &GeneralMessageDelivery::leader),
    field("info_message", &GeneralMessageDelivery::info_message, "InfoMessage", "GeneralMessage"),
    field("info_message_cancellation", &GeneralMessageDelivery::info_message_cancellation, "InfoMessageCancellation",
          "GeneralMessageCancellation"));

}  // namespace quorvane::binding
