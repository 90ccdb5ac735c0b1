// The UTF-8 bytes of a str, for the length of one call, got the cheapest way
// the limited API allows.
#pragma once

#include <memory>
#include <string_view>

#include "binding/store.hpp"
#include "py.hpp"

namespace quorvane::py {

class Utf8Input {
public:
    // Throws ErrorSet with the interpreter's error set (UnicodeEncodeError
    // for a lone surrogate, MemoryError).
    explicit Utf8Input(PyObject* s);
    std::string_view view() const noexcept { return {data_, size_}; }

private:
    bool from_latin1(PyObject* s);

    Ref bytes_;  // encoded by the interpreter
    Bytes own_;  // converted here
    const char* data_ = nullptr;
    std::size_t size_ = 0;
};

}  // namespace quorvane::py
