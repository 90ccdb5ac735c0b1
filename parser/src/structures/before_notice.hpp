#pragma once

#include "binding/declare.hpp"

namespace quorvane {

// One `BeforeNotices` element; the interval is kept as written.
struct BeforeNotice {
    Text interval;
};

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<BeforeNotice> =
    record<BeforeNotice, "BeforeNotice">(field("interval", &BeforeNotice::interval, "Interval"));

}  // namespace quorvane::binding
