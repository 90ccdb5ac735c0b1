#pragma once

#include "binding/declare.hpp"

namespace quorvane {

// A new stopping position: only its presence is kept.
struct LocationStructure {};

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<LocationStructure> = record<LocationStructure, "LocationStructure">();

}  // namespace quorvane::binding
