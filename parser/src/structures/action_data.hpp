#pragma once

#include "binding/declare.hpp"
#include "structures/publish_at_scope.hpp"

namespace quorvane {

struct ActionData {
    Text name;
    OptText prompt;
    OptRecord<PublishAtScope> publish_at_scope;
};

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<ActionData> =
    record<ActionData, "ActionData">(field("name", &ActionData::name, "Name"),
                                     field("prompt", &ActionData::prompt, "Prompt"),
                                     field("publish_at_scope", &ActionData::publish_at_scope, "PublishAtScope"));

}  // namespace quorvane::binding
