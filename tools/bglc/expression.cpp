#include "expression.h"

namespace bglc {
namespace {

class Parser {
public:
    Parser(const std::vector<Token>& t, std::size_t& p, std::string& e) : toks(t), pos(p), error(e) {}

    // Precedence, lowest first: OR XOR, AND, NOT, EQ NE LT GT LE GE, + -, * / MOD SHL SHR,
    // then the prefix operators: + - OFFSET HIGH LOW HIGHWORD LOWWORD, TYPE PTR, SIZEOF LENGTHOF TYPE.
    std::unique_ptr<Expr> parse_or() {
        auto l = parse_and();
        while (l && (word("OR") || word("XOR"))) {
            std::string op = upper(toks[pos++].text);
            l = binary(op, std::move(l), parse_and());
        }
        return l;
    }

private:
    static constexpr int kMaxDepth = 100;
    const std::vector<Token>& toks;
    std::size_t& pos;
    std::string& error;
    int depth = 0;

    bool at_end() const { return pos >= toks.size(); }
    bool punct(const char* p) const {
        return !at_end() && toks[pos].kind == TokenKind::Punct && toks[pos].text == p;
    }
    bool word(const char* w) const {
        return !at_end() && toks[pos].kind == TokenKind::Identifier && upper(toks[pos].text) == w;
    }

    std::unique_ptr<Expr> binary(const std::string& op, std::unique_ptr<Expr> l, std::unique_ptr<Expr> r) {
        if (!r) return nullptr;
        auto e = std::make_unique<Expr>();
        e->kind = Expr::Kind::Binary;
        e->name = op;
        e->left = std::move(l);
        e->right = std::move(r);
        return e;
    }

    std::unique_ptr<Expr> parse_and() {
        auto l = parse_not();
        while (l && word("AND")) {
            ++pos;
            l = binary("AND", std::move(l), parse_not());
        }
        return l;
    }

    std::unique_ptr<Expr> parse_not() {
        if (word("NOT")) {
            ++pos;
            if (++depth > kMaxDepth) {
                error = "expression nested too deeply";
                return nullptr;
            }
            auto operand = parse_not();
            --depth;
            if (!operand) return nullptr;
            auto e = std::make_unique<Expr>();
            e->kind = Expr::Kind::Unary;
            e->name = "NOT";
            e->left = std::move(operand);
            return e;
        }
        return parse_compare();
    }

    std::unique_ptr<Expr> parse_compare() {
        auto l = parse_sum();
        while (l && (word("EQ") || word("NE") || word("LT") || word("GT") || word("LE") || word("GE"))) {
            std::string op = upper(toks[pos++].text);
            l = binary(op, std::move(l), parse_sum());
        }
        return l;
    }

    std::unique_ptr<Expr> parse_sum() {
        auto l = parse_product();
        while (l && (punct("+") || punct("-"))) {
            std::string op = toks[pos++].text;
            l = binary(op, std::move(l), parse_product());
        }
        return l;
    }

    std::unique_ptr<Expr> parse_product() {
        auto l = parse_unary();
        while (l && (punct("*") || punct("/") || word("MOD") || word("SHL") || word("SHR"))) {
            std::string op = upper(toks[pos++].text);
            l = binary(op, std::move(l), parse_unary());
        }
        return l;
    }

    bool word_at(std::size_t at, const char* w) const {
        return at < toks.size() && toks[at].kind == TokenKind::Identifier && upper(toks[at].text) == w;
    }

    static std::unique_ptr<Expr> node(Expr::Kind kind, std::string name, std::unique_ptr<Expr> left = nullptr) {
        auto e = std::make_unique<Expr>();
        e->kind = kind;
        e->name = std::move(name);
        e->left = std::move(left);
        return e;
    }

    std::unique_ptr<Expr> nested_unary() {
        if (++depth > kMaxDepth) {
            error = "expression nested too deeply";
            return nullptr;
        }
        auto operand = parse_unary();
        --depth;
        return operand;
    }

