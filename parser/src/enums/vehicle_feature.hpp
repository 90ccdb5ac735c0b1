#pragma once

#include "binding/declare.hpp"

namespace quorvane {

enum class VehicleFeature : unsigned char { ShortTrain, LongTrain };

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<VehicleFeature> = enumeration<VehicleFeature>({
    {"shortTrain", "ShortTrain"},
    {"longTrain", "LongTrain"},
});

}  // namespace quorvane::binding
