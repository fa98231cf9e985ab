#pragma once
// Reading the numbers of placement lines: hexadecimal operands with a trailing h, and the
// 16-bit fractions that go with 32-bit whole parts.
#include <cstdint>
#include <string>

namespace wb {

// The box of every kind that places something in the world when the header has no placement.
inline constexpr const char* kNoPlacementLine =
    "The header file has no SCALE_AGL placement line, so objects cannot be placed in the world.";

// Trimmed text; a trailing h/H makes it hexadecimal (read as non-negative up to seven digits,
// as a signed 32-bit number with eight); otherwise its decimal value.
double operand_value(const std::string& text);
// The low sixteen bits, 0 .. 65535: of the hexadecimal digits of a text ending in H, else of the
// value's two's-complement form.
long fraction_to_unsigned(const std::string& text);
long fraction_to_unsigned(double value);
// The same sixteen bits as a signed 16-bit number (8000h .. FFFFh negative).
std::int16_t fraction_to_signed(const std::string& text);
std::int16_t fraction_to_signed(double value);

// A position as placement lines write it: latitude, longitude and altitude, each a 32-bit whole
// part and a 16-bit fraction.
struct Position {
    std::int32_t latitude = 0;
    std::int16_t latitude_fraction = 0;
    std::int32_t longitude = 0;
    std::int16_t longitude_fraction = 0;
    std::int32_t altitude = 0;
    std::int16_t altitude_fraction = 0;
};

// The operands of a placement line, as the code generators use them.
struct PlacementOperands : Position {
    std::int32_t op2 = 0;
    std::int16_t op3 = 0;
    std::int32_t scale = 0;
};

PlacementOperands read_placement_operands(const std::string& line);

}  // namespace wb
