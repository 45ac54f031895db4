#include "workbook/cell_values.h"

#include <bit>
#include <cmath>

#include "workbook/workbook_reader.h"
#include "workbook/workbook_failure.h"

namespace fv {

cell_values::text_ref cell_values::store_text(std::string_view text) {
    if (text.size() > most_text_bytes - pool_.size())
        throw workbook_failure(workbook_problem::too_large,
                               "it holds more than " + std::to_string(most_text_bytes >> 20) + " MB of text");
    const text_ref ref{static_cast<std::uint32_t>(pool_.size()), static_cast<std::uint32_t>(text.size())};
    pool_.append(text);
    return ref;
}

std::size_t cell_values::add_slot(value_type type, std::uint64_t slot) {
    slots_.push_back(slot);
    types_.push_back(type);
    return slots_.size() - 1;
}

std::size_t cell_values::add_number(double number) {
    return add_slot(value_type::number, std::bit_cast<std::uint64_t>(number));
}

std::size_t cell_values::add_text(text_ref ref) {
    return add_slot(value_type::text, (static_cast<std::uint64_t>(ref.offset) << 32) | ref.length);
}

std::size_t cell_values::add_boolean(bool value) {
    return add_slot(value_type::boolean, std::bit_cast<std::uint64_t>(value ? 1.0 : 0.0));
}

std::size_t cell_values::add(value_type type) { return add_slot(type, 0); }

double cell_values::number_at(std::size_t value) const { return std::bit_cast<double>(slots_[value]); }

namespace {

// How a value of each type answers: its kind, the code of the text and of the number.
struct answers {
    int kind, text, number;
};

answers answers_of(cell_values::value_type type, bool finite) {
    using value_type = cell_values::value_type;
    switch (type) {
        case value_type::number:
        case value_type::boolean:
            // Infinity or NaN is no amount: it reads as an error value.
            return finite ? answers{kind_number, content_is_number, content_delivered}
                          : answers{kind_other, content_error_value, content_error_value};
        case value_type::text: return {kind_text, content_delivered, content_is_text};
        case value_type::boolean_result:
        case value_type::error: return {kind_other, content_error_value, content_error_value};
        case value_type::not_available: return {kind_other, content_not_available, content_not_available};
        case value_type::empty_result: return {kind_none, content_empty_result, content_empty_result};
        case value_type::unreadable: break;
    }
    return {kind_other, content_not_read, content_not_read};
}

// The answers of a value; `at` checks the handle before its slot is read.
answers cell_values_answers(const std::vector<cell_values::value_type>& types, const std::vector<std::uint64_t>& slots,
                            std::size_t value) {
    const cell_values::value_type type = types.at(value);
    return answers_of(type, std::isfinite(std::bit_cast<double>(slots[value])));
}

}  // namespace

int cell_values::text_of(std::size_t value, std::string& text) const {
    const answers a = cell_values_answers(types_, slots_, value);
    if (a.text == content_delivered) {
        const std::uint64_t slot = slots_[value];
        text = this->text({static_cast<std::uint32_t>(slot >> 32), static_cast<std::uint32_t>(slot)});
    }
    return a.text;
}

int cell_values::number_of(std::size_t value, double& number) const {
    const answers a = cell_values_answers(types_, slots_, value);
    if (a.number == content_delivered) number = number_at(value);
    return a.number;
}

int cell_values::kind_of(std::size_t value) const {
    return cell_values_answers(types_, slots_, value).kind;
}

void cell_values::shrink() {
    slots_.shrink_to_fit();
    types_.shrink_to_fit();
    pool_.shrink_to_fit();
}

}  // namespace fv
