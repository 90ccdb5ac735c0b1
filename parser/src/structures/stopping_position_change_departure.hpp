#pragma once

#include "binding/declare.hpp"
#include "siri_sm/location_structure.hpp"
#include "structures/distributor_info.hpp"

namespace quorvane {

// A distributor departure that leaves from another stopping position.
struct StoppingPositionChangeDeparture {
    Text recorded_at_time;
    OptRecord<DistributorInfo> distributor_info;
    OptText change_note;
    OptRecord<LocationStructure> new_location;
};

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<StoppingPositionChangeDeparture> =
    record<StoppingPositionChangeDeparture, "StoppingPositionChangeDeparture">(
        field("recorded_at_time", &StoppingPositionChangeDeparture::recorded_at_time, "RecordedAtTime"),
        field("distributor_info", &StoppingPositionChangeDeparture::distributor_info, "DistributorInfo"),
        field("change_note", &StoppingPositionChangeDeparture::change_note, "ChangeNote"),
        field("new_location", &StoppingPositionChangeDeparture::new_location, "NewLocation"));

}  // namespace quorvane::binding
