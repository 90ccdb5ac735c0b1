#pragma once

#include <optional>

#include "binding/declare.hpp"
#include "structures/parameterised_action.hpp"

namespace quorvane {

struct PublishToWebAction {
    OptRecord<ParameterisedAction> parameterized_action;
    std::optional<bool> incidents;
    std::optional<bool> home_page;
    std::optional<bool> ticker;
    List<Text> social_network;
};

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<PublishToWebAction> = record<PublishToWebAction, "PublishToWebAction">(
    field("parameterized_action", &PublishToWebAction::parameterized_action, "ParameterizedAction"),
    field("incidents", &PublishToWebAction::incidents, "Incidents"),
    field("home_page", &PublishToWebAction::home_page, "HomePage"),
    field("ticker", &PublishToWebAction::ticker, "Ticker"),
    field("social_network", &PublishToWebAction::social_network, "SocialNetwork"));

}  // namespace quorvane::binding