    std::unique_ptr<Expr> parse_unary() {
        // "dword ptr x": the type is checked when evaluated, the value is x's.
        if (!at_end() && toks[pos].kind == TokenKind::Identifier && word_at(pos + 1, "PTR")) {
            std::string type = toks[pos].text;
            pos += 2;
            auto operand = nested_unary();
            return operand ? node(Expr::Kind::Cast, type, std::move(operand)) : nullptr;
        }
        if (word("SIZEOF") || word("LENGTHOF") || word("TYPE")) {
            std::string op = upper(toks[pos++].text);
            if (at_end() || toks[pos].kind != TokenKind::Identifier) {
                error = std::string(op == "TYPE" ? "type" : op == "SIZEOF" ? "sizeof" : "lengthof") +
                        " needs a name";
                return nullptr;
            }
            auto name = node(Expr::Kind::Symbol, toks[pos++].text);
            return node(Expr::Kind::Query, op, std::move(name));
        }
        if (word("HIGH") || word("LOW") || word("HIGHWORD") || word("LOWWORD")) {
            std::string op = upper(toks[pos++].text);
            auto operand = nested_unary();
            return operand ? node(Expr::Kind::Unary, op, std::move(operand)) : nullptr;
        }
        if (punct("-") || punct("+") || word("OFFSET")) {
            std::string op = upper(toks[pos++].text);
            if (++depth > kMaxDepth) {
                error = "expression nested too deeply";
                return nullptr;
            }
            auto operand = parse_unary();
            --depth;
            if (!operand) return nullptr;
            if (op == "OFFSET" && operand->kind != Expr::Kind::Symbol && operand->kind != Expr::Kind::Here &&
                operand->kind != Expr::Kind::Number) {
                error = "offset needs a label";
                return nullptr;
            }
            if (op == "+" || op == "OFFSET") return operand;
            auto e = std::make_unique<Expr>();
            e->kind = Expr::Kind::Unary;
            e->name = op;
            e->left = std::move(operand);
            return e;
        }
        return parse_primary();
    }

