#pragma once

#include "binding/read.hpp"

namespace quorvane {

using NotifySituationExchange = binding::Unbuilt<"NotifySituationExchange">;

}  // namespace quorvane
