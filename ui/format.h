#pragma once
// Numbers as the program shows and writes them, in one place: the default number text, the
// fixed patterns ("0.0###", "0.0#####", "0.0", "0.00", "0.0##"), upper-case hexadecimal with the
// "0…h" form, and the classic rounding and text-to-number rules.
#include <cstdint>
#include <string>

namespace ui {

// Default number text: at most 15 significant digits, no trailing zeros, a decimal point,
// "E+15"/"E-05" forms outside 1E-4 .. 1E15 ("90", "0.5", "-1.25", "1E-05").
std::string num(double v);
std::string num(long long v);
inline std::string num(int v) { return num(static_cast<long long>(v)); }
inline std::string num(long v) { return num(static_cast<long long>(v)); }

// Pattern of zeros and hashes after "0.": "0.0###" gives at least one and at most four
// decimals; halves round away from zero, as the classic Format does.
std::string format(double v, const std::string& pattern);

// An angle as its whole degrees (truncated towards zero), "* " and the remaining minutes in the
// pattern; a value between -1 and 0 keeps its sign ("-0* 30.0" for -0.5).
std::string degrees_minutes(double degrees, const std::string& pattern);

// Upper-case hexadecimal digits without leading zeros ("0" for 0).
std::string hex(std::uint32_t v);
// The source form: "0" + hex + "h" ("0FFh", "00h").
std::string asm_hex(std::uint32_t v);

// Int(): the largest whole number not above v.
double int_floor(double v);
// Rounds to a whole number, halves to even (CInt, CLng); raises error 6 (overflow) outside the
// 64-bit range and for a value that is no number.
long long round_even(double v);
// The whole part of v (towards zero), as a conversion to a whole number takes it; raises error 6
// (overflow) like round_even.
long long to_whole(double v);

// Val(): reads the leading number of a text, skipping blanks, tabs and line feeds anywhere;
// "&H"/"&O" prefixes; stops at the first character that does not fit. 0 for no number; raises
// error 6 (overflow) for a number past the range of numbers.
double val(const std::string& text);

// Decimal text of a number or 0 when the text is not a number at all (CDbl of a text),
// with ok set to false on failure.
double to_number(const std::string& text, bool* ok = nullptr);

}  // namespace ui
