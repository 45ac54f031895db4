// The exact decimal-to-extended conversion against the worked bytes of one
// tenth and against the x87 80-bit long double: m / 10^k divided in long
// double is correctly rounded because both operands are exact there, which
// makes it an independent reference for every text of up to 19 digits.
#include <gtest/gtest.h>

#include <cfloat>
#include <cstring>
#include <random>
#include <string>

#include "display/decimal_to_extended.h"
#include "util/text_error.h"

namespace fv {
namespace {

std::string hex(const extended_bytes& b) {
    std::string out;
    char two[4];
    for (unsigned char c : b) {
        std::snprintf(two, sizeof two, "%02X ", c);
        out += two;
    }
    return out;
}

bool extended_long_double() {
#if defined(__x86_64__) || defined(__i386__)
    return LDBL_MANT_DIG == 64;
#else
    return false;
#endif
}

// The reference: digits and point of the text read independently, divided in long double.
extended_bytes reference(const std::string& text) {
    long double m = 0, scale = 1;
    bool point = false, negative = false;
    for (char c : text) {
        if (c == '-') negative = true;
        if (c == '.') point = true;
        if (c >= '0' && c <= '9') {
            m = m * 10 + (c - '0');
            if (point) scale *= 10;
        }
    }
    long double value = m / scale;
    if (negative && value != 0) value = -value;
    extended_bytes out{};
    std::memcpy(out.data(), &value, 10);
    return out;
}

TEST(DecimalToExtended, OneTenthIsTheExtendedValueNearestToOneTenth) {
    const extended_bytes expected = {0xCD, 0xCC, 0xCC, 0xCC, 0xCC, 0xCC, 0xCC, 0xCC, 0xFB, 0x3F};
    EXPECT_EQ(hex(decimal_to_extended("0.1")), hex(expected));
    EXPECT_EQ(hex(decimal_to_extended(".1")), hex(expected));
    // The double nearest to one tenth, widened, differs in the low mantissa bits.
    long double widened = 0.1;
    extended_bytes from_double{};
    std::memcpy(from_double.data(), &widened, 10);
    if (extended_long_double()) {
        EXPECT_NE(hex(decimal_to_extended("0.1")), hex(from_double));
    }
}

TEST(DecimalToExtended, WorkedValues) {
    struct value_case {
        const char* text;
        const char* bytes;
    };
    const value_case cases[] = {
        {"1", "00 00 00 00 00 00 00 80 FF 3F "},
        {"-12.50", "00 00 00 00 00 00 00 C8 02 C0 "},  // m = 1250, k = 2
        {"+2", "00 00 00 00 00 00 00 80 00 40 "},
        {"0.5", "00 00 00 00 00 00 00 80 FE 3F "},
        {"0", "00 00 00 00 00 00 00 00 00 00 "},
        {"-0.000", "00 00 00 00 00 00 00 00 00 00 "},  // a zero has no sign in a cell
        {"", "00 00 00 00 00 00 00 00 00 00 "},
        {"  \t3 ignored after the blank", "00 00 00 00 00 00 00 C0 00 40 "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(hex(decimal_to_extended(c.text)), c.bytes);
    }
}

TEST(DecimalToExtended, MatchesLongDoubleDivision) {
    if (!extended_long_double()) GTEST_SKIP() << "long double is not the 80-bit extended type here";
    const char* fixed[] = {
        "0.1", "0.3", "2.675", "-12.50", "1.5", "100", "0.001", "123456789.123456789",
        "9999999999999999999", ".0000000000000000001", ".9999999999999999999", "9.999999999999999999",
        "3.141592653589793238", "-2.718281828459045235", "1844674407370955161", ".0000000000000000005",
        "1234567890123456789", "4503599627370497.5", "0.33", "1000000.000", "-0.125",
    };
    for (const char* text : fixed) {
        SCOPED_TRACE(text);
        EXPECT_EQ(hex(decimal_to_extended(text)), hex(reference(text)));
    }
    // Random texts of 1 to 19 digits, point anywhere, either sign.
    std::mt19937_64 random(20261210);
    for (int i = 0; i < 20000; ++i) {
        const int digits = 1 + static_cast<int>(random() % 19);
        const int point = static_cast<int>(random() % (digits + 1));
        std::string text;
        const unsigned sign = random() % 3;
        if (sign == 1) text += '-';
        if (sign == 2) text += '+';
        for (int d = 0; d < digits; ++d) {
            if (d == point) text += '.';
            text += static_cast<char>('0' + random() % 10);
        }
        SCOPED_TRACE(text);
        ASSERT_EQ(hex(decimal_to_extended(text)), hex(reference(text)));
    }
}

TEST(DecimalToExtended, MalformedNumbersFailWithTheirReason) {
    struct failure_case {
        const char* text;
        const char* message;
    };
    const failure_case cases[] = {
        {"1.2.3", "make_bcd:  multiple decimal points in string"},
        {"1-2", "make_bcd:  sign found after first digit"},
        {"+-1", "make_bcd:  multiple signs in string"},
        {"--1", "make_bcd:  multiple signs in string"},
        {"12a", "make_bcd:  strange character in number string"},
        {"1e5", "make_bcd:  strange character in number string"},
        {"1,000", "make_bcd:  strange character in number string"},
        {"nan", "make_bcd:  strange character in number string"},
        {"12345678901234567890", "make_bcd:  more than 19 digits in BCD number"},
        {"0.0000000000000000001", "make_bcd:  more than 19 digits in BCD number"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        try {
            decimal_to_extended(c.text);
            ADD_FAILURE() << "no failure";
        } catch (const text_error& e) {
            EXPECT_EQ(e.text(), c.message);
        }
    }
}

}  // namespace
}  // namespace fv
