// Operand expressions: numbers, reals, characters, labels, offset, $, + - * / mod and bit operators.
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
    enum class Kind { Number, Real, Symbol, Here, Unary, Binary } kind = Kind::Number;
    std::int64_t number = 0;
    double real = 0.0;
    std::string name;   // symbol name, or operator for Unary/Binary (upper case words)
    std::unique_ptr<Expr> left, right;
};

// Looks a symbol up. Returns its value, or nullopt with `error` set.
using SymbolLookup = std::function<std::optional<std::int64_t>(const std::string& name, std::string& error)>;

struct EvalContext {
    SymbolLookup lookup;
    std::int64_t here = 0;   // value of $
};

// Parses tokens [pos, end) as one expression; advances pos. nullptr with `error` on failure.
std::unique_ptr<Expr> parse_expression(const std::vector<Token>& tokens, std::size_t& pos, std::string& error);

// Parses a whole text as one expression.
std::unique_ptr<Expr> parse_expression_text(const std::string& text, std::string& error);

std::optional<Value> evaluate(const Expr& e, const EvalContext& ctx, std::string& error);

}  // namespace bglc
