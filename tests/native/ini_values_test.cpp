/*
 * The settings file's value syntax: every accepted integer form, every error form, the
 * 32-bit boundaries, and the fixed-width real format.
 */
#include "IniValues.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {
constexpr int32_t kDefault = -777;
int32_t Read(const char* text) {
    return IntFromText(text, kDefault);
}
} // namespace

TEST(IntFromText, HexadecimalForms) {
    const struct {
        const char* Text;
        int32_t Value;
    } cases[] = {
        {"0x1F", 31},
        {"0X1f", 31},
        {"$1F", 31},
        {"x1F", 31},
        {"X1F", 31},
        {"$1f", 31},
        {"0x001F", 31},
        {"$a", 10},
        {"0x1a", 26},
        {"xa", 10},
        {"$Af", 175},
        {"$09", 9},
        {"$FFFFFFFF", -1},
        {"0xFFFFFFFF", -1},
        {"$80000000", INT32_MIN},
        {"$7FFFFFFF", INT32_MAX},
        {"$000000000001", 1}, // leading zeros are not significant
        {"$0000000000000000", 0},
        {"$100000000", kDefault}, // a ninth significant digit
        {"0x0", 0},
        {"  $10", 16},
        {"  0x10", 16},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Read(c.Text), c.Value) << c.Text;
}

TEST(IntFromText, DecimalFormsAndBoundaries) {
    EXPECT_EQ(Read("  42"), 42);
    EXPECT_EQ(Read("007"), 7); // not octal
    EXPECT_EQ(Read("-5"), -5);
    EXPECT_EQ(Read("+5"), 5);
    EXPECT_EQ(Read("-0"), 0);
    EXPECT_EQ(Read("2147483647"), INT32_MAX);
    EXPECT_EQ(Read("-2147483648"), INT32_MIN);
    EXPECT_EQ(Read("2147483648"), kDefault);
    EXPECT_EQ(Read("-2147483649"), kDefault);
    EXPECT_EQ(Read("00000000000000000000042"), 42);
    EXPECT_EQ(Read("99999999999999999999999999"), kDefault); // no wrap-around
    EXPECT_EQ(Read("4294967296"), kDefault);
}

TEST(IntFromText, ErrorFormsGiveTheDefault) {
    for (const char* text :
         {"-0x1F", "+0x10", "-$10", "0x",    "$",    "x",    "+",    "-",   "",     "   ",
          "42 ",   "12abc", "1.5",  "1e3",   "\t42", "42\t", "0x1G", "$ 1", "- 1",  "--1",
          "+-1",   "0b101", "0xx1", "1,000", "$x1",  "xx1",  "Xx5",  "$$1", "0x$1", "$0x1",
          "x$1",   "$g",    "0xg",  "$@",    "$`",   "$/",   "$:",   "$G"})
        EXPECT_EQ(Read(text), kDefault) << '"' << text << '"';
}

TEST(IntFromText, ParserAloneAcceptsWhatTheReaderAccepts) {
    EXPECT_EQ(ParseInt("0x10").value_or(kDefault), 16);
    EXPECT_FALSE(ParseInt("0x").has_value());
    EXPECT_FALSE(ParseInt(std::string_view("1\0", 2)).has_value()); // an embedded zero
    // Blanks only, in a view that ends inside a longer text: nothing past the view is read.
    EXPECT_FALSE(ParseInt(std::string_view("    ", 2)).has_value());
    EXPECT_FALSE(ParseReal(std::string_view("    ", 2)).has_value());
    EXPECT_EQ(ParseInt(std::string_view("0x10", 2)), std::nullopt);
    EXPECT_EQ(ParseInt(std::string_view("0x10", 1)), 0);
    EXPECT_EQ(ParseInt(std::string_view("12", 1)), 1);
}

TEST(TextOfInt, PlainDecimal) {
    EXPECT_EQ(TextOfInt(-5), "-5");
    EXPECT_EQ(TextOfInt(0), "0");
    EXPECT_EQ(TextOfInt(100), "100");
    EXPECT_EQ(TextOfInt(INT32_MIN), "-2147483648");
    EXPECT_EQ(TextOfInt(INT32_MAX), "2147483647");
    for (int32_t value : {INT32_MIN, -1, 0, 1, 123456, INT32_MAX})
        EXPECT_EQ(Read(TextOfInt(value).c_str()), value);
}

