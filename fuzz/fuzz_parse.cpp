// The whole parse: a document to its envelope record or its error, then the
// rendering and a copy of what was read.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "binding/render.hpp"
#include "siri.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    try {
        const auto envelope = quorvane::from_str(text);
        const quorvane::Envelope copy = envelope.value;
        if (quorvane::binding::to_text(copy) != quorvane::binding::to_text(envelope)) __builtin_trap();
    } catch (const quorvane::ParseError& e) {
        if (e.text().empty()) __builtin_trap();
    }
    return 0;
}
