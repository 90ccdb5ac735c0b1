#pragma once

#include "binding/read.hpp"

namespace quorvane {

using NotifyVechicleMonitoring = binding::Unbuilt<"NotifyVechicleMonitoring">;

}  // namespace quorvane
