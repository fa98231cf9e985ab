#include "format.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "errors.h"

namespace ui {

std::string num(double v) {
    if (v == 0) return "0";
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.15g", v);
    std::string s = buf;
    auto e = s.find('e');
    if (e != std::string::npos) {
        // "1e-05" -> "1E-05", "1.5e+15" -> "1.5E+15"
        s[e] = 'E';
    }
    return s;
}

std::string num(long long v) { return std::to_string(v); }

namespace {

// The decimal digits of |v| rounded to `decimals` places, halves away from zero, computed on
// the number's 15-digit decimal form so that 2.675 rounds like the text it is shown as.
std::string fixed_digits(double v, int decimals) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.14e", std::fabs(v));  // d.dddddddddddddde±XX
    std::string m;
    m += buf[0];
    m.append(buf + 2, 14);
    int exp = std::atoi(buf + 17);
    // value = 0.m × 10^(exp+1); keep digits up to `decimals` after the point
    int int_digits = exp + 1;
    int keep = int_digits + decimals;
    std::string digits;
    if (keep < 0) return std::string(1, '0') + (decimals ? "." + std::string(decimals, '0') : "");
    bool round_up = false;
    if (keep < static_cast<int>(m.size())) {
        round_up = m[static_cast<size_t>(keep)] >= '5';
        digits = m.substr(0, static_cast<size_t>(keep));
    } else {
        digits = m + std::string(static_cast<size_t>(keep) - m.size(), '0');
    }
    if (round_up) {
        int i = static_cast<int>(digits.size()) - 1;
        while (i >= 0 && digits[static_cast<size_t>(i)] == '9') digits[static_cast<size_t>(i--)] = '0';
        if (i >= 0) digits[static_cast<size_t>(i)]++;
        else { digits.insert(digits.begin(), '1'); ++int_digits; }
    }
    // pad to at least one integer digit
    int total_int = static_cast<int>(digits.size()) - decimals;
    if (total_int <= 0) {
        digits.insert(0, static_cast<size_t>(1 - total_int), '0');
        total_int = 1;
    }
    std::string ip = digits.substr(0, static_cast<size_t>(total_int));
    size_t nz = ip.find_first_not_of('0');
    ip = nz == std::string::npos ? "0" : ip.substr(nz);
    std::string fp = digits.substr(static_cast<size_t>(total_int));
    return fp.empty() ? ip : ip + "." + fp;
}

}  // namespace

std::string format(double v, const std::string& pattern) {
    auto dot = pattern.find('.');
    int min_dec = 0, max_dec = 0;
    if (dot != std::string::npos) {
        for (size_t i = dot + 1; i < pattern.size(); ++i) {
            if (pattern[i] == '0') ++min_dec, ++max_dec;
            else if (pattern[i] == '#') ++max_dec;
        }
    }
    std::string s = fixed_digits(v, max_dec);
    if (max_dec > min_dec) {
        auto p = s.find('.');
        size_t keep_to = p + 1 + static_cast<size_t>(min_dec);
        while (s.size() > keep_to && s.back() == '0') s.pop_back();
        if (s.back() == '.') s.pop_back();
    }
    bool zero = s.find_first_not_of("0.") == std::string::npos;
    return (v < 0 && !zero) ? "-" + s : s;
}

std::string degrees_minutes(double degrees, const std::string& pattern) {
    const double whole = std::trunc(degrees);
    std::string text = degrees < 0 && whole == 0 ? "-" : "";
    return text + num(static_cast<long long>(whole)) + "* " + format(std::fabs(degrees - whole) * 60.0, pattern);
}

std::string hex(std::uint32_t v) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%X", static_cast<unsigned>(v));
    return buf;
}

std::string asm_hex(std::uint32_t v) { return "0" + hex(v) + "h"; }

double int_floor(double v) { return std::floor(v); }

long long to_whole(double v) {
    const double t = std::trunc(v);
    // -2^63 is the lowest 64-bit value; 2^63 is just past the highest.
    if (!(t >= -9223372036854775808.0 && t < 9223372036854775808.0)) raise(kOverflow);
    return static_cast<long long>(t);
}

long long round_even(double v) { return to_whole(std::nearbyint(v)); }

double val(const std::string& text) {
    std::string s;
    for (char c : text)
        if (c != ' ' && c != '\t' && c != '\n' && c != '\r') s += c;
    size_t i = 0;
    if (s.size() >= 2 && s[0] == '&' && (s[1] == 'H' || s[1] == 'h' || s[1] == 'O' || s[1] == 'o')) {
        int base = (s[1] == 'H' || s[1] == 'h') ? 16 : 8;
        long long r = 0;
        for (i = 2; i < s.size(); ++i) {
            int d = std::isdigit(static_cast<unsigned char>(s[i])) ? s[i] - '0'
                    : (base == 16 && std::isxdigit(static_cast<unsigned char>(s[i])))
                        ? std::toupper(static_cast<unsigned char>(s[i])) - 'A' + 10
                        : -1;
            if (d < 0 || d >= base) break;
            r = r * base + d;
            if (r > 0xFFFFFFFFLL) break;
        }
        // a value of 16 bits or 32 bits is taken as signed
        if (i - 2 <= 4 && r > 0x7FFF) r -= 0x10000;
        else if (r > 0x7FFFFFFF) r -= 0x100000000LL;
        return static_cast<double>(r);
    }
    std::string n;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) n += s[i++];
    bool digits = false;
    while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) n += s[i++], digits = true;
    if (i < s.size() && s[i] == '.') {
        n += s[i++];
        while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) n += s[i++], digits = true;
    }
    if (!digits) return 0;
    if (i < s.size() && (s[i] == 'E' || s[i] == 'e' || s[i] == 'D' || s[i] == 'd')) {
        std::string e = "e";
        size_t j = i + 1;
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) e += s[j++];
        bool ed = false;
        while (j < s.size() && std::isdigit(static_cast<unsigned char>(s[j]))) e += s[j++], ed = true;
        if (ed) n += e;
    }
    // A number past the range of numbers ("1e400") is an overflow, as a conversion of it is.
    const double v = std::strtod(n.c_str(), nullptr);
    if (!std::isfinite(v)) raise(kOverflow);
    return v;
}

double to_number(const std::string& text, bool* ok) {
    size_t b = text.find_first_not_of(" \t");
    size_t e = text.find_last_not_of(" \t");
    std::string t = b == std::string::npos ? "" : text.substr(b, e - b + 1);
    // Decimal numbers only: no hexadecimal, infinity or not-a-number forms.
    if (t.find_first_not_of("0123456789+-.eE") != std::string::npos) {
        if (ok) *ok = false;
        return 0;
    }
    char* end = nullptr;
    double v = t.empty() ? 0 : std::strtod(t.c_str(), &end);
    bool good = !t.empty() && end && *end == 0 && std::isfinite(v);
    if (ok) *ok = good;
    return good ? v : 0;
}

}  // namespace ui
