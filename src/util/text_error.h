// The one failure type of the program: a message text meant for the user (or
// naming the class and operation of an internal check), carried exactly as it
// is to the place that shows it.
#pragma once

#include <exception>
#include <string>
#include <utility>

namespace fv {

class text_error : public std::exception {
public:
    explicit text_error(std::string text) : text_(std::move(text)) {}

    const std::string& text() const noexcept { return text_; }
    const char* what() const noexcept override { return text_.c_str(); }

private:
    std::string text_;
};

}  // namespace fv
