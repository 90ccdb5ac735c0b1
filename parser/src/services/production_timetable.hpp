#pragma once

#include "binding/declare.hpp"
#include "models/service_delivery_info.hpp"
#include "notifications/production_timetable_notification.hpp"

namespace quorvane {

struct NotifyProductionTimetable {
    ServiceDeliveryInfo service_delivery_info;
    ProductionTimetableNotification notification;
};

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<NotifyProductionTimetable> =
    notify_record<NotifyProductionTimetable, "NotifyProductionTimetable">();

}  // namespace quorvane::binding
