#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "binding/declare.hpp"

namespace quorvane {

// One free-text message on an information channel.
struct InfoMessage {
    std::optional<std::string> format_ref;
    std::string recorded_at_time;
    std::optional<std::string> item_identifier;
    std::string info_message_identifier;
    std::optional<std::uint32_t> info_message_version;
    std::string info_channel_ref;
    std::string valid_until_time;
    std::optional<std::string> situation_ref;
    std::optional<std::string> content;
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
