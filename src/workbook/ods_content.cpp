#include "workbook/ods_content.h"

#include <charconv>
#include <vector>

#include "workbook/bounded_text.h"
#include "workbook/serial_date.h"
#include "workbook/xml_stream.h"
#include "workbook/zip_workbook.h"

namespace fv {

namespace {

constexpr std::string_view office_ns = "urn:oasis:names:tc:opendocument:xmlns:office:1.0";
constexpr std::string_view table_ns = "urn:oasis:names:tc:opendocument:xmlns:table:1.0";
constexpr std::string_view text_ns = "urn:oasis:names:tc:opendocument:xmlns:text:1.0";
constexpr std::string_view calcext_ns = "urn:org:documentfoundation:names:experimental:calc:xmlns:calcext:1.0";

using value_type = cell_values::value_type;

std::uint64_t saturating_add(std::uint64_t a, std::uint64_t b) { return a > UINT64_MAX - b ? UINT64_MAX : a + b; }
std::uint64_t saturating_multiply(std::uint64_t a, std::uint64_t b) {
    return b != 0 && a > UINT64_MAX / b ? UINT64_MAX : a * b;
}

// A repeat count: at least 1; a count past what any sheet holds is as good as infinite.
std::uint64_t count_in(std::optional<std::string_view> text) {
    if (!text) return 1;
    std::uint64_t value = 0;
    const auto [end, error] = std::from_chars(text->data(), text->data() + text->size(), value);
    if (error == std::errc::result_out_of_range) return UINT64_MAX;
    if (error != std::errc() || end != text->data() + text->size() || value == 0) return 1;
    return value;
}

std::optional<double> number_in(std::string_view text) {
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
    return value;
}

// The texts spreadsheet programs show for an error result.
bool is_error_text(std::string_view text) {
    for (const std::string_view error : {"#NULL!", "#DIV/0!", "#VALUE!", "#REF!", "#NAME?", "#NUM!", "#N/A"})
        if (text == error) return true;
    if (text.substr(0, 4) != "Err:" || text.size() == 4) return false;
    for (const char c : text.substr(4))
        if (c < '0' || c > '9') return false;
    return true;
}

// What a cell says about itself in its attributes, copied before they go.
struct cell_attributes {
    bool covered = false;
    std::uint64_t repeat = 1;
    std::string value_type;
    std::string value;  // office:value, date-value, time-value or boolean-value, as the type needs
    std::optional<std::string> string_value;
    bool formula = false;
    bool error_result = false;  // calcext:value-type="error"

    // One pass over the attributes: a sheet holds as many cells as anything.
    void read(const xml_attributes& attributes, bool is_covered) {
        covered = is_covered;
        repeat = 1;
        formula = error_result = false;
        std::string_view type, number, date, time, boolean;
        std::optional<std::string_view> string;
        attributes.each([&](const xml_name& name, std::string_view text) {
            if (name.ns == office_ns) {
                if (name.local == "value-type") type = text;
                else if (name.local == "value") number = text;
                else if (name.local == "date-value") date = text;
                else if (name.local == "time-value") time = text;
                else if (name.local == "boolean-value") boolean = text;
                else if (name.local == "string-value") string = text;
            } else if (name.ns == table_ns) {
                if (name.local == "number-columns-repeated") repeat = count_in(text);
                else if (name.local == "formula") formula = true;
            } else if (name.ns == calcext_ns && name.local == "value-type") {
                error_result = text == "error";
            }
        });
        value_type = type;
        value = type == "date" ? date : type == "time" ? time : type == "boolean" ? boolean : number;
        string_value = string ? std::optional<std::string>(*string) : std::nullopt;
    }
    // Only the text of a string (or of an error result) is ever read.
    bool text_wanted() const { return !covered && (value_type == "string" || (formula && error_result)); }
};

// One run of equal cells of a row: its first column, how many, its value.
struct cell_run {
    std::uint64_t column;
    std::uint64_t repeat;
    std::size_t value;
};

class content_handler : public xml_handler {
public:
    explicit content_handler(ods_content_sink& sink) : sink_(sink) {}

