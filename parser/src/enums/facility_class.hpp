#pragma once

#include "binding/declare.hpp"

namespace quorvane {

enum class FacilityClass : unsigned char { FixedEquipment, MobileEquipment, SiteComponent, Site, ParkingBay, Vehicle };

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<FacilityClass> = enumeration<FacilityClass>({
    {"fixedEquipment", "FixedEquipment"},
    {"mobileEquipment", "MobileEquipment"},
    {"siteComponent", "SiteComponent"},
    {"site", "Site"},
    {"parkingBay", "ParkingBay"},
    {"vehicle", "Vehicle"},
});

}  // namespace quorvane::binding
