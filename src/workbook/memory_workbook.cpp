// Cells kept in a map by coordinate; load hands them to the shared index in
// coordinate order, so the memory workbook reads like a well-ordered file.
#include "workbook/memory_workbook.h"

#include "util/text_error.h"

namespace fv {

memory_workbook::memory_workbook(const std::string& file_name, format_kind kind) : indexed_workbook(file_name) {
    set_kind(kind);
}

void memory_workbook::put(int sheet, int row, int column, memory_cell cell) {
    // Only addresses a cell coordinate can hold.
    if (sheet < 0 || sheet > 255 || row < 0 || row > 65535 || column < 0 || column > 255)
        throw text_error("memory_workbook: cell address out of bounds");
    if (loaded_) throw text_error("memory_workbook: cell set after load");
    cells_[cell_key{sheet, row, column}] = std::move(cell);
}

void memory_workbook::set_number(int sheet, int row, int column, double value) {
    put(sheet, row, column, {content::number, value, {}});
}
void memory_workbook::set_label(int sheet, int row, int column, std::string text) {
    put(sheet, row, column, {content::label, 0.0, std::move(text)});
}
void memory_workbook::set_error(int sheet, int row, int column) { put(sheet, row, column, {content::error, 0.0, {}}); }
void memory_workbook::set_not_available(int sheet, int row, int column) {
    put(sheet, row, column, {content::not_available, 0.0, {}});
}
void memory_workbook::set_empty_result(int sheet, int row, int column) {
    put(sheet, row, column, {content::empty_result, 0.0, {}});
}
void memory_workbook::set_blank(int sheet, int row, int column) {
    if (loaded_) throw text_error("memory_workbook: cell set after load");
    cells_.erase(cell_key{sheet, row, column});
}

void memory_workbook::add_named_range(std::string name, const range_bounds& bounds, bool listed) {
    add_range(std::move(name), bounds, listed);
}

void memory_workbook::load() {
    if (loaded_) return;
    loaded_ = true;
    std::size_t record = 0;
    for (const auto& [key, cell] : cells_) {
        const auto [sheet, row, column] = key;
        add_data_cell(cell_address(static_cast<std::uint8_t>(sheet), static_cast<std::uint16_t>(row),
                                 static_cast<std::uint8_t>(column)),
                      record);
        by_record_[record] = &cell;
        ++record;
    }
    finish_index();
}

int memory_workbook::cell_text(std::size_t record, std::string& text) const {
    const memory_cell& cell = *by_record_.at(record);
    switch (cell.what) {
        case content::label:
            text = cell.text;
            return content_delivered;
        case content::number:
            return content_is_number;
        case content::error:
            return content_error_value;
        case content::not_available:
            return content_not_available;
        case content::empty_result:
            return content_empty_result;
    }
    return content_not_read;
}

int memory_workbook::cell_number(std::size_t record, double& number) const {
    const memory_cell& cell = *by_record_.at(record);
    switch (cell.what) {
        case content::number:
            number = cell.number;
            return content_delivered;
        case content::label:
            return content_is_text;
        case content::error:
            return content_error_value;
        case content::not_available:
            return content_not_available;
        case content::empty_result:
            return content_empty_result;
    }
    return content_not_read;
}

int memory_workbook::cell_kind(std::size_t record) const {
    switch (by_record_.at(record)->what) {
        case content::number:
            return kind_number;
        case content::label:
            return kind_text;
        case content::empty_result:
            return kind_none;
        case content::error:
        case content::not_available:
            return kind_other;
    }
    return kind_other;
}

std::unique_ptr<workbook_file> open_memory_workbook(std::unique_ptr<memory_workbook> book) {
    book->load();
    const std::string name = book->file_name();
    return std::make_unique<workbook_file>(name, std::move(book));
}

}  // namespace fv
