// Walks arbitrary bytes through the event source the way the record readers
// do: every start tag is read as a record (attributes), as a leaf
// (read_text), skipped (read_to_end), peeked past or just entered. The choice
// depends on the tag name and the first input byte, so the fuzzer can steer
// it. Parse errors are expected; crashes, leaks, sanitizer reports and the
// invariants checked below are not.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "xml/error.hpp"
#include "xml/reader.hpp"

namespace {

using quorvane::xml::Attributes;
using quorvane::xml::Event;
using quorvane::xml::Events;
using quorvane::xml::Kind;

bool inside(std::string_view part, std::string_view whole) {
    return part.empty() || (part.data() >= whole.data() && part.data() + part.size() <= whole.data() + whole.size());
}

void require(bool ok) {
    if (!ok) std::abort();
}

unsigned choose(std::string_view name, std::uint8_t seed) {
    unsigned h = 2166136261u ^ seed;
    for (unsigned char c : name) h = (h ^ c) * 16777619u;
    return h % 5;
}

volatile std::size_t sink;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::uint8_t seed = size ? data[0] : 0;
    try {
        Events ev(input);
        // Each event consumes at least one input byte (a self-closing tag
        // gives two), so this bound is never reached by a correct reader.
        for (std::size_t steps = 0; steps <= 2 * size + 2; ++steps) {
            const Event e = ev.next();
            if (e.kind == Kind::Eof) return 0;
            if (e.kind == Kind::Text) {
                require(!e.data.empty());
                sink = sink + static_cast<unsigned char>(e.data.back());
                continue;
            }
            require(inside(e.data, input));
            if (e.kind != Kind::Start) continue;
            require(e.name_len <= e.data.size());
            const std::string_view name = e.name();
            switch (choose(name, seed)) {
                case 0: {
                    Attributes attrs(e);
                    std::string_view key, value;
                    while (attrs.next(key, value)) {
                        require(inside(key, e.data) && inside(value, e.data));
                        sink = sink + key.size() + value.size();
                    }
                    break;
                }
                case 1: {
                    const std::string_view text = ev.read_text(name);
                    if (!text.empty()) sink = sink + static_cast<unsigned char>(text.front());
                    break;
                }
                case 2:
                    ev.read_to_end(name);
                    break;
                case 3:
                    sink = sink + static_cast<std::size_t>(ev.peek().kind);
                    break;
                default:
                    break;
            }
        }
        std::abort();  // the stream never reached end of input
    } catch (const quorvane::ParseError& e) {
        require(!e.text().empty());
    }
    return 0;
}
