#include "siri.hpp"

#include "binding/read.hpp"

namespace quorvane {

Parsed<Envelope> from_str(std::string_view text) { return binding::read_root<Envelope>(text); }

}  // namespace quorvane
