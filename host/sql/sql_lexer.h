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
