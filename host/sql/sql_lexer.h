// Tokenizer shared by every reading of a statement's text (parameter scan, dialect rewriting,
// ORDER BY analysis), so that string literals, quoted names and comments are skipped the same way
// everywhere. Tokens are views into the text given; the caller keeps the text alive.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace nrw {

enum class SqlTokenKind {
  kWord,        // keyword or unquoted name
  kNumber,      // 12, 12.5, 1e3
  kString,      // 'text' ('' inside)
  kQuotedName,  // "name" ("" inside)
  kParameter,   // :name
  kComment,     // -- to end of line, /* ... */
  kBlank,       // spaces, tabs, line ends
  kSymbol,      // one character, or "::"
};

struct SqlToken {
  SqlTokenKind kind;
  std::string_view text;
};

//! Splits the statement into tokens; concatenating their texts gives the statement back.
//! Unterminated literals and comments run to the end of the text.
std::vector<SqlToken> TokenizeSql(std::string_view sql);
//! The pieces of the tokenizer, for scans that need no token list. Bytes of UTF-8 sequences
//! belong to names: accented column aliases stay one word.
constexpr bool IsSqlNameStart(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c >= 0x80;
}
constexpr bool IsSqlNameChar(unsigned char c) {
  return IsSqlNameStart(c) || (c >= '0' && c <= '9') || c == '$';
}
//! End of the quoted run whose opening quote is at pos (a doubled quote stays inside); the text's
//! end when it is not closed.
size_t SqlQuotedEnd(std::string_view sql, size_t pos, char quote);
//! End of the number that starts at pos.
size_t SqlNumberEnd(std::string_view sql, size_t pos);
//! End of the comment that starts at pos ("--" up to the line's end, "/*" past its "*/"; the
//! text's end when it is not closed), or pos when no comment starts there.
size_t SqlCommentEnd(std::string_view sql, size_t pos);

//! The token that starts at byte i (< sql.size()) of the statement.
SqlToken ReadSqlToken(std::string_view sql, size_t i);

//! Whether the token is the word given (upper case), compared without regard to case.
bool IsSqlWord(const SqlToken& token, std::string_view upper_word);
//! Whether the token is the symbol given.
bool IsSqlSymbol(const SqlToken& token, char symbol);
//! Blanks and comments, which separate tokens without meaning anything.
inline bool IsSqlFiller(const SqlToken& token) {
  return token.kind == SqlTokenKind::kBlank || token.kind == SqlTokenKind::kComment;
}
//! Index of the first token at or after from (and before end) that is not filler; end if none.
size_t NextSqlToken(const std::vector<SqlToken>& tokens, size_t from, size_t end);
//! Index of the ')' or '}' closing the bracket at open (same kind, nested pairs skipped);
//! end when it is not closed before end.
size_t MatchingSqlClose(const std::vector<SqlToken>& tokens, size_t open, size_t end);

//! Name of a parameter token without the colon.
inline std::string_view SqlParameterName(const SqlToken& token) { return token.text.substr(1); }
//! Upper case of ASCII letters; other bytes kept.
std::string SqlUpper(std::string_view text);

}  // namespace nrw
