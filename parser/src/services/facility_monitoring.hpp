#pragma once

#include "binding/read.hpp"

namespace quorvane {

using NotifyFacilityMonitoring = binding::Unbuilt<"NotifyFacilityMonitoring">;

}  // namespace quorvane