    void start_element(const xml_name& name, const xml_attributes& attributes) override {
        ++depth_;
        if (in_cell_) {
            cell_child_start(name, attributes);
            return;
        }
        if (!spreadsheet_depth_) {
            if (name.ns == office_ns && name.local == "spreadsheet") {
                spreadsheet_depth_ = depth_;
                sink_.spreadsheet_seen = true;
            }
            return;
        }
        if (name.ns != table_ns) return;
        if (name.local == "table" && !table_depth_) {
            table_depth_ = depth_;
            sheet_ = sheets_++;
            row_ = 0;
            table_name_ = std::string(attributes.get(table_ns, "name").value_or(""));
            sink_.add_sheet(table_name_);
        } else if (name.local == "table-row" && table_depth_ && !in_row_) {
            in_row_ = true;
            row_depth_ = depth_;
            row_repeat_ = count_in(attributes.get(table_ns, "number-rows-repeated"));
            column_ = 0;
            runs_.clear();
            beyond_columns_ = 0;
        } else if ((name.local == "table-cell" || name.local == "covered-table-cell") && in_row_) {
            begin_cell(attributes, name.local == "covered-table-cell");
        } else if (name.local == "named-range") {
            add_named_range(attributes);
        } else if (name.local == "named-expression") {
            sink_.add_name(std::string(attributes.get(table_ns, "name").value_or("")), std::nullopt);
        } else if (name.local == "null-date") {
            if (const auto days = iso_date_days(attributes.get(office_ns, "date-value").value_or("")))
                null_date_ = *days;
        }
    }

    void end_element(const xml_name&) override {  // depths say which element ends
        if (in_cell_) {
            if (depth_ == cell_depth_) end_cell();
            else cell_child_end();
        } else if (depth_ == table_depth_) {
            table_depth_ = 0;
        } else if (in_row_ && depth_ == row_depth_) {
            end_row();
        } else if (depth_ == spreadsheet_depth_) {
            spreadsheet_depth_ = 0;
        }
        --depth_;
    }

    void text(std::string_view piece) override {
        if (paragraph_depth_ && !skip_depth_ && collecting_) text_.append(piece);
    }

private:
    void add_named_range(const xml_attributes& attributes) {
        std::string name(attributes.get(table_ns, "name").value_or(""));
        // An address without its sheet is on the sheet of the base cell, else on the table it is in.
        std::string base = ods_address_sheet(attributes.get(table_ns, "base-cell-address").value_or(""));
        if (base.empty() && table_depth_) base = table_name_;
        sink_.add_name(std::move(name),
                       parse_ods_range_address(attributes.get(table_ns, "cell-range-address").value_or(""), base));
    }

    void begin_cell(const xml_attributes& attributes, bool covered) {
        in_cell_ = true;
        cell_depth_ = depth_;
        cell_.read(attributes, covered);
        collecting_ = cell_.text_wanted() && sheet_ < zip_workbook::sheet_limit;
        paragraphs_ = 0;
        paragraph_depth_ = skip_depth_ = 0;
        text_.clear();
    }

    // Paragraphs directly in the cell make its text, one line each; notes,
    // comments and drawings anchored in it do not.
    void cell_child_start(const xml_name& name, const xml_attributes& attributes) {
        if (skip_depth_ || !collecting_) return;
        if (depth_ == cell_depth_ + 1) {
            if (name.ns == text_ns && (name.local == "p" || name.local == "h")) {
                if (paragraphs_++ > 0) text_.append("\n");
                paragraph_depth_ = depth_;
            } else {
                skip_depth_ = depth_;
            }
            return;
        }
        if (!paragraph_depth_) return;
        if (name.ns != text_ns || name.local == "note" || name.local == "ruby-text") {
            skip_depth_ = depth_;
        } else if (name.local == "s") {
            text_.append(' ', count_in(attributes.get(text_ns, "c")));
        } else if (name.local == "tab") {
            text_.append("\t");
        } else if (name.local == "line-break") {
            text_.append("\n");
        }
    }

    void cell_child_end() {
        if (depth_ == skip_depth_) skip_depth_ = 0;
        if (depth_ == paragraph_depth_) paragraph_depth_ = 0;
    }

