// Operand expressions: numbers, reals, characters, labels, offset, $, + - * / mod, bit operators,
// comparisons (eq ne lt gt le ge: -1 when true, 0 when false), high / low, type ptr, and
// sizeof / lengthof / type of a name.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "lexer.h"

namespace bglc {

struct Value {
    bool is_real = false;
    std::int64_t integer = 0;
    double real = 0.0;
};

struct Expr {
    // Cast: "TYPE ptr operand" (name: the type); Query: sizeof, lengthof or type (name: the
    // operator) of the Symbol in left.
    enum class Kind { Number, Real, Symbol, Here, Unary, Binary, Cast, Query } kind = Kind::Number;
    std::int64_t number = 0;
    double real = 0.0;
    std::string name;   // symbol or type name, or operator for Unary/Binary/Query (upper case words)
    std::unique_ptr<Expr> left, right;
};

// Looks a symbol up. Returns its value, or nullopt with `error` set.
using SymbolLookup = std::function<std::optional<std::int64_t>(const std::string& name, std::string& error)>;

// Answers "SIZEOF", "LENGTHOF" and "TYPE" of a name, and "PTR" (the size of a type name).
using SymbolQuery =
    std::function<std::optional<std::int64_t>(const std::string& op, const std::string& name, std::string& error)>;

struct EvalContext {
    SymbolLookup lookup;
    std::int64_t here = 0;   // value of $
    SymbolQuery query;       // may be empty: every query is then an error
};

// Parses tokens [pos, end) as one expression; advances pos. nullptr with `error` on failure.
std::unique_ptr<Expr> parse_expression(const std::vector<Token>& tokens, std::size_t& pos, std::string& error);

// Parses a whole text as one expression.
std::unique_ptr<Expr> parse_expression_text(const std::string& text, std::string& error);

std::optional<Value> evaluate(const Expr& e, const EvalContext& ctx, std::string& error);

}  // namespace bglc
