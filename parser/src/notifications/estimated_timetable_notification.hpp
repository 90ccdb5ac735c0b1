#pragma once

#include "binding/declare.hpp"
#include "deliveries/estimated_timetable_delivery.hpp"

namespace quorvane {

struct EstimatedTimetableNotification {
    EstimatedTimetableDelivery estimated_timetable_delivery;
};

}  // namespace quorvane

namespace quorvane::binding {

// Keys are local names, so the alias `siri1:EstimatedTimetableDelivery`
// matches only a name with one more prefix, as `x:siri1:...`. It is kept
// because such documents exist.
template <>
inline constexpr auto declaration<EstimatedTimetableNotification> =
    record<EstimatedTimetableNotification, "EstimatedTimetableNotification">(
        field("estimated_timetable_delivery", &EstimatedTimetableNotification::estimated_timetable_delivery,
              "EstimatedTimetableDelivery", "siri1:EstimatedTimetableDelivery"));

}  // namespace quorvane::binding
