#pragma once

#include "binding/read.hpp"

namespace quorvane {

using NotifyConnectionMonitoring = binding::Unbuilt<"NotifyConnectionMonitoring">;

}  // namespace quorvane
