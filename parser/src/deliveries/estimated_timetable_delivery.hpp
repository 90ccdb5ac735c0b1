#pragma once

#include "binding/declare.hpp"
#include "models/estimated_journey_version_frame.hpp"
#include "models/xxx_delivery.hpp"

namespace quorvane {

// Its only own child is the version frame; everything else of the element
// belongs to the delivery frame `leader`.
struct EstimatedTimetableDelivery {
    XxxDelivery leader;
    EstimatedJourneyVersionFrame estimated_journey_version_frame;
};

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<EstimatedTimetableDelivery> =
    record<EstimatedTimetableDelivery, "EstimatedTimetableDelivery">(
        group("leader", &EstimatedTimetableDelivery::leader),
        field("estimated_journey_version_frame", &EstimatedTimetableDelivery::estimated_journey_version_frame,
              "EstimatedJourneyVersionFrame"));

}  // namespace quorvane::binding