TEST(TextOfFlag, OneAndZero) {
    EXPECT_STREQ(TextOfFlag(true), "1");
    EXPECT_STREQ(TextOfFlag(false), "0");
}

TEST(ParseReal, AcceptedAndRejectedForms) {
    EXPECT_DOUBLE_EQ(ParseReal("1.5").value(), 1.5);
    EXPECT_DOUBLE_EQ(ParseReal("  -2.25").value(), -2.25);
    EXPECT_DOUBLE_EQ(ParseReal("+3").value(), 3.0);
    EXPECT_DOUBLE_EQ(ParseReal(".5").value(), 0.5);
    EXPECT_DOUBLE_EQ(ParseReal("5.").value(), 5.0);
    EXPECT_DOUBLE_EQ(ParseReal("1e3").value(), 1000.0);
    EXPECT_DOUBLE_EQ(ParseReal("1.5E-2").value(), 0.015);
    EXPECT_DOUBLE_EQ(ParseReal("2e+2").value(), 200.0);
    EXPECT_DOUBLE_EQ(ParseReal(" 1.50000000000000E+0000").value(), 1.5);
    // Beyond a double's range: saturated, not wrapped and not refused.
    EXPECT_EQ(ParseReal("1e400").value(), HUGE_VAL);
    EXPECT_EQ(ParseReal("-1e400").value(), -HUGE_VAL);
    EXPECT_EQ(ParseReal(std::string(400, '9')).value(), HUGE_VAL);
    EXPECT_EQ(ParseReal("1e-400").value(), 0.0);
    EXPECT_EQ(ParseReal("0." + std::string(400, '0') + "1").value(), 0.0);
    EXPECT_EQ(ParseReal("0.001e99999999999999999999").value(), HUGE_VAL);
    for (const char* text : {"", "   ", "+", "-", "1.5 ", "1,5", "1e", "1e+", "abc", "1.5x", "0x10",
                             "\t1", "Nan", "+Inf"})
        EXPECT_FALSE(ParseReal(text).has_value()) << '"' << text << '"';
    // Views that end inside a longer text: what follows the view is never read.
    const struct {
        const char* Text;
        size_t Length;
        double Value;
    } views[] = {{"15", 1, 1.0},   {"1.5", 1, 1.0},  {"1.5", 2, 1.0}, {"1e5", 1, 1.0},
                 {"1.25", 3, 1.2}, {"1e55", 3, 1e5}, {"2.5e", 3, 2.5}};
    for (const auto& v : views)
        EXPECT_EQ(ParseReal(std::string_view(v.Text, v.Length)), v.Value)
            << '"' << std::string_view(v.Text, v.Length) << '"';
}

TEST(TextOfReal, FixedWidthScientificAndSpecialValues) {
    EXPECT_EQ(TextOfReal(1.5), " 1.50000000000000E+0000");
    EXPECT_EQ(TextOfReal(-1.5), "-1.50000000000000E+0000");
    EXPECT_EQ(TextOfReal(-0.5), "-5.00000000000000E-0001");
    EXPECT_EQ(TextOfReal(0.0), " 0.00000000000000E+0000");
    EXPECT_EQ(TextOfReal(-0.0), " 0.00000000000000E+0000");
    EXPECT_EQ(TextOfReal(12345.678), " 1.23456780000000E+0004");
    EXPECT_EQ(TextOfReal(0.001), " 1.00000000000000E-0003");
    EXPECT_EQ(TextOfReal(1e308), " 1.00000000000000E+0308");
    EXPECT_EQ(TextOfReal(std::numeric_limits<double>::quiet_NaN()), "                    Nan");
    EXPECT_EQ(TextOfReal(std::numeric_limits<double>::infinity()), "                   +Inf");
    EXPECT_EQ(TextOfReal(-std::numeric_limits<double>::infinity()), "                   -Inf");
    // The largest double rounds up at the fifteenth digit, past the range: it reads back as
    // an infinity rather than being lost.
    EXPECT_EQ(ParseReal(TextOfReal(std::numeric_limits<double>::max())).value(), HUGE_VAL);
    for (double value :
         {1.5, -2.75, 1e-300, 6.02214076e23, std::numeric_limits<double>::min(), 4.9e-324}) {
        const std::string text = TextOfReal(value);
        EXPECT_EQ(text.size(), 23u) << text;
        const double back = ParseReal(text).value();
        EXPECT_NEAR(back, value, std::fabs(value) * 1e-14) << text;
    }
}
