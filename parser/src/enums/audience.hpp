#pragma once

#include "binding/declare.hpp"

namespace quorvane {

// Who a situation is meant for.
enum class Audience : unsigned char { Public, EmergencyService, Authorities, TransportOperators };

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<Audience> = enumeration<Audience>({
    {"public", "Public"},
    {"emergencyService", "EmergencyService"},
    {"authorities", "Authorities"},
    {"transportOperators", "TransportOperators"},
});

}  // namespace quorvane::binding
