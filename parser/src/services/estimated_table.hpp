#pragma once

#include "binding/read.hpp"

namespace quorvane {

using NotifyEstimatedTimetable = binding::Unbuilt<"NotifyEstimatedTimetable">;

}  // namespace quorvane
