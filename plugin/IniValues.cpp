/*
 * The value syntax of the settings file. Hand-written parsers rather than strtol/strtod: the
 * accepted forms are narrower than the C library's (no octal, no trailing blanks, no wrap on
 * overflow) and must not depend on the locale.
 */
#include "IniValues.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string_view SkipBlanks(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    return text.substr(i);
}

// At most eight significant digits, taken as a 32-bit pattern.
std::optional<int32_t> ParseHexDigits(std::string_view digits) {
    if (digits.empty())
        return std::nullopt;
    uint32_t value = 0;
    int significant = 0;
    for (char c : digits) {
        const int d = HexDigit(c);
        if (d < 0)
            return std::nullopt;
        if (significant > 0 || d != 0)
            ++significant;
        if (significant > 8)
            return std::nullopt;
        value = value * 16 + static_cast<uint32_t>(d);
    }
    return static_cast<int32_t>(value);
}

std::optional<int32_t> ParseDecimal(std::string_view text) {
    bool negative = false;
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
        negative = text[0] == '-';
        text.remove_prefix(1);
    }
    if (text.empty())
        return std::nullopt;
    const int64_t limit = negative ? int64_t{2147483648} : int64_t{2147483647};
    int64_t value = 0;
    for (char c : text) {
        if (!IsDigit(c))
            return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > limit) // stop before the accumulator could overflow
            return std::nullopt;
    }
    return static_cast<int32_t>(negative ? -value : value);
}

// Roughly where the leading digit of a plain "digits.digitsEexp" text stands: positive for
// numbers of one and above. Only its sign matters, to tell overflow from underflow.
long DecimalExponent(const std::string& plain) {
    const size_t e = plain.find('e');
    long exponent = 0;
    if (e != std::string::npos) {
        const std::string_view digits(plain.data() + e + 1, plain.size() - e - 1);
        const bool minus = !digits.empty() && digits[0] == '-';
        for (char c : digits.substr(!digits.empty() && (digits[0] == '-' || digits[0] == '+')))
            exponent = std::min(exponent * 10 + (c - '0'), 100000L);
        if (minus)
            exponent = -exponent;
    }
    const std::string_view mantissa(plain.data(), std::min(e, plain.size()));
    const size_t point = std::min(mantissa.find('.'), mantissa.size());
    const size_t first = mantissa.find_first_not_of("0.");
    if (first == std::string_view::npos)
        return 0;
    return exponent + (first < point ? static_cast<long>(point - first)
                                     : -static_cast<long>(first - point - 1));
}

} // namespace

std::optional<int32_t> ParseInt(std::string_view text) {
    text = SkipBlanks(text);
    if (!text.empty() && (text[0] == '$' || text[0] == 'x' || text[0] == 'X'))
        return ParseHexDigits(text.substr(1));
    if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
        return ParseHexDigits(text.substr(2));
    return ParseDecimal(text);
}

int32_t IntFromText(std::string_view text, int32_t defaultValue) {
    std::string copy(text);
    if (copy.size() > 2 && copy[0] == '0' && (copy[1] == 'x' || copy[1] == 'X'))
        copy.replace(0, 2, "$");
    return ParseInt(copy).value_or(defaultValue);
}

std::string TextOfInt(int32_t value) {
    return std::to_string(value);
}

std::optional<double> ParseReal(std::string_view text) {
    text = SkipBlanks(text);
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    if (i == text.size()) // empty, blanks only, or a lone sign
        return std::nullopt;
    // Rebuild a plain "digits.digitsEexp" for from_chars, which knows no "+" and no empty runs.
    std::string plain;
    const size_t intStart = i;
    while (i < text.size() && IsDigit(text[i]))
        ++i;
    plain.append(text.substr(intStart, i - intStart));
    if (plain.empty())
        plain = "0";
    if (i < text.size() && text[i] == '.') {
        ++i;
        const size_t fracStart = i;
        while (i < text.size() && IsDigit(text[i]))
            ++i;
        if (i > fracStart)
            plain.append(".").append(text.substr(fracStart, i - fracStart));
    }
    if (i < text.size() && (text[i] == 'E' || text[i] == 'e')) {
        ++i;
        plain.push_back('e');
        if (i < text.size() && (text[i] == '+' || text[i] == '-'))
            plain.push_back(text[i++]);
        const size_t expStart = i;
        while (i < text.size() && IsDigit(text[i]))
            ++i;
        if (i == expStart)
            return std::nullopt;
        plain.append(text.substr(expStart, i - expStart));
    }
    if (i != text.size())
        return std::nullopt;
    double value = 0;
    const auto [end, error] = std::from_chars(plain.data(), plain.data() + plain.size(), value);
    if (error == std::errc::result_out_of_range)
        value = DecimalExponent(plain) > 0 ? HUGE_VAL : 0.0; // saturate, as strtod does
    else if (error != std::errc() || end != plain.data() + plain.size())
        return std::nullopt;
    return negative ? -value : value;
}

std::string TextOfReal(double value) {
    constexpr size_t kWidth = 23;
    if (std::isnan(value))
        return std::string(kWidth - 3, ' ') + "Nan";
    if (std::isinf(value))
        return std::string(kWidth - 4, ' ') + (value < 0 ? "-Inf" : "+Inf");
    // to_chars gives "d.ddddddddddddddde+XX" whatever the locale; the exponent is widened here.
    char digits[40];
    const auto result = std::to_chars(digits, digits + sizeof digits, std::fabs(value),
                                      std::chars_format::scientific, 14);
    const std::string_view scientific(digits, static_cast<size_t>(result.ptr - digits));
    const size_t e = scientific.find('e');
    const std::string_view mantissa = scientific.substr(0, e);
    const char expSign = scientific[e + 1];
    const int exponent = std::stoi(std::string(scientific.substr(e + 2)));
    char exponentText[8];
    std::snprintf(exponentText, sizeof exponentText, "%04d", exponent);
    std::string text(1, value < 0 ? '-' : ' ');
    text.append(mantissa).append("E").append(1, expSign).append(exponentText);
    return text;
}
