#pragma once

#include "binding/declare.hpp"

namespace quorvane {

// Withdraws a message by its identifier.
struct InfoMessageCancellation {
    Text recorded_at_time;
    Text info_message_identifier;
    OptText info_channel_ref;
};

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<InfoMessageCancellation> = record<InfoMessageCancellation, "InfoMessageCancellation">(
    field("recorded_at_time", &InfoMessageCancellation::recorded_at_time, "RecordedAtTime"),
    field("info_message_identifier", &InfoMessageCancellation::info_message_identifier, "InfoMessageIdentifier"),
    field("info_channel_ref", &InfoMessageCancellation::info_channel_ref, "InfoChannelRef"));

}  // namespace quorvane::binding
