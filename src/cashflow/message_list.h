// A program's numbered messages (warnings that do not stop a run), each with a
// number 0-99, kept in the order they were raised, and the table of numbers
// the user suppressed with the "Suppress warnings" keyword.
#pragma once

#include <array>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace fv {

struct message {
    unsigned number = 0;
    std::string text;
};

class message_list {
public:
    static constexpr unsigned number_limit = 100;  // numbers are 0-99

    // Appends a message unless its number is above 99 or suppressed.
    void add(unsigned number, std::string_view text);
    // Removes every message numbered first..last inclusive.
    void remove_range(unsigned first, unsigned last);
    // Applies a suppression text ("30, 32-35", "ALL", "None"); 0 when it was
    // understood, nonzero when not (flags set before the fault stay set).
    // Defective ranges add message 33 and parsing goes on.
    int apply_suppression(std::string_view text);
    // A number in the cell: formatted with "%.0lf" first.
    int apply_suppression(double value);
    // Removes all messages and clears the suppression ("none").
    void reset();

    // Every message, one line each: "W%-3.3d:  %s\n", or quoted
    // "\"W%-3.3d:  %s\"\n". Texts of any length are written whole.
    void print(std::FILE* file, bool quoted) const;
    std::string print_text(bool quoted) const;  // the same lines as a string
    static std::string line(const message& message, bool quoted);

    // inspectors
    std::size_t count() const { return list_.size(); }
    const std::vector<message>& list() const { return list_; }
    bool suppressed(unsigned number) const { return number < number_limit && suppressed_[number]; }
    bool suppression_given() const { return suppression_given_; }

private:
    std::array<bool, number_limit> suppressed_{};
    bool suppression_given_ = false;
    std::vector<message> list_;
};

// printf-style formatting into a string that grows to fit, for producers of
// messages with numbers ("%d", "%.3lf") and texts of any length.
std::string format_message(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace fv
