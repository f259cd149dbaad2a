#include "data/filter_expr.h"

#include <cctype>
#include <charconv>
#include <string_view>
#include <vector>

#include "data/data_order.h"
#include "nrw/core.h"
#include "nrw/format.h"

namespace nrw {

enum class CompareOp { Equal, NotEqual, Less, Greater, LessEqual, GreaterEqual };

// And and Or hold all their terms in one node: a flat chain of a million "or" terms is one node
// with a million children, not a million nested nodes whose evaluation and destruction would
// recurse as deep. Depth comes only from parentheses and "not", which the parser bounds.
struct FilterExpr::Node {
  enum class Kind { And, Or, Not, Compare, IsNull, IsNotNull };
  Kind kind = Kind::Compare;
  std::vector<std::unique_ptr<Node>> terms;
  int field = -1;
  CompareOp op = CompareOp::Equal;
  KeyValue literal;
};

namespace {

using Node = FilterExpr::Node;

struct Token {
  enum class Kind { End, Name, Number, Text, Symbol };
  Kind kind = Kind::End;
  std::string text;
};

// Thrown inside the parser only; Compile turns it into the one message users see.
struct SyntaxError {};

bool IsNameChar(char c) {
  const auto u = static_cast<unsigned char>(c);
  return std::isalnum(u) || c == '_' || u >= 0x80;
}

class Parser {
 public:
  Parser(std::string_view text, const TnDataStore& store) : text_(text), store_(store) {
    Advance();
  }

  std::unique_ptr<Node> ParseAll() {
    auto root = ParseOr();
    if (token_.kind != Token::Kind::End) throw SyntaxError{};
    return root;
  }

 private:
  void Advance() {
    while (at_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[at_]))) ++at_;
    token_ = Token{};
    if (at_ >= text_.size()) return;
    const char c = text_[at_];
    if (c == '\'') {
      token_.kind = Token::Kind::Text;
      ++at_;
      for (;;) {
        if (at_ >= text_.size()) throw SyntaxError{};
        if (text_[at_] == '\'') {
          if (at_ + 1 < text_.size() && text_[at_ + 1] == '\'') {
            token_.text += '\'';
            at_ += 2;
            continue;
          }
          ++at_;
          break;
        }
        token_.text += text_[at_++];
      }
    } else if (c == '[') {
      const size_t close = text_.find(']', at_);
      if (close == std::string_view::npos) throw SyntaxError{};
      token_.kind = Token::Kind::Name;
      token_.text = Trim(text_.substr(at_ + 1, close - at_ - 1));
      at_ = close + 1;
    } else if (std::isdigit(static_cast<unsigned char>(c)) || c == '.' || c == '-' || c == '+') {
      token_.kind = Token::Kind::Number;
      const size_t start = at_;
      if (c == '-' || c == '+') ++at_;
      while (at_ < text_.size() &&
             (std::isdigit(static_cast<unsigned char>(text_[at_])) || text_[at_] == '.')) {
        ++at_;
      }
      if (at_ < text_.size() && (text_[at_] == 'e' || text_[at_] == 'E')) {
        ++at_;
        if (at_ < text_.size() && (text_[at_] == '-' || text_[at_] == '+')) ++at_;
        while (at_ < text_.size() && std::isdigit(static_cast<unsigned char>(text_[at_]))) ++at_;
      }
      token_.text = std::string(text_.substr(start, at_ - start));
    } else if (IsNameChar(c)) {
      token_.kind = Token::Kind::Name;
      const size_t start = at_;
      while (at_ < text_.size() && IsNameChar(text_[at_])) ++at_;
      token_.text = std::string(text_.substr(start, at_ - start));
    } else {
      token_.kind = Token::Kind::Symbol;
      static constexpr std::string_view kTwoChar[] = {"<>", "<=", ">=", "!="};
      for (const std::string_view op : kTwoChar) {
        if (text_.substr(at_, 2) == op) {
          token_.text = std::string(op);
          at_ += 2;
          return;
        }
      }
      token_.text = std::string(1, c);
      ++at_;
    }
  }

  bool IsKeyword(std::string_view word) const {
    return token_.kind == Token::Kind::Name && SameText(token_.text, word);
  }

  //! Terms joined by the keyword, as one node (or the single term itself).
  template <class ParseTerm>
  std::unique_ptr<Node> ParseChain(Node::Kind kind, std::string_view keyword, ParseTerm term) {
    auto first = term();
    if (!IsKeyword(keyword)) return first;
    auto node = std::make_unique<Node>();
    node->kind = kind;
    node->terms.push_back(std::move(first));
    while (IsKeyword(keyword)) {
      Advance();
      node->terms.push_back(term());
    }
    return node;
  }

  std::unique_ptr<Node> ParseOr() {
    return ParseChain(Node::Kind::Or, "or", [this] { return ParseAnd(); });
  }

  std::unique_ptr<Node> ParseAnd() {
    return ParseChain(Node::Kind::And, "and", [this] { return ParseUnary(); });
  }

  std::unique_ptr<Node> ParseUnary() {
    // Bounds the recursion, so a hostile text cannot exhaust the stack.
    if (++depth_ > kMaxDepth) throw SyntaxError{};
    auto node = ParseUnaryInner();
    --depth_;
    return node;
  }

