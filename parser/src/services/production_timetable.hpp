#pragma once

#include "binding/read.hpp"

namespace quorvane {

using NotifyProductionTimetable = binding::Unbuilt<"NotifyProductionTimetable">;

}  // namespace quorvane
