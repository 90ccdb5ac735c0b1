#pragma once

#include "binding/declare.hpp"

namespace quorvane {

// How far a situation is confirmed.
enum class VerificationStatus : unsigned char { Unknown, Unverified, Verified };

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<VerificationStatus> = enumeration<VerificationStatus>({
    {"unknown", "Unknown"},
    {"unverified", "Unverified"},
    {"verified", "Verified"},
});

}  // namespace quorvane::binding
