#include "lexer.h"

#include <cctype>
#include <cmath>
#include <cstdlib>

namespace bglc {

std::string trim(std::string_view text) {
    std::size_t b = 0, e = text.size();
    while (b < e && (text[b] == ' ' || text[b] == '\t' || text[b] == '\r' || text[b] == '\x1a')) ++b;
    while (e > b && (text[e - 1] == ' ' || text[e - 1] == '\t' || text[e - 1] == '\r' || text[e - 1] == '\x1a')) --e;
    return std::string(text.substr(b, e - b));
}

std::string upper(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

bool is_identifier_start(char c) {
    return std::isalpha(static_cast<unsigned char>(c)) || c == '_' || c == '@' || c == '?' || c == '$' || c == '.';
}

bool is_identifier_char(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '@' || c == '?' || c == '$' || c == '.';
}

std::string strip_comment(std::string_view line) {
    char quote = 0;
    for (std::size_t i = 0; i < line.size(); ++i) {
        char c = line[i];
        if (quote) {
            if (c == quote) quote = 0;
        } else if (c == '\'' || c == '"') {
            quote = c;
        } else if (c == ';') {
            return std::string(line.substr(0, i));
        }
    }
    return std::string(line);
}

std::vector<std::string> split_operands(std::string_view text) {
    std::vector<std::string> out;
    if (trim(text).empty()) return out;
    char quote = 0;
    int depth = 0;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (quote) {
            if (c == quote) quote = 0;
        } else if (c == '\'' || c == '"') {
            quote = c;
        } else if (c == '(' || c == '<') {
            ++depth;
        } else if ((c == ')' || c == '>') && depth > 0) {
            --depth;
        } else if (c == ',' && depth == 0) {
            out.push_back(trim(text.substr(start, i - start)));
            start = i + 1;
        }
    }
    out.push_back(trim(text.substr(start)));
    return out;
}

static int digit_value(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return 99;
}

static std::optional<std::int64_t> digits_in_radix(std::string_view digits, int radix) {
    if (digits.empty()) return std::nullopt;
    std::uint64_t value = 0;
    for (char c : digits) {
        int d = digit_value(c);
        if (d >= radix) return std::nullopt;
        // Beyond 64 bits the number is rejected rather than wrapped.
        if (value > (UINT64_MAX - static_cast<unsigned>(d)) / static_cast<unsigned>(radix)) return std::nullopt;
        value = value * static_cast<unsigned>(radix) + static_cast<unsigned>(d);
    }
    if (value > static_cast<std::uint64_t>(INT64_MAX)) return std::nullopt;
    return static_cast<std::int64_t>(value);
}

std::optional<std::int64_t> parse_integer(std::string_view text) {
    if (text.empty() || !std::isdigit(static_cast<unsigned char>(text[0]))) return std::nullopt;
    char last = static_cast<char>(std::tolower(static_cast<unsigned char>(text.back())));
    std::string_view body = text.substr(0, text.size() - 1);
    switch (last) {
        case 'h': return digits_in_radix(body, 16);
        case 'b': case 'y': {
            // "0Bh" never reaches here; a trailing b with other digits than 0/1 is no number.
            return digits_in_radix(body, 2);
        }
        case 'o': case 'q': return digits_in_radix(body, 8);
        case 't': case 'd': return digits_in_radix(body, 10);
        default: return digits_in_radix(text, 10);
    }
}

std::optional<double> parse_real(std::string_view text) {
    std::size_t i = 0;
    auto digits = [&] {
        std::size_t s = i;
        while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) ++i;
        return i - s;
    };
    if (digits() == 0) return std::nullopt;
    if (i >= text.size() || text[i] != '.') return std::nullopt;
    ++i;
    digits();
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
        if (digits() == 0) return std::nullopt;
    }
    if (i != text.size()) return std::nullopt;
    // strtod reads the point regardless of locale here: the text holds nothing else.
    std::string copy(text);
    char* end = nullptr;
    double v = std::strtod(copy.c_str(), &end);
    if (end != copy.c_str() + copy.size() || !std::isfinite(v)) return std::nullopt;
    return v;
}

