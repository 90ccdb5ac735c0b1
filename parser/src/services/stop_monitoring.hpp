#pragma once

#include "binding/read.hpp"

namespace quorvane {

using NotifyStopMonitoring = binding::Unbuilt<"NotifyStopMonitoring">;

}  // namespace quorvane
