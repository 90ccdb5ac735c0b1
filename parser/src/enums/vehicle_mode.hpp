#pragma once

#include "binding/declare.hpp"

namespace quorvane {

enum class VehicleMode : unsigned char { Air, Bus, Coach, Ferry, Metro, Rail, Tram, Underground };

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<VehicleMode> = enumeration<VehicleMode>({
    {"air", "Air"},
    {"bus", "Bus"},
    {"coach", "Coach"},
    {"ferry", "Ferry"},
    {"metro", "Metro"},
    {"rail", "Rail"},
    {"tram", "Tram"},
    {"underground", "Underground"},
});

}  // namespace quorvane::binding