std::optional<std::vector<Token>> tokenize(std::string_view line, std::string& error) {
    std::vector<Token> out;
    std::size_t i = 0;
    while (i < line.size()) {
        char c = line[i];
        if (c == ' ' || c == '\t' || c == '\r' || c == '\x1a') { ++i; continue; }
        Token t;
        // ".5" is a real number; any other word that starts with a point is a name (".386").
        if (c == '.' && i + 1 < line.size() && std::isdigit(static_cast<unsigned char>(line[i + 1])) &&
            (i == 0 || !is_identifier_char(line[i - 1]))) {
            std::size_t s = i++;
            while (i < line.size() && std::isdigit(static_cast<unsigned char>(line[i]))) ++i;
            if (i < line.size() && (line[i] == 'e' || line[i] == 'E')) {
                ++i;
                if (i < line.size() && (line[i] == '+' || line[i] == '-')) ++i;
                while (i < line.size() && std::isdigit(static_cast<unsigned char>(line[i]))) ++i;
            }
            if (i < line.size() && is_identifier_char(line[i])) {
                // ".5x", ".386P": not a number; read as a name
                i = s;
            } else {
                std::string text = "0" + std::string(line.substr(s, i - s));
                auto r = parse_real(text);
                if (!r) { error = "bad number '" + std::string(line.substr(s, i - s)) + "'"; return std::nullopt; }
                t.kind = TokenKind::Real;
                t.text = std::string(line.substr(s, i - s));
                t.real = *r;
                out.push_back(std::move(t));
                continue;
            }
        }
        if (std::isdigit(static_cast<unsigned char>(c))) {
            std::size_t s = i;
            while (i < line.size() && std::isalnum(static_cast<unsigned char>(line[i]))) ++i;
            bool all_digits = true;
            for (std::size_t k = s; k < i; ++k)
                if (!std::isdigit(static_cast<unsigned char>(line[k]))) all_digits = false;
            if (all_digits && i < line.size() && line[i] == '.') {
                ++i;
                while (i < line.size() && std::isdigit(static_cast<unsigned char>(line[i]))) ++i;
                if (i < line.size() && (line[i] == 'e' || line[i] == 'E')) {
                    ++i;
                    if (i < line.size() && (line[i] == '+' || line[i] == '-')) ++i;
                    while (i < line.size() && std::isdigit(static_cast<unsigned char>(line[i]))) ++i;
                }
                std::string_view text = line.substr(s, i - s);
                auto r = parse_real(text);
                if (!r) { error = "bad number '" + std::string(text) + "'"; return std::nullopt; }
                t.kind = TokenKind::Real;
                t.text = std::string(text);
                t.real = *r;
            } else {
                std::string_view text = line.substr(s, i - s);
                auto n = parse_integer(text);
                if (!n || (i < line.size() && is_identifier_char(line[i]))) {
                    while (i < line.size() && is_identifier_char(line[i])) ++i;
                    error = "bad number '" + std::string(line.substr(s, i - s)) + "'";
                    return std::nullopt;
                }
                t.kind = TokenKind::Number;
                t.text = std::string(text);
                t.number = *n;
            }
        } else if (is_identifier_start(c)) {
            std::size_t s = i;
            while (i < line.size() && is_identifier_char(line[i])) ++i;
            t.kind = TokenKind::Identifier;
            t.text = std::string(line.substr(s, i - s));
        } else if (c == '\'' || c == '"') {
            char q = c;
            ++i;
            std::string value;
            bool closed = false;
            while (i < line.size()) {
                if (line[i] == q) {
                    if (i + 1 < line.size() && line[i + 1] == q) { value += q; i += 2; continue; }
                    ++i;
                    closed = true;
                    break;
                }
                value += line[i++];
            }
            if (!closed) { error = "missing closing quote"; return std::nullopt; }
            t.kind = TokenKind::String;
            t.text = value;
        } else if (std::string_view("+-*/(),<>:&[]=").find(c) != std::string_view::npos) {
            t.kind = TokenKind::Punct;
            t.text = std::string(1, c);
            ++i;
        } else {
            error = std::string("unexpected character '") + c + "'";
            return std::nullopt;
        }
        out.push_back(std::move(t));
    }
    return out;
}

}  // namespace bglc
