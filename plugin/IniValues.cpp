/*
 * The value syntax of the settings file. The texts are checked by hand, since the accepted
 * forms are narrower than the C library's (no octal, no trailing blanks, no wrap on overflow);
 * the C library only converts reals once checked, with the locale's decimal point put in and
 * taken out, so a host that sets a locale with a decimal comma changes nothing.
 */
#include "IniValues.h"

#include <algorithm>
#include <clocale>
#include <cstdlib>
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

} // namespace

std::optional<int32_t> ParseInt(std::string_view text) {
    text = SkipBlanks(text);
    if (!text.empty() && (text[0] == '$' || text[0] == 'x' || text[0] == 'X'))
        return ParseHexDigits(text.substr(1));
    if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
        return ParseHexDigits(text.substr(2));
    return ParseDecimal(text);
}

// Readers of this syntax traditionally rewrite a leading "0x" as "$" before parsing. ParseInt
// takes "0x" as a prefix of its own, after the blanks too, so that rewrite would change no
// result and is left out.
int32_t IntFromText(std::string_view text, int32_t defaultValue) {
    return ParseInt(text).value_or(defaultValue);
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
    // Rebuild a plain "digits.digitsEexp" for strtod, which has its own, wider syntax.
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
    // strtod reads the locale's decimal point, so the plain text is given that one.
    const char point = *std::localeconv()->decimal_point;
    std::replace(plain.begin(), plain.end(), '.', point);
    char* end = nullptr;
    // Beyond the range of a double strtod saturates: an infinity, or zero.
    const double value = std::strtod(plain.c_str(), &end);
    if (end != plain.c_str() + plain.size())
        return std::nullopt;
    return negative ? -value : value;
}

std::string TextOfReal(double value) {
    constexpr size_t kWidth = 23;
    if (std::isnan(value))
        return std::string(kWidth - 3, ' ') + "Nan";
    if (std::isinf(value))
        return std::string(kWidth - 4, ' ') + (value < 0 ? "-Inf" : "+Inf");
    // printf's "%.14E" has the digits but the locale's decimal point and a two- or
    // three-digit exponent, so the text is rebuilt from its digits.
    char printed[40];
    std::snprintf(printed, sizeof printed, "%.14E", std::fabs(value));
    const std::string_view text(printed);
    const size_t e = text.find('E');
    std::string digits;
    for (char c : text.substr(0, e))
        if (IsDigit(c))
            digits.push_back(c);
    const int exponent = std::atoi(printed + e + 1);
    char result[32];
    std::snprintf(result, sizeof result, "%c%c.%sE%c%04d", value < 0 ? '-' : ' ', digits[0],
                  digits.c_str() + 1, exponent < 0 ? '-' : '+', std::abs(exponent));
    return result;
}
