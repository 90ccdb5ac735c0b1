// The document entry: one SIRI document in its envelope, as records.
#pragma once

#include <string_view>

#include "binding/declare.hpp"
#include "models/body.hpp"
#include "xml/error.hpp"

namespace quorvane {

// The parsed document: the root element, of any name, holding `Body`.
struct Envelope {
    Body body;
};

// Reads a whole document; throws ParseError with the first error's text.
Parsed<Envelope> from_str(std::string_view text);

}  // namespace quorvane

namespace quorvane::binding {

// `soapenv:Body` matches only a child written with one more prefix, since
// keys are local names.
template <>
inline constexpr auto declaration<Envelope> =
    record<Envelope, "Envelope">(field("body", &Envelope::body, "Body", "soapenv:Body"));

}  // namespace quorvane::binding
