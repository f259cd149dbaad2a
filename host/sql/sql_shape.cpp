#include "sql/sql_shape.h"

#include <array>

namespace nrw {

namespace {

// What a byte can open in the walk below; most bytes open nothing and are passed over in runs.
enum ByteClass : unsigned char {
  kPlain,
  kName,
  kQuote,
  kDoubleQuote,
  kDash,
  kSlash,
  kColon,
  kDigit,
  kDot,
  kMarkByte
};

constexpr ByteClass ClassOf(unsigned char c) {
  if (IsSqlNameStart(c)) return kName;
  if (c >= '0' && c <= '9') return kDigit;
  switch (c) {
    case '\'':
      return kQuote;
    case '"':
      return kDoubleQuote;
    case '-':
      return kDash;
    case '/':
      return kSlash;
    case ':':
      return kColon;
    case '.':
      return kDot;
    default:
      return c <= 0x03 ? kMarkByte : kPlain;
  }
}

constexpr std::array<ByteClass, 256> ByteClasses() {
  std::array<ByteClass, 256> classes{};
  for (size_t c = 0; c < classes.size(); ++c) classes[c] = ClassOf(static_cast<unsigned char>(c));
  return classes;
}

constexpr std::array<ByteClass, 256> kByteClasses = ByteClasses();

constexpr std::array<bool, 256> NameChars() {
  std::array<bool, 256> chars{};
  for (size_t c = 0; c < chars.size(); ++c) chars[c] = IsSqlNameChar(static_cast<unsigned char>(c));
  return chars;
}

constexpr std::array<bool, 256> kNameChars = NameChars();

size_t NameEnd(std::string_view sql, size_t i) {
  while (i < sql.size() && kNameChars[static_cast<unsigned char>(sql[i])]) ++i;
  return i;
}

}  // namespace

// One pass over the bytes that finds the tokens where the tokenizer would (a number starts only
// where a token starts, never inside a word), with the tokenizer's own pieces; everything but a
// liftable literal is copied in runs. Walking with ReadSqlToken costs twice as much, and every
// statement of every part passes here.
SqlShape ShapeOfSql(std::string_view sql) {
  constexpr char kStringMark = '\x01';
  constexpr char kNumberMark = '\x02';
  constexpr char kEscape = '\x03';
  SqlShape shape;
  shape.masked.reserve(sql.size());
  size_t run = 0;
  const auto mark = [&](const SqlToken& literal, size_t begin) {
    shape.masked.append(sql, run, begin - run);
    shape.masked += literal.kind == SqlTokenKind::kString ? kStringMark : kNumberMark;
    shape.literals.push_back(literal);
    run = begin + literal.text.size();
  };
  const auto class_of = [&sql](size_t at) {
    return kByteClasses[static_cast<unsigned char>(sql[at])];
  };
  const size_t size = sql.size();
  size_t i = 0;
  while (i < size) {
    const ByteClass cls = class_of(i);
    const auto next = static_cast<unsigned char>(i + 1 < size ? sql[i + 1] : '\0');
    const bool next_is_digit = next >= '0' && next <= '9';
    switch (cls) {
      case kPlain:
        while (++i < size && class_of(i) == kPlain) {
        }
        break;
      case kName:
        i = NameEnd(sql, i + 1);
        break;
      case kQuote: {
        const size_t end = SqlQuotedEnd(sql, i, '\'');
        const SqlToken literal{SqlTokenKind::kString, sql.substr(i, end - i)};
        if (LiftableLiteral(literal)) mark(literal, i);
        i = end;
        break;
      }
      case kDoubleQuote:
        i = SqlQuotedEnd(sql, i, '"');
        break;
      case kDash:
      case kSlash: {
        const size_t end = SqlCommentEnd(sql, i);
        i = end == i ? i + 1 : end;
        break;
      }
      case kColon:
        if (IsSqlNameStart(next)) {
          i = NameEnd(sql, i + 2);
        } else {
          ++i;
        }
        break;
      case kDot:
        if (!next_is_digit) {
          ++i;
          break;
        }
        [[fallthrough]];
      case kDigit: {
        size_t end = SqlNumberEnd(sql, i);
        if (end == i) end = i + 1;
        const SqlToken literal{SqlTokenKind::kNumber, sql.substr(i, end - i)};
        if (LiftableLiteral(literal)) mark(literal, i);
        i = end;
        break;
      }
      case kMarkByte:
        // The marks never stand for bytes of the text itself.
        shape.masked.append(sql, run, i - run);
        shape.masked += kEscape;
        run = i;
        ++i;
        break;
    }
  }
  shape.masked.append(sql, run, size - run);
  return shape;
}

template <class T>
T ShapeMemo::Recall(Answers<T>& answers, const std::vector<std::string>& names,
                    const std::function<T()>& make) {
  for (const auto& [kept_names, answer] : answers) {
    if (kept_names == names) return answer;
  }
  T answer = make();
  answers.emplace_back(names, answer);
  return answer;
}

std::string ShapeMemo::IndexFields(const std::vector<std::string>& columns,
                                   const std::function<std::string()>& make) {
  return Recall(indexes_, columns, make);
}

std::vector<std::string> ShapeMemo::ColumnNames(
    const std::vector<std::string>& key, const std::function<std::vector<std::string>()>& make) {
  return Recall(column_names_, key, make);
}

size_t ShapeMemo::TextHash(const std::function<size_t()>& make) {
  if (!text_hash_) text_hash_ = make();
  return *text_hash_;
}

AdaptedSqlCache::Adapted AdaptedSqlCache::Adapt(std::string_view sql, std::string_view key_prefix,
                                                const std::function<AdaptedSql()>& adapt) {
  SqlShape shape = ShapeOfSql(sql);
  std::string key(key_prefix);
  key += shape.masked;
  if (const auto found = entries_.find(key); found != entries_.end()) {
    const Entry& entry = found->second;
    bool same = entry.literals.size() == shape.literals.size();
    for (size_t i = 0; same && i < shape.literals.size(); ++i) {
      same = entry.lifted[i] || entry.literals[i] == shape.literals[i].text;
    }
    if (same) {
      // The entry keeps no values: this statement's own are taken from its text.
      AdaptedSql adapted = entry.adapted;
      adapted.lifted.reserve(adapted.lifted_from.size());
      for (const size_t literal : adapted.lifted_from) {
        adapted.lifted.push_back(LiteralValue(shape.literals[literal]));
      }
      return {std::move(adapted), entry.memo};
    }
  }
  AdaptedSql adapted = adapt();
  if (entries_.size() >= kShapes) entries_.clear();
  Entry entry;
  entry.adapted = adapted;
  entry.adapted.lifted.clear();
  entry.literals.reserve(shape.literals.size());
  for (const SqlToken& literal : shape.literals) entry.literals.emplace_back(literal.text);
  entry.lifted.assign(shape.literals.size(), false);
  for (const size_t literal : adapted.lifted_from) {
    if (literal < entry.lifted.size()) entry.lifted[literal] = true;
  }
  entry.memo = std::make_shared<ShapeMemo>();
  std::shared_ptr<ShapeMemo> memo = entry.memo;
  entries_[std::move(key)] = std::move(entry);
  return {std::move(adapted), std::move(memo)};
}

}  // namespace nrw
