// The one error of a parse: its final text, thrown inside the parse and
// caught once at the document entry. The first error ends the parse.
#pragma once

#include <exception>
#include <string>
#include <utility>

namespace quorvane {

class ParseError final : public std::exception {
public:
    explicit ParseError(std::string text) : text_(std::move(text)) {}
    const std::string& text() const noexcept { return text_; }
    const char* what() const noexcept override { return text_.c_str(); }

private:
    std::string text_;
};

[[noreturn]] void throw_error(std::string text);

}  // namespace quorvane
