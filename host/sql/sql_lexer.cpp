#include "sql/sql_lexer.h"

namespace nrw {

namespace {

bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }

bool IsBlank(unsigned char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

}  // namespace

// End of a quoted run starting at pos (the opening quote); a doubled quote stays inside.
size_t SqlQuotedEnd(std::string_view sql, size_t pos, char quote) {
  size_t i = pos + 1;
  while (i < sql.size()) {
    if (sql[i] == quote) {
      if (i + 1 < sql.size() && sql[i + 1] == quote) {
        i += 2;
        continue;
      }
      return i + 1;
    }
    ++i;
  }
  return sql.size();
}

size_t SqlNumberEnd(std::string_view sql, size_t pos) {
  size_t i = pos;
  while (i < sql.size() && IsDigit(sql[i])) ++i;
  if (i < sql.size() && sql[i] == '.') {
    ++i;
    while (i < sql.size() && IsDigit(sql[i])) ++i;
  }
  if (i < sql.size() && (sql[i] == 'e' || sql[i] == 'E')) {
    size_t j = i + 1;
    if (j < sql.size() && (sql[j] == '+' || sql[j] == '-')) ++j;
    if (j < sql.size() && IsDigit(sql[j])) {
      while (j < sql.size() && IsDigit(sql[j])) ++j;
      i = j;
    }
  }
  return i;
}

size_t SqlCommentEnd(std::string_view sql, size_t pos) {
  const std::string_view opening = sql.substr(pos, 2);
  if (opening == "--") {
    const size_t end = sql.find('\n', pos);
    return end == std::string_view::npos ? sql.size() : end;
  }
  if (opening == "/*") {
    const size_t end = sql.find("*/", pos + 2);
    return end == std::string_view::npos ? sql.size() : end + 2;
  }
  return pos;
}

SqlToken ReadSqlToken(std::string_view sql, size_t i) {
  const unsigned char c = sql[i];
  const unsigned char next = i + 1 < sql.size() ? sql[i + 1] : '\0';
  SqlTokenKind kind = SqlTokenKind::kSymbol;
  size_t end = i + 1;
  if (IsBlank(c)) {
    kind = SqlTokenKind::kBlank;
    while (end < sql.size() && IsBlank(sql[end])) ++end;
  } else if (c == '\'') {
    kind = SqlTokenKind::kString;
    end = SqlQuotedEnd(sql, i, '\'');
  } else if (c == '"') {
    kind = SqlTokenKind::kQuotedName;
    end = SqlQuotedEnd(sql, i, '"');
  } else if (const size_t comment = SqlCommentEnd(sql, i); comment != i) {
    kind = SqlTokenKind::kComment;
    end = comment;
  } else if (c == ':' && next == ':') {
    end = i + 2;
  } else if (c == ':' && IsSqlNameStart(next)) {
    kind = SqlTokenKind::kParameter;
    end = i + 2;
    while (end < sql.size() && IsSqlNameChar(sql[end])) ++end;
  } else if (IsDigit(c) || (c == '.' && IsDigit(next))) {
    kind = SqlTokenKind::kNumber;
    end = SqlNumberEnd(sql, i);
    if (end == i) end = i + 1;
  } else if (IsSqlNameStart(c)) {
    kind = SqlTokenKind::kWord;
    while (end < sql.size() && IsSqlNameChar(sql[end])) ++end;
  }
  return {kind, sql.substr(i, end - i)};
}

std::vector<SqlToken> TokenizeSql(std::string_view sql) {
  std::vector<SqlToken> tokens;
  // About one token in three or four bytes of a statement: one allocation for most.
  tokens.reserve(sql.size() / 3 + 8);
  for (size_t i = 0; i < sql.size();) {
    tokens.push_back(ReadSqlToken(sql, i));
    i += tokens.back().text.size();
  }
  return tokens;
}

std::string SqlUpper(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return upper;
}

bool IsSqlWord(const SqlToken& token, std::string_view upper_word) {
  if (token.kind != SqlTokenKind::kWord || token.text.size() != upper_word.size()) return false;
  for (size_t i = 0; i < upper_word.size(); ++i) {
    char c = token.text[i];
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (c != upper_word[i]) return false;
  }
  return true;
}

bool IsSqlSymbol(const SqlToken& token, char symbol) {
  return token.kind == SqlTokenKind::kSymbol && token.text.size() == 1 && token.text[0] == symbol;
}

size_t NextSqlToken(const std::vector<SqlToken>& tokens, size_t from, size_t end) {
  while (from < end && IsSqlFiller(tokens[from])) ++from;
  return from;
}

size_t MatchingSqlClose(const std::vector<SqlToken>& tokens, size_t open, size_t end) {
  const char open_symbol = tokens[open].text[0];
  const char close_symbol = open_symbol == '(' ? ')' : '}';
  int depth = 0;
  for (size_t i = open; i < end; ++i) {
    if (IsSqlSymbol(tokens[i], open_symbol)) {
      ++depth;
    } else if (IsSqlSymbol(tokens[i], close_symbol) && --depth == 0) {
      return i;
    }
  }
  return end;
}

}  // namespace nrw
