// Tokens of one MASM source line, as the BGL compiler reads them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace bglc {

enum class TokenKind { Number, Real, Identifier, String, Punct };

struct Token {
    TokenKind kind = TokenKind::Punct;
    std::string text;      // identifier or punctuation as written, string contents without quotes
    std::int64_t number = 0;
    double real = 0.0;
};

// Splits a line into tokens. On a lexical error returns nullopt and sets `error`.
std::optional<std::vector<Token>> tokenize(std::string_view line, std::string& error);

// Reads one number as MASM writes it: decimal, or with a radix suffix
// (h hexadecimal, b/y binary, o/q octal, t/d decimal). nullopt for anything else.
std::optional<std::int64_t> parse_integer(std::string_view text);

// Reads a real number such as 1.0, -0.5 or 2.5e-3 (a point is required).
std::optional<double> parse_real(std::string_view text);

// Removes a ';' comment that stands outside quotes.
std::string strip_comment(std::string_view line);

// Splits at commas that stand outside quotes, parentheses and <...>; pieces are trimmed.
std::vector<std::string> split_operands(std::string_view text);

std::string trim(std::string_view text);
std::string upper(std::string_view text);
bool is_identifier_start(char c);
bool is_identifier_char(char c);

}  // namespace bglc
