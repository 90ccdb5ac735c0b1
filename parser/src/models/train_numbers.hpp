#pragma once

#include "binding/declare.hpp"

namespace quorvane {

// One train number, not a list: a second `TrainNumberRef` is a duplicate.
struct TrainNumbers {
    OptText train_number_ref;
};

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<TrainNumbers> =
    record<TrainNumbers, "TrainNumbers">(field("train_number_ref", &TrainNumbers::train_number_ref, "TrainNumberRef"));

}  // namespace quorvane::binding
