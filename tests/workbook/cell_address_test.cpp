// Cell coordinates: parsing the text form (and its failures), the text of a
// coordinate, and the ordering the cell lookup depends on.
#include <gtest/gtest.h>

#include "util/text_error.h"
#include "workbook/cell_address.h"

namespace fv {
namespace {

TEST(CellAddress, ParsesTheTextForm) {
    struct parse_case {
        const char* text;
        unsigned sheet, row, column;
    };
    const parse_case cases[] = {
        {"A:A1", 0, 0, 0},       {"a:iv3", 0, 2, 255},     {"  B:C10", 1, 9, 2},   {"AA:B1", 26, 0, 1},
        {"IV:IV65536", 255, 65535, 255}, {"A:Z26", 0, 25, 25}, {"A:AA1", 0, 0, 26}, {"C:b 12x", 2, 11, 1},
        {"A:A+7", 0, 6, 0},
        // No digits reads as row number 0, which is index 65535 in 16 bits (and prints back as row 0).
        {"A:A", 0, 65535, 0},    {"A:A0", 0, 65535, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        cell_address address_text;
        ASSERT_NO_THROW(address_text.set_from_text(c.text));
        EXPECT_EQ(address_text.sheet, c.sheet);
        EXPECT_EQ(address_text.row, c.row);
        EXPECT_EQ(address_text.column, c.column);
        EXPECT_EQ(address_text.is_cell, 0);
    }
}

TEST(CellAddress, RefusesTextsThatAreNoCoordinateAndKeepsItsFields) {
    const std::pair<const char*, const char*> cases[] = {
        {"1:A1", "cell_coord::set_coord called with an non-alphabetic sheet"},
        {"A-B1", "cell_coord::set_coord called with an non-alphabetic sheet"},
        {"", "cell_coord::set_coord called with an non-alphabetic sheet"},
        {"   ", "cell_coord::set_coord called with an non-alphabetic sheet"},
        {"A", "cell_coord::set_coord called with an non-alphabetic sheet"},
        {"A:1", "cell_coord::set_coord called with an non-alphabetic column"},
        {"A:", "cell_coord::set_coord called with an non-alphabetic column"},
        {"AB-C1", "cell_coord::set_coord called with an invalid sheet"},
        {"JA:A1", "cell_coord::set_coord called with an invalid sheet"},
        {"ABC:A1", "cell_coord::set_coord called with an invalid sheet"},
        {"A:IW1", "cell_coord::set_coord called with an invalid column"},
        {"A:ZZ1", "cell_coord::set_coord called with an invalid column"},
        {"A:A65537", "cell_coord::set_coord called with an invalid row"},
        {"A:A-1", "cell_coord::set_coord called with an invalid row"},
        {"A:A99999999999999999999", "cell_coord::set_coord called with an invalid row"},
    };
    for (const auto& [text, message] : cases) {
        SCOPED_TRACE(text);
        cell_address address_text(3, 4, 5);
        try {
            address_text.set_from_text(text);
            ADD_FAILURE() << "parsed";
        } catch (const text_error& failure) {
            EXPECT_EQ(failure.text(), message);
        }
        EXPECT_EQ(address_text.to_text(), "D:F5");
    }
}

TEST(CellAddress, TextForm) {
    EXPECT_EQ(cell_address(0, 0, 27).to_text(), "A:AB1");
    EXPECT_EQ(cell_address(26, 9999, 0).to_text(), "AA:A10000");
    EXPECT_EQ(cell_address(255, 65534, 255).to_text(), "IV:IV65535");
    EXPECT_EQ(cell_address(0, 65535, 0).to_text(), "A:A0");  // the row number is kept in 16 bits
    EXPECT_EQ(index_letters(25), "Z");
    EXPECT_EQ(index_letters(26), "AA");
    EXPECT_EQ(index_letters(255), "IV");
    // Every text read back gives the same coordinate.
    for (unsigned sheet : {0u, 25u, 26u, 255u})
        for (unsigned row : {0u, 1u, 9999u, 65534u, 65535u})
            for (unsigned column : {0u, 25u, 26u, 51u, 52u, 255u}) {
                const cell_address address_text(static_cast<std::uint8_t>(sheet), static_cast<std::uint16_t>(row),
                                       static_cast<std::uint8_t>(column));
                EXPECT_EQ(compare(cell_address(address_text.to_text()), address_text), 0) << address_text.to_text();
            }
}

TEST(CellAddress, OrdersBySheetThenRowThenColumn) {
    const cell_address order[] = {{0, 0, 0}, {0, 0, 255}, {0, 1, 0}, {0, 65535, 255}, {1, 0, 0}, {255, 0, 0}};
    const std::size_t count = sizeof order / sizeof order[0];
    for (std::size_t i = 0; i < count; ++i)
        for (std::size_t j = 0; j < count; ++j)
            EXPECT_EQ(compare(order[i], order[j]), i < j ? 1 : (i == j ? 0 : -1)) << i << " " << j;
    cell_address flagged(0, 0, 0);
    flagged.is_cell = 1;
    EXPECT_EQ(compare(flagged, cell_address()), 0);  // the flag is not part of the address
}

}  // namespace
}  // namespace fv
