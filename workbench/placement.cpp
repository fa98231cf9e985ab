#include "placement.h"

#include <cmath>

#include "asm_line.h"
#include "ui/format.h"

namespace wb {

double operand_value(const std::string& text) {
    std::string t = trim(text);
    if (!t.empty() && (t.back() == 'h' || t.back() == 'H'))
        return ui::val("&H0" + t.substr(0, t.size() - 1));
    return ui::val(t);
}

long fraction_to_unsigned(const std::string& text) {
    std::string t = trim(text);
    if (!t.empty() && (t.back() == 'h' || t.back() == 'H')) {
        std::string digits = "0000" + t.substr(0, t.size() - 1);
        digits = digits.substr(digits.size() - 4);
        return static_cast<long>(ui::val("&H0" + digits));
    }
    return fraction_to_unsigned(ui::val(t));
}

long fraction_to_unsigned(double value) {
    auto v = static_cast<long long>(std::llround(value));
    return static_cast<long>(static_cast<unsigned long long>(v) & 0xFFFF);
}

std::int16_t fraction_to_signed(const std::string& text) {
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(fraction_to_unsigned(text)));
}

std::int16_t fraction_to_signed(double value) {
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(fraction_to_unsigned(value)));
}

PlacementOperands read_placement_operands(const std::string& line) {
    auto whole = [&](int i) {
        double v = operand_value(asm_field(line, i));
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(ui::to_whole(v)));
    };
    auto fraction = [&](int i) { return fraction_to_signed(operand_value(asm_field(line, i))); };
    PlacementOperands p;
    p.op2 = whole(2);
    p.op3 = fraction_to_signed(operand_value(asm_field(line, 3)));
    p.scale = whole(4);
    p.latitude = whole(5);
    p.latitude_fraction = fraction(6);
    p.longitude = whole(7);
    p.longitude_fraction = fraction(8);
    p.altitude = whole(9);
    p.altitude_fraction = fraction(10);
    return p;
}

}  // namespace wb