    std::optional<std::size_t> cell_value() {
        cell_values& values = sink_.values;
        const std::string_view type = cell_.value_type;
        if (cell_.covered || type.empty()) return std::nullopt;
        if (cell_.formula && cell_.error_result)
            return values.add(text_.str() == "#N/A" ? value_type::not_available : value_type::error);
        if (type == "float" || type == "percentage" || type == "currency") {
            if (const auto number = number_in(cell_.value)) return values.add_number(*number);
            return values.add(value_type::unreadable);
        }
        if (type == "date") {
            if (const auto serial = iso_date_serial(cell_.value, null_date_)) return values.add_number(*serial);
            return values.add(value_type::unreadable);
        }
        if (type == "time") {
            if (const auto days = iso_duration_days(cell_.value)) return values.add_number(*days);
            return values.add(value_type::unreadable);
        }
        if (type == "boolean") {
            const std::string_view flag = cell_.value;
            if (flag != "true" && flag != "false" && flag != "1" && flag != "0")
                return values.add(value_type::unreadable);
            // As in an XLS file: a formula's TRUE or FALSE is no value the cash flows read.
            if (cell_.formula) return values.add(value_type::boolean_result);
            return values.add_boolean(flag == "true" || flag == "1");
        }
        if (type == "string") {
            // A string value given as an attribute stands for the paragraphs.
            if (cell_.string_value) {
                text_.clear();
                text_.append(*cell_.string_value);
            }
            const std::string& text = text_.str();
            if (cell_.formula && is_error_text(text))
                return values.add(text == "#N/A" ? value_type::not_available : value_type::error);
            if (text_.cut()) ++sink_.texts_cut;
            return values.add_text(values.store_text(text));
        }
        return values.add(value_type::unreadable);
    }

    bool holds_value() const { return !cell_.covered && !cell_.value_type.empty(); }

    void end_cell() {
        in_cell_ = false;
        if (sheet_ < zip_workbook::sheet_limit) {
            if (column_ < zip_workbook::column_limit) {
                if (const auto value = cell_value()) runs_.push_back({column_, cell_.repeat, *value});
            } else if (holds_value()) {
                // Past the last column: counted, never decoded.
                beyond_columns_ = saturating_add(beyond_columns_, cell_.repeat);
            }
        }
        column_ = saturating_add(column_, cell_.repeat);
    }

    void end_row() {
        in_row_ = false;
        if (sheet_ < zip_workbook::sheet_limit && (!runs_.empty() || beyond_columns_)) {
            std::uint64_t row_cells = beyond_columns_;
            for (const cell_run& run : runs_) row_cells = saturating_add(row_cells, run.repeat);
            const std::uint64_t room = row_ < zip_workbook::row_limit ? zip_workbook::row_limit - row_ : 0;
            const std::uint64_t inside = row_repeat_ < room ? row_repeat_ : room;
            for (std::uint64_t done = 0; done < inside && !runs_.empty(); ++done)
                for (const cell_run& run : runs_) sink_.put(sheet_, row_ + done, run.column, run.value, run.repeat);
            sink_.beyond_last_column(saturating_multiply(beyond_columns_, inside));
            sink_.beyond_last_row(saturating_multiply(row_cells, row_repeat_ - inside));
        }
        row_ = saturating_add(row_, row_repeat_);
    }

    ods_content_sink& sink_;
    std::size_t depth_ = 0;
    std::size_t spreadsheet_depth_ = 0;
    std::size_t table_depth_ = 0;
    std::uint64_t sheets_ = 0;
    std::uint64_t sheet_ = 0;
    std::string table_name_;
    long long null_date_ = default_null_date;

    bool in_row_ = false;
    std::size_t row_depth_ = 0;
    std::uint64_t row_ = 0;
    std::uint64_t row_repeat_ = 1;
    std::uint64_t column_ = 0;
    std::vector<cell_run> runs_;
    std::uint64_t beyond_columns_ = 0;  // cells of the row past the last column

    bool in_cell_ = false;
    std::size_t cell_depth_ = 0;
    cell_attributes cell_;
    bool collecting_ = false;
    std::size_t paragraphs_ = 0;
    std::size_t paragraph_depth_ = 0;
    std::size_t skip_depth_ = 0;
    bounded_text text_;
};

}  // namespace

void read_ods_content(zip_archive& archive, ods_content_sink& sink) {
    content_handler handler(sink);
    parse_part(archive, "content.xml", handler);
}

}  // namespace fv
