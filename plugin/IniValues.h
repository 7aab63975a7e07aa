/*
 * The value syntax of the settings file: integers, booleans and reals as text and back.
 * Pure functions with no <windows.h>, so they are tested and fuzzed natively.
 */
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Decimal with an optional sign, or a 32-bit hexadecimal pattern after "$", "x", "X", "0x"
// or "0X". Leading blanks (code 32 only) are skipped; anything else makes it fail.
std::optional<int32_t> ParseInt(std::string_view text);

// How a stored integer reads: ParseInt, and the default for a text that does not parse.
int32_t IntFromText(std::string_view text, int32_t defaultValue);

// Plain decimal, "-" for negatives, nothing else.
std::string TextOfInt(int32_t value);

// Optional sign, digits with an optional "." (either run may be empty), optional exponent.
// Independent of the locale. Beyond the range of a double it saturates, as strtod does:
// too large gives an infinity, too small a zero.
std::optional<double> ParseReal(std::string_view text);

// 23 characters: sign position, d.dddddddddddddd, "E", exponent sign, four exponent digits;
// "Nan", "+Inf" and "-Inf" padded on the left with blanks.
std::string TextOfReal(double value);

// The two boolean texts of the file.
inline const char* TextOfFlag(bool value) {
    static const char* const texts[2] = {"0", "1"};
    return texts[value ? 1 : 0];
}
