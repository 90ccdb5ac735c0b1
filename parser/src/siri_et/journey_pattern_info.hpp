#pragma once

#include "binding/declare.hpp"
#include "siri_sm/journey_pattern_info_group.hpp"

namespace quorvane {

// The journey pattern of an estimated journey: the fields of the shared
// JourneyPatternInfoGroup, rendered under a name of its own.
struct JourneyPatternInfo : JourneyPatternInfoGroup {};

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<JourneyPatternInfo> =
    same_fields_as<JourneyPatternInfo, "JourneyPatternInfo">(declaration<JourneyPatternInfoGroup>);

}  // namespace quorvane::binding
