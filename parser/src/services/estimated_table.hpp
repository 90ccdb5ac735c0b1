#pragma once

#include "binding/declare.hpp"
#include "models/service_delivery_info.hpp"
#include "notifications/estimated_timetable_notification.hpp"

namespace quorvane {

struct NotifyEstimatedTimetable {
    ServiceDeliveryInfo service_delivery_info;
    EstimatedTimetableNotification notification;
};

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<NotifyEstimatedTimetable> =
    notify_record<NotifyEstimatedTimetable, "NotifyEstimatedTimetable">();

}  // namespace quorvane::binding
