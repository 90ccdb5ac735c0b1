#pragma once

#include "binding/declare.hpp"

namespace quorvane {

enum class BoardingActivity : unsigned char { Alighting, NoAlighting, PassThru, Boarding, NoBoarding };

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<BoardingActivity> = enumeration<BoardingActivity>({
    {"alighting", "Alighting"},
    {"noAlighting", "NoAlighting"},
    {"passThru", "PassThru"},
    {"boarding", "Boarding"},
    {"noBoarding", "NoBoarding"},
});

}  // namespace quorvane::binding
