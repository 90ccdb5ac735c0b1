#pragma once

#include "binding/read.hpp"

namespace quorvane {

using NotifyGeneralMessage = binding::Unbuilt<"NotifyGeneralMessage">;

}  // namespace quorvane
