#pragma once

#include "binding/declare.hpp"

namespace quorvane {

// How reliable a report is.
enum class QualityIndex : unsigned char { Certain, VeryReliable, Reliable, Unreliable, Unconfirmed };

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<QualityIndex> = enumeration<QualityIndex>({
    {"certain", "Certain"},
    {"veryReliable", "VeryReliable"},
    {"reliable", "Reliable"},
    {"unreliable", "Unreliable"},
    {"unconfirmed", "Unconfirmed"},
});

}  // namespace quorvane::binding
