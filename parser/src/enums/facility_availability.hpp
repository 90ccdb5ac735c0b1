#pragma once

#include "binding/declare.hpp"

namespace quorvane {

enum class FacilityAvailability : unsigned char { Unknown, Available, NotAvailable, PartiallyAvailable, Added, Removed };

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<FacilityAvailability> = enumeration<FacilityAvailability>({
    {"unknown", "Unknown"},
    {"available", "Available"},
    {"notAvailable", "NotAvailable"},
    {"partiallyAvailable", "PartiallyAvailable"},
    {"added", "Added"},
    {"removed", "Removed"},
});

}  // namespace quorvane::binding
