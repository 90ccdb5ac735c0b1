#pragma once

#include "binding/declare.hpp"

namespace quorvane {

// Accepts its element and keeps nothing of it.
struct DisruptionGroup {};

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<DisruptionGroup> = record<DisruptionGroup, "DisruptionGroup">();

}  // namespace quorvane::binding
