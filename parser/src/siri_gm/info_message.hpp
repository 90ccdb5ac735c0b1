#pragma once

#include <cstdint>
#include <optional>

#include "binding/declare.hpp"

namespace quorvane {

// One free-text message on an information channel.
struct InfoMessage {
    OptText format_ref;
    Text recorded_at_time;
    OptText item_identifier;
    Text info_message_identifier;
    std::optional<std::uint32_t> info_message_version;
    Text info_channel_ref;
    Text valid_until_time;
    OptText situation_ref;
    OptText content;
};

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<InfoMessage> = record<InfoMessage, "InfoMessage">(
    field("format_ref", &InfoMessage::format_ref, "FormatRef"),
    field("recorded_at_time", &InfoMessage::recorded_at_time, "RecordedAtTime"),
    field("item_identifier", &InfoMessage::item_identifier, "ItemIdentifier"),
    field("info_message_identifier", &InfoMessage::info_message_identifier, "InfoMessageIdentifier"),
    field("info_message_version", &InfoMessage::info_message_version, "InfoMessageVersion"),
    field("info_channel_ref", &InfoMessage::info_channel_ref, "InfoChannelRef"),
    field("valid_until_time", &InfoMessage::valid_until_time, "ValidUntilTime"),
    field("situation_ref", &InfoMessage::situation_ref, "SituationRef"),
    field("content", &InfoMessage::content, "Content"));

}  // namespace quorvane::binding
