#pragma once

#include "binding/declare.hpp"

namespace quorvane {

struct UserNeed {
    OptText mobility_need;
};

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<UserNeed> =
    record<UserNeed, "UserNeed">(field("mobility_need", &UserNeed::mobility_need, "MobilityNeed"));

}  // namespace quorvane::binding
