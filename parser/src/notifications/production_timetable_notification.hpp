#pragma once

#include "binding/declare.hpp"
#include "deliveries/production_timetable_delivery.hpp"

namespace quorvane {

struct ProductionTimetableNotification {
    ProductionTimetableDelivery production_timetable_delivery;
};

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<ProductionTimetableNotification> =
    record<ProductionTimetableNotification, "ProductionTimetableNotification">(
        field("production_timetable_delivery", &ProductionTimetableNotification::production_timetable_delivery,
              "ProductionTimetableDelivery"));

}  // namespace quorvane::binding
