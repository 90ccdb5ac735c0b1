#pragma once

#include "binding/declare.hpp"
#include "models/xxx_delivery.hpp"
#include "structures/dated_timetable_version_frame.hpp"

namespace quorvane {

struct ProductionTimetableDelivery {
    XxxDelivery leader;
    DatedTimetableVersionFrame dated_timetable_version_frame;
};

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<ProductionTimetableDelivery> =
    record<ProductionTimetableDelivery, "ProductionTimetableDelivery">(
        group("leader", &ProductionTimetableDelivery::leader),
        field("dated_timetable_version_frame", &ProductionTimetableDelivery::dated_timetable_version_frame,
              "DatedTimetableVersionFrame"));

}  // namespace quorvane::binding