    std::unique_ptr<Expr> parse_primary() {
        if (at_end()) {
            error = "missing operand";
            return nullptr;
        }
        const Token& t = toks[pos];
        auto e = std::make_unique<Expr>();
        switch (t.kind) {
            case TokenKind::Number:
                e->kind = Expr::Kind::Number;
                e->number = t.number;
                ++pos;
                return e;
            case TokenKind::Real:
                e->kind = Expr::Kind::Real;
                e->real = t.real;
                ++pos;
                return e;
            case TokenKind::String: {
                // A character constant: up to 8 characters, the first one most significant.
                if (t.text.empty() || t.text.size() > 8) {
                    error = "character constant must hold 1 to 8 characters";
                    return nullptr;
                }
                std::uint64_t v = 0;
                for (unsigned char c : t.text) v = (v << 8) | c;
                e->kind = Expr::Kind::Number;
                e->number = static_cast<std::int64_t>(v);
                ++pos;
                return e;
            }
            case TokenKind::Identifier: {
                std::string u = upper(t.text);
                static const char* reserved[] = {"OFFSET", "MOD", "SHL", "SHR", "AND", "OR", "XOR", "NOT", "DUP",
                                                 "EQ", "NE", "LT", "GT", "LE", "GE", "PTR"};
                for (const char* r : reserved)
                    if (u == r) {
                        error = "missing operand before '" + t.text + "'";
                        return nullptr;
                    }
                ++pos;
                if (u == "$") {
                    e->kind = Expr::Kind::Here;
                    return e;
                }
                e->kind = Expr::Kind::Symbol;
                e->name = t.text;
                return e;
            }
            case TokenKind::Punct:
                if (t.text == "(" || t.text == "[") {
                    std::string close = t.text == "(" ? ")" : "]";
                    if (++depth > kMaxDepth) {
                        error = "expression nested too deeply";
                        return nullptr;
                    }
                    ++pos;
                    auto inner = parse_or();
                    --depth;
                    if (!inner) return nullptr;
                    if (!punct(close.c_str())) {
                        error = "missing '" + close + "'";
                        return nullptr;
                    }
                    ++pos;
                    return inner;
                }
                error = "unexpected '" + t.text + "'";
                return nullptr;
        }
        error = "bad expression";
        return nullptr;
    }
};

double as_real(const Value& v) { return v.is_real ? v.real : static_cast<double>(v.integer); }

}  // namespace

std::unique_ptr<Expr> parse_expression(const std::vector<Token>& tokens, std::size_t& pos, std::string& error) {
    Parser p(tokens, pos, error);
    return p.parse_or();
}

std::unique_ptr<Expr> parse_expression_text(const std::string& text, std::string& error) {
    auto toks = tokenize(text, error);
    if (!toks) return nullptr;
    std::size_t pos = 0;
    auto e = parse_expression(*toks, pos, error);
    if (e && pos != toks->size()) {
        error = "unexpected '" + (*toks)[pos].text + "' in expression";
        return nullptr;
    }
    return e;
}

std::optional<Value> evaluate(const Expr& e, const EvalContext& ctx, std::string& error) {
    Value v;
    switch (e.kind) {
        case Expr::Kind::Number:
            v.integer = e.number;
            return v;
        case Expr::Kind::Real:
            v.is_real = true;
            v.real = e.real;
            return v;
        case Expr::Kind::Here:
            v.integer = ctx.here;
            return v;
        case Expr::Kind::Symbol: {
            auto s = ctx.lookup(e.name, error);
            if (!s) return std::nullopt;
            v.integer = *s;
            return v;
        }
        case Expr::Kind::Unary: {
            auto a = evaluate(*e.left, ctx, error);
            if (!a) return std::nullopt;
            if (e.name == "-") {
                if (a->is_real) a->real = -a->real;
                else a->integer = static_cast<std::int64_t>(0ULL - static_cast<std::uint64_t>(a->integer));
                return a;
            }
            if (a->is_real) {
                error = "real number not allowed with " + e.name;
                return std::nullopt;
            }
            const std::uint64_t x = static_cast<std::uint64_t>(a->integer);
            if (e.name == "NOT") a->integer = ~a->integer;
            else if (e.name == "HIGH") a->integer = static_cast<std::int64_t>((x >> 8) & 0xFF);
            else if (e.name == "LOW") a->integer = static_cast<std::int64_t>(x & 0xFF);
            else if (e.name == "HIGHWORD") a->integer = static_cast<std::int64_t>((x >> 16) & 0xFFFF);
            else a->integer = static_cast<std::int64_t>(x & 0xFFFF);
            return a;
        }
        case Expr::Kind::Cast: {
            std::string op_error;
            if (!ctx.query || !ctx.query("PTR", e.name, op_error)) {
                error = "unknown type '" + e.name + "' before ptr";
                return std::nullopt;
            }
            return evaluate(*e.left, ctx, error);
        }
        case Expr::Kind::Query: {
            if (!ctx.query) {
                error = "no " + e.name + " here";
                return std::nullopt;
            }
            auto n = ctx.query(e.name, e.left->name, error);
            if (!n) return std::nullopt;
            v.integer = *n;
            return v;
        }
        case Expr::Kind::Binary: {
            auto a = evaluate(*e.left, ctx, error);
            if (!a) return std::nullopt;
            auto b = evaluate(*e.right, ctx, error);
            if (!b) return std::nullopt;
            const std::string& op = e.name;
            static const char* comparisons[] = {"EQ", "NE", "LT", "GT", "LE", "GE"};
            for (const char* c : comparisons) {
                if (op != c) continue;
                const bool real = a->is_real || b->is_real;
                const double x = as_real(*a), y = as_real(*b);
                const std::int64_t i = a->integer, j = b->integer;
                bool r = false;
                if (op == "EQ") r = real ? x == y : i == j;
                else if (op == "NE") r = real ? x != y : i != j;
                else if (op == "LT") r = real ? x < y : i < j;
                else if (op == "GT") r = real ? x > y : i > j;
                else if (op == "LE") r = real ? x <= y : i <= j;
                else r = real ? x >= y : i >= j;
                v.integer = r ? -1 : 0;
                return v;
            }
            if (a->is_real || b->is_real) {
                double x = as_real(*a), y = as_real(*b);
                v.is_real = true;
                if (op == "+") v.real = x + y;
                else if (op == "-") v.real = x - y;
                else if (op == "*") v.real = x * y;
                else if (op == "/") {
                    if (y == 0.0) { error = "division by zero"; return std::nullopt; }
                    v.real = x / y;
                } else {
                    error = "real number not allowed with " + op;
                    return std::nullopt;
                }
                return v;
            }
            // Wrapping arithmetic in unsigned form: no signed overflow.
            std::uint64_t x = static_cast<std::uint64_t>(a->integer), y = static_cast<std::uint64_t>(b->integer);
            std::uint64_t r = 0;
            if (op == "+") r = x + y;
            else if (op == "-") r = x - y;
            else if (op == "*") r = x * y;
            else if (op == "/" || op == "MOD") {
                if (b->integer == 0) { error = "division by zero"; return std::nullopt; }
                if (a->integer == INT64_MIN && b->integer == -1) r = op == "/" ? x : 0;
                else r = static_cast<std::uint64_t>(op == "/" ? a->integer / b->integer : a->integer % b->integer);
            } else if (op == "SHL") r = y >= 64 ? 0 : x << y;
            else if (op == "SHR") r = y >= 64 ? 0 : x >> y;
            else if (op == "AND") r = x & y;
            else if (op == "OR") r = x | y;
            else if (op == "XOR") r = x ^ y;
            v.integer = static_cast<std::int64_t>(r);
            return v;
        }
    }
    error = "bad expression";
    return std::nullopt;
}

}  // namespace bglc
