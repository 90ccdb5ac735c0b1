#pragma once

#include "binding/declare.hpp"
#include "siri_fm/user_need.hpp"

namespace quorvane {

// Whether a facility suits a user need; `suitable` is free text.
struct Suitability {
    Text suitable;
    OptRecord<UserNeed> user_need;
};

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<Suitability> =
    record<Suitability, "Suitability">(field("suitable", &Suitability::suitable, "Suitable"),
                                       field("user_need", &Suitability::user_need, "UserNeed"));

}  // namespace quorvane::binding
