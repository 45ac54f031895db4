// The values of a ZIP workbook's cells, kept compactly: one 8-byte slot and
// one byte of type per value, every text in one pool. Several cells may share
// one value (the repeated cells of an ODS row). The pool is bounded, so a
// hostile file cannot make it exhaust memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace fv {

class cell_values {
public:
    static constexpr std::size_t most_text_bytes = 256u << 20;

    enum class value_type : std::uint8_t {
        number,          // a number, also a date or time as its serial number
        text,
        boolean,         // a constant TRUE or FALSE: the number 1 or 0
        boolean_result,  // a formula's TRUE or FALSE: not a value the cash flows read
        error,           // an error value (#DIV/0!, #REF!, ...)
        not_available,   // #N/A
        empty_result,    // a formula without a result
        unreadable,      // a value that does not decode
    };

    // A text in the pool.
    struct text_ref {
        std::uint32_t offset = 0;
        std::uint32_t length = 0;
    };

    // Adds a text to the pool; a workbook_failure (too large) past the bound.
    text_ref store_text(std::string_view text);
    std::string_view text(text_ref ref) const { return std::string_view(pool_).substr(ref.offset, ref.length); }

    // Each returns the new value's handle.
    std::size_t add_number(double number);
    std::size_t add_text(text_ref ref);
    std::size_t add_boolean(bool value);
    std::size_t add(value_type type);  // a value with nothing more to it (errors, results, unreadable)

    // The answers of the workbook interface for the value: result codes and cell kinds.
    int text_of(std::size_t value, std::string& text) const;
    int number_of(std::size_t value, double& number) const;
    int kind_of(std::size_t value) const;

    // Gives back the room kept for growth once every value is in.
    void shrink();

private:
    std::size_t add_slot(value_type type, std::uint64_t slot);
    double number_at(std::size_t value) const;

    std::vector<std::uint64_t> slots_;
    std::vector<value_type> types_;
    std::string pool_;
};

}  // namespace fv
