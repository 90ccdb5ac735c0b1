#pragma once

#include "binding/declare.hpp"

namespace quorvane {

// How confidential a situation is; the type keeps the spelling callers know.
enum class Sensivity : unsigned char { High, Medium, Low };

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<Sensivity> = enumeration<Sensivity>({
    {"high", "High"},
    {"medium", "Medium"},
    {"low", "Low"},
});

}  // namespace quorvane::binding
