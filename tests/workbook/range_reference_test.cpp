// References and dates as today's files write them, against values worked
// out by hand: cell addresses, defined names, ODS range addresses, ISO dates
// and durations as serial numbers.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "workbook/range_reference.h"
#include "workbook/serial_date.h"

namespace fv {
namespace {

std::string text_of(const std::optional<sheet_range>& r) {
    if (!r) return "-";
    return r->sheet + " " + std::to_string(r->row1) + " " + std::to_string(r->column1) + " " + std::to_string(r->row2) +
           " " + std::to_string(r->column2);
}

TEST(RangeReference, CellAddresses) {
    const std::pair<const char*, const char*> cases[] = {
        {"A1", "0 0"}, {"b12", "11 1"}, {"IV65536", "65535 255"}, {"XFD1048576", "1048575 16383"},
        {"XFE1", "-"}, {"A1048577", "-"}, {"A0", "-"}, {"1A", "-"}, {"A", "-"}, {"ABCD1", "-"}, {"A1 ", "-"}, {"", "-"},
    };
    for (const auto& [text, expected] : cases) {
        std::uint32_t row = 0, column = 0;
        const bool ok = parse_cell_address(text, row, column);
        EXPECT_EQ(ok ? std::to_string(row) + " " + std::to_string(column) : "-", expected) << text;
    }
}

TEST(RangeReference, DefinedNames) {
    const std::pair<const char*, const char*> cases[] = {
        {"Sheet1!$A$1:$P$38", "Sheet1 1 1 38 16"},
        {"=Sheet1!B2:C3", "Sheet1 2 2 3 3"},
        {"'My Sheet'!$D$4", "My Sheet 4 4 4 4"},
        {"'It''s'!A1:B2", "It's 1 1 2 2"},
        {"'It\\'s'!A1:B2", "It's 1 1 2 2"},
        {"Data!$B:$C", "Data 1 2 1048576 3"},
        {"Data!$2:$3", "Data 2 1 3 16384"},
        {"Data!$B2:C$3", "Data 2 2 3 3"},
        {"Data!$B", "-"},
        {"Data!$A$1:$B", "-"},
        {"Sheet1:Sheet3!A1", "-"},
        {"Sheet1!$A$1,Sheet1!$B$2", "-"},
        {"Sheet1!#REF!", "-"},
        {"#REF!", "-"},
        {"0.05", "-"},
        {"'Unclosed!A1", "-"},
        {"!A1", "-"},
        {"Sheet1!A1:", "-"},
    };
    for (const auto& [text, expected] : cases) EXPECT_EQ(text_of(parse_defined_name(text)), expected) << text;
}

TEST(RangeReference, OdsRangeAddresses) {
    const std::pair<const char*, const char*> cases[] = {
        {"$Sheet1.$A$1:.$P$38", "Sheet1 1 1 38 16"},
        {"$'My Sheet'.$A$1:$'My Sheet'.$B$2", "My Sheet 1 1 2 2"},
        {"'It''s'.A1", "It's 1 1 1 1"},
        {".B2:.C3", "Base 2 2 3 3"},
        {"$Sheet1.$A$1:$Sheet2.$B$2", "-"},
        {"$Sheet1.$A$1:.$B$2 $Sheet1.$C$3", "-"},
        {"$Sheet1.#REF!", "-"},
        {"Sheet1", "-"},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(text_of(parse_ods_range_address(text, "Base")), expected) << text;
    EXPECT_EQ(text_of(parse_ods_range_address(".A1")), "-");  // no sheet at all
    EXPECT_EQ(ods_address_sheet("$'It''s'.$A$1"), "It's");
}

TEST(SerialDate, DatesAndTimesAsSerialNumbers) {
    const std::pair<const char*, std::optional<double>> dates[] = {
        {"1899-12-30", 0.0},           {"1900-03-01", 61.0},       {"2001-10-01", 37165.0},
        {"2000-02-29", 36585.0},       {"2001-10-01T06:00:00", 37165.25}, {"2001-10-01T06:00:00.5Z", 37165.0 + 21600.5 / 86400},
        {"2001-10-01T12:00:00+02:00", 37165.5}, {"1899-12-29", -1.0},
        {"2001-02-29", std::nullopt},  {"2001-13-01", std::nullopt}, {"2001-1-01", std::nullopt},
        {"2001-10-01T25:00:00", std::nullopt}, {"2001-10-01x", std::nullopt}, {"", std::nullopt},
    };
    for (const auto& [text, expected] : dates) EXPECT_EQ(iso_date_serial(text), expected) << text;
    EXPECT_EQ(iso_date_serial("1904-01-02", days_since_1970(1904, 1, 1)), 1.0);

    const std::pair<const char*, std::optional<double>> durations[] = {
        {"PT12H", 0.5}, {"PT36H30M00S", 36.5 / 24}, {"-PT6H", -0.25}, {"P1DT12H", 1.5}, {"PT0.5S", 0.5 / 86400},
        {"P1Y", std::nullopt}, {"P1M", std::nullopt}, {"PT", std::nullopt}, {"12:00", std::nullopt},
    };
    for (const auto& [text, expected] : durations) EXPECT_EQ(iso_duration_days(text), expected) << text;
}

}  // namespace
}  // namespace fv
