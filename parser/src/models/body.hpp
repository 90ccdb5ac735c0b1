#pragma once

#include "binding/declare.hpp"
#include "siri_service_type.hpp"

namespace quorvane {

// The envelope's `Body`: the one service of the document.
struct Body {
    SiriServiceType service;
};

}  // namespace quorvane

namespace quorvane::binding {

template <>
inline constexpr auto declaration<Body> = wrapper<Body, "Body">(&Body::service);

}  // namespace quorvane::binding
