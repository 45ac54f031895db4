#include "workbook/cell_values.h"

#include <bit>
#include <cmath>

#include "workbook/ss_file.h"
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

int cell_values::text_of(std::size_t value, std::string& text) const {
    switch (types_.at(value)) {
        case value_type::number:
            // Infinity or NaN is no amount: it reads as an error value.
            return std::isfinite(number_at(value)) ? content_is_number : content_error_value;
        case value_type::text: {
            const std::uint64_t slot = slots_[value];
            text = this->text({static_cast<std::uint32_t>(slot >> 32), static_cast<std::uint32_t>(slot)});
            return content_delivered;
        }
        case value_type::boolean: return content_is_number;
        case value_type::boolean_result:
        case value_type::error: return content_error_value;
        case value_type::not_available: return content_not_available;
        case value_type::empty_result: return content_empty_result;
        case value_type::unreadable: return content_not_read;
    }
    return content_not_read;
}

int cell_values::number_of(std::size_t value, double& number) const {
    switch (types_.at(value)) {
        case value_type::number:
        case value_type::boolean:
            if (!std::isfinite(number_at(value))) return content_error_value;
            number = number_at(value);
            return content_delivered;
        case value_type::text: return content_is_text;
        case value_type::boolean_result:
        case value_type::error: return content_error_value;
        case value_type::not_available: return content_not_available;
        case value_type::empty_result: return content_empty_result;
        case value_type::unreadable: return content_not_read;
    }
    return content_not_read;
}

int cell_values::kind_of(std::size_t value) const {
    switch (types_.at(value)) {
        case value_type::number:
        case value_type::boolean: return std::isfinite(number_at(value)) ? kind_number : kind_other;
        case value_type::text: return kind_text;
        case value_type::empty_result: return kind_none;
        default: return kind_other;
    }
}

void cell_values::shrink() {
    slots_.shrink_to_fit();
    types_.shrink_to_fit();
    pool_.shrink_to_fit();
}

}  // namespace fv
