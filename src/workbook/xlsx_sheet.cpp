#include "workbook/xlsx_sheet.h"

#include <charconv>
#include <optional>

#include "workbook/range_reference.h"
#include "workbook/serial_date.h"
#include "workbook/xlsx_strings.h"
#include "workbook/xml_stream.h"

namespace fv {

namespace {

using value_type = cell_values::value_type;

// The t attribute of a cell.
enum class cell_type { number, shared_string, formula_string, inline_string, boolean, error, date, unknown };

cell_type type_of(std::optional<std::string_view> t) {
    if (!t || *t == "n") return cell_type::number;
    if (*t == "s") return cell_type::shared_string;
    if (*t == "str") return cell_type::formula_string;
    if (*t == "inlineStr") return cell_type::inline_string;
    if (*t == "b") return cell_type::boolean;
    if (*t == "e") return cell_type::error;
    if (*t == "d") return cell_type::date;
    return cell_type::unknown;
}

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && is_blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && is_blank(text.back())) text.remove_suffix(1);
    return text;
}

std::optional<double> number_in(std::string_view text) {
    text = trimmed(text);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
    return value;
}

std::optional<std::uint64_t> whole_number_in(std::string_view text) {
    text = trimmed(text);
    std::uint64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
    return value;
}

class sheet_handler : public xml_handler {
public:
    explicit sheet_handler(xlsx_sheet_context& context) : context_(context) {}

    void start_element(const xml_name& name, const xml_attributes& attributes) override {
        const std::string_view local = name.local;
        if (!in_sheet_data_) {
            if (local == "sheetData") in_sheet_data_ = true;
            return;
        }
        if (in_cell_) {
            if (local == "v") {
                in_value_ = true;
                has_value_ = true;
            } else if (local == "f") {
                has_formula_ = true;
            } else if (local == "is") {
                in_inline_ = true;
                has_inline_ = true;
                inline_text_.begin();
            } else if (in_inline_) {
                inline_text_.start(local);
            }
        } else if (local == "row") {
            const auto r = whole_number_in(attributes.get("r").value_or(""));
            row_ = r && *r > 0 ? *r - 1 : (rows_seen_ ? row_ + 1 : 0);
            rows_seen_ = true;
            next_column_ = 0;
        } else if (local == "c") {
            begin_cell(attributes);
        }
    }

    void end_element(const xml_name& name) override {
        const std::string_view local = name.local;
        if (!in_sheet_data_) return;
        if (in_cell_) {
            if (local == "c") {
                end_cell();
            } else if (local == "v") {
                in_value_ = false;
            } else if (local == "is") {
                in_inline_ = false;
            } else if (in_inline_) {
                inline_text_.end(local);
            }
        } else if (local == "sheetData") {
            in_sheet_data_ = false;
        }
    }

    void text(std::string_view piece) override {
        if (in_value_) value_text_.append(piece);
        else if (in_inline_) inline_text_.text(piece);
    }

private:
    void begin_cell(const xml_attributes& attributes) {
        in_cell_ = true;
        has_value_ = has_formula_ = has_inline_ = in_value_ = in_inline_ = false;
        value_text_.clear();
        type_ = type_of(attributes.get("t"));
        std::uint32_t row = 0, column = 0;
        if (const auto r = attributes.get("r"); r && parse_cell_address(*r, row, column)) {
            cell_row_ = row;
            cell_column_ = column;
        } else {
            cell_row_ = row_;
            cell_column_ = next_column_;
        }
        next_column_ = cell_column_ + 1;
    }

    std::size_t text_value(const bounded_text& text) {
        if (text.cut()) ++context_.texts_cut;
        return context_.values.add_text(context_.values.store_text(decode_xstring(text.str())));
    }

    // A formula's missing result, or no cell at all.
    std::optional<std::size_t> nothing_or_empty_result() {
        if (has_formula_) return context_.values.add(value_type::empty_result);
        return std::nullopt;
    }

    // The value of the cell just ended; nothing when it holds none.
    std::optional<std::size_t> cell_value() {
        cell_values& values = context_.values;
        const std::string_view v = value_text_.str();
        // A formula without its cached value has no result yet.
        if (!has_value_ && type_ != cell_type::inline_string && type_ != cell_type::error)
            return nothing_or_empty_result();
        switch (type_) {
            case cell_type::number:
                if (trimmed(v).empty()) return nothing_or_empty_result();
                if (const auto number = number_in(v)) return values.add_number(*number);
                return values.add(value_type::unreadable);
            case cell_type::shared_string: {
                const auto index = whole_number_in(v);
                if (!index || *index >= context_.shared_strings.size()) return values.add(value_type::unreadable);
                return values.add_text(context_.shared_strings[*index]);
            }
            case cell_type::formula_string:
                return text_value(value_text_);
            case cell_type::inline_string:
                if (!has_inline_) return nothing_or_empty_result();
                return text_value(inline_text_.result());
            case cell_type::boolean: {
                const std::string_view flag = trimmed(v);
                if (flag != "0" && flag != "1" && flag != "true" && flag != "false")
                    return values.add(value_type::unreadable);
                // As in an XLS file: a formula's TRUE or FALSE is no value the cash flows read.
                if (has_formula_) return values.add(value_type::boolean_result);
                return values.add_boolean(flag == "1" || flag == "true");
            }
            case cell_type::error:
                return values.add(trimmed(v) == "#N/A" ? value_type::not_available : value_type::error);
            case cell_type::date:
                if (const auto serial = iso_date_serial(trimmed(v), context_.null_date))
                    return values.add_number(*serial);
                return values.add(value_type::unreadable);
            case cell_type::unknown:
                return values.add(value_type::unreadable);
        }
        return std::nullopt;
    }

    void end_cell() {
        in_cell_ = false;
        if (const auto value = cell_value()) context_.put(cell_row_, cell_column_, *value);
    }

    xlsx_sheet_context& context_;
    bool in_sheet_data_ = false;
    bool rows_seen_ = false;
    std::uint64_t row_ = 0;
    std::uint64_t next_column_ = 0;

    bool in_cell_ = false, in_value_ = false, in_inline_ = false;
    bool has_value_ = false, has_formula_ = false, has_inline_ = false;
    cell_type type_ = cell_type::number;
    std::uint64_t cell_row_ = 0, cell_column_ = 0;
    bounded_text value_text_;
    string_item_text inline_text_;
};

}  // namespace

void read_xlsx_sheet(zip_archive& archive, std::string_view part, xlsx_sheet_context& context) {
    sheet_handler handler(context);
    parse_part(archive, part, handler);
}

}  // namespace fv