  std::unique_ptr<Node> ParseUnaryInner() {
    if (IsKeyword("not")) {
      Advance();
      auto node = std::make_unique<Node>();
      node->kind = Node::Kind::Not;
      node->terms.push_back(ParseUnary());
      return node;
    }
    if (token_.kind == Token::Kind::Symbol && token_.text == "(") {
      Advance();
      auto inner = ParseOr();
      if (token_.kind != Token::Kind::Symbol || token_.text != ")") throw SyntaxError{};
      Advance();
      return inner;
    }
    return ParseComparison();
  }

  std::unique_ptr<Node> ParseComparison() {
    if (token_.kind != Token::Kind::Name) throw SyntaxError{};
    auto node = std::make_unique<Node>();
    node->field = store_.FindField(token_.text);
    if (node->field < 0) throw SyntaxError{};
    Advance();
    if (IsKeyword("is")) {
      Advance();
      node->kind = Node::Kind::IsNull;
      if (IsKeyword("not")) {
        node->kind = Node::Kind::IsNotNull;
        Advance();
      }
      if (!IsKeyword("null")) throw SyntaxError{};
      Advance();
      return node;
    }
    node->kind = Node::Kind::Compare;
    node->op = ParseOperator();
    node->literal = ParseLiteral(store_.FieldType(node->field));
    return node;
  }

  CompareOp ParseOperator() {
    if (token_.kind != Token::Kind::Symbol) throw SyntaxError{};
    const std::string op = token_.text;
    Advance();
    if (op == "=") return CompareOp::Equal;
    if (op == "<>" || op == "!=") return CompareOp::NotEqual;
    if (op == "<") return CompareOp::Less;
    if (op == ">") return CompareOp::Greater;
    if (op == "<=") return CompareOp::LessEqual;
    if (op == ">=") return CompareOp::GreaterEqual;
    throw SyntaxError{};
  }

  KeyValue ParseLiteral(TFieldType type) {
    const Token literal = token_;
    Advance();
    Variant value;
    if (literal.kind == Token::Kind::Text) {
      value = Variant(literal.text);
    } else if (literal.kind == Token::Kind::Number) {
      // A text column compares with the number as written, so "0012" keeps its zeros.
      std::string_view digits = literal.text;
      if (!digits.empty() && digits.front() == '+') digits.remove_prefix(1);
      if (type == TFieldType::Text) {
        if (!IsNumber(digits)) throw SyntaxError{};
        KeyValue key;
        key.kind = KeyValue::Kind::Text;
        key.text = std::string(digits);
        return key;
      }
      value = NumberValue(digits);
    } else {
      throw SyntaxError{};
    }
    auto key = ToKeyValue(value, type);
    if (!key || key->kind == KeyValue::Kind::Null) throw SyntaxError{};
    return *key;
  }

  static bool IsNumber(std::string_view digits) {
    double real = 0.0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), real);
    return error == std::errc() && end == digits.data() + digits.size();
  }

  static Variant NumberValue(std::string_view digits) {
    int64_t integer = 0;
    const char* last = digits.data() + digits.size();
    if (auto [end, error] = std::from_chars(digits.data(), last, integer);
        error == std::errc() && end == last) {
      return Variant(integer);
    }
    double real = 0.0;
    if (auto [end, error] = std::from_chars(digits.data(), last, real);
        error == std::errc() && end == last) {
      return Variant(real);
    }
    throw SyntaxError{};
  }

  std::string_view text_;
  const TnDataStore& store_;
  size_t at_ = 0;
  Token token_;
  int depth_ = 0;
  static constexpr int kMaxDepth = 200;
};

bool Evaluate(const Node& node, const TnDataStore& store, uint32_t row) {
  switch (node.kind) {
    case Node::Kind::And:
      for (const auto& term : node.terms) {
        if (!Evaluate(*term, store, row)) return false;
      }
      return true;
    case Node::Kind::Or:
      for (const auto& term : node.terms) {
        if (Evaluate(*term, store, row)) return true;
      }
      return false;
    case Node::Kind::Not:
      return !Evaluate(*node.terms.front(), store, row);
    case Node::Kind::IsNull:
      return store.IsNull(node.field, row);
    case Node::Kind::IsNotNull:
      return !store.IsNull(node.field, row);
    case Node::Kind::Compare:
      break;
  }
  if (store.IsNull(node.field, row)) return false;
  const int c = CompareCell(store.ColumnAt(node.field), row, node.literal);
  switch (node.op) {
    case CompareOp::Equal:
      return c == 0;
    case CompareOp::NotEqual:
      return c != 0;
    case CompareOp::Less:
      return c < 0;
    case CompareOp::Greater:
      return c > 0;
    case CompareOp::LessEqual:
      return c <= 0;
    case CompareOp::GreaterEqual:
      return c >= 0;
  }
  return false;
}

}  // namespace

FilterExpr::FilterExpr(std::unique_ptr<Node> root) : root_(std::move(root)) {}
FilterExpr::~FilterExpr() = default;

std::unique_ptr<FilterExpr> FilterExpr::Compile(const std::string& text, const TnDataStore& store) {
  try {
    Parser parser(text, store);
    return std::make_unique<FilterExpr>(parser.ParseAll());
  } catch (const SyntaxError&) {
    // The filter may be as long as a module makes it: the message shows its start.
    constexpr size_t kShown = 200;
    throw Exception("Filtro inválido: " +
                    (text.size() <= kShown ? text : text.substr(0, kShown) + "..."));
  }
}

bool FilterExpr::Matches(const TnDataStore& store, uint32_t row) const {
  return Evaluate(*root_, store, row);
}

}  // namespace nrw
