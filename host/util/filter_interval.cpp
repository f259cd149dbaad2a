#include <fmt/core.h>

#include <algorithm>
#include <optional>
#include <variant>

#include "nrw/core.h"
#include "nrw/format.h"
#include "nrw/util.h"
#include "util/selection.h"

namespace nrw {
namespace {

// One element of a selection: a single value, or a range when last is set.
struct Element {
  std::string source;
  std::string first;
  std::optional<std::string> last;
};

// A selection value made safe for SQL: the literal and the key that orders it.
struct FilterValue {
  std::string literal;
  std::variant<int64_t, double, std::string> key;
};

// Texts echoed in messages are cut: a selection may be as long as the user likes.
std::string Shown(std::string_view text) {
  constexpr size_t kMax = 60;
  if (text.size() <= kMax) return std::string(text);
  size_t end = kMax;
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
  return std::string(text.substr(0, end)) + "...";
}

// As Trim: control characters and blanks.
bool IsSelectionBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

// A quoted element starting at selection[at] ('"'): its value, with "" read as one quote. Answers
// where the element ends (at its separator or the end).
size_t ParseQuoted(const std::string& selection, size_t at, std::string& value) {
  size_t i = at + 1;
  for (;;) {
    if (i >= selection.size()) {
      throw Exception(fmt::format("Seleção inválida: aspas sem fechamento em '{}'.",
                                  Shown(std::string_view(selection).substr(at))));
    }
    if (selection[i] == '"') {
      if (i + 1 < selection.size() && selection[i + 1] == '"') {
        value += '"';
        i += 2;
        continue;
      }
      ++i;
      break;
    }
    value += selection[i++];
  }
  while (i < selection.size() && IsSelectionBlank(selection[i])) ++i;
  if (i < selection.size() && selection[i] != ';' && selection[i] != ',') {
    throw Exception(fmt::format("Seleção inválida: texto depois das aspas em '{}'.",
                                Shown(std::string_view(selection).substr(at))));
  }
  return i;
}

// Elements separated by ";" or ","; "a..b" is a range; an element between double quotes is one
// value exactly as written (blanks, separators and ".." included).
std::vector<Element> ParseSelection(const std::string& selection) {
  std::vector<Element> elements;
  size_t start = 0;
  while (start <= selection.size()) {
    size_t first = start;
    while (first < selection.size() && IsSelectionBlank(selection[first])) ++first;
    if (first < selection.size() && selection[first] == '"') {
      std::string value;
      const size_t stop = ParseQuoted(selection, first, value);
      elements.push_back({selection.substr(first, stop - first), std::move(value), std::nullopt});
      start = stop + 1;
      continue;
    }
    const auto end = selection.find_first_of(";,", start);
    const size_t stop = end == std::string::npos ? selection.size() : end;
    const std::string source = Trim(std::string_view(selection).substr(start, stop - start));
    start = stop + 1;
    if (source.empty()) continue;

    Element element{source, source, std::nullopt};
    if (const auto dots = source.find(".."); dots != std::string::npos) {
      element.first = Trim(std::string_view(source).substr(0, dots));
      element.last = Trim(std::string_view(source).substr(dots + 2));
      if (element.first.empty() || element.last->empty()) {
        throw Exception(fmt::format("Seleção inválida: intervalo '{}' incompleto.", Shown(source)));
      }
      if (element.last->find("..") != std::string::npos) {
        throw Exception(
            fmt::format("Seleção inválida: '{}' não é um intervalo válido.", Shown(source)));
      }
    }
    elements.push_back(std::move(element));
  }
  return elements;
}

std::string QuotedText(std::string_view text) {
  std::string literal = "'";
  for (const char c : text) {
    literal += c;
    if (c == '\'') literal += '\'';
  }
  return literal + "'";
}

FilterValue ToFilterValue(TnTipoValorFiltro kind, const std::string& text) {
  switch (kind) {
    case TnTipoValorFiltro::Codigo: {
      int64_t code = 0;
      if (!TryStrToInt(text, code)) {
        throw Exception(fmt::format("Seleção inválida: '{}' não é um código.", Shown(text)));
      }
      return {IntToStr(code), code};
    }
    case TnTipoValorFiltro::Texto:
      return {QuotedText(text), text};
    case TnTipoValorFiltro::Data: {
      const std::optional<TDateTime> date = TryStrToDate(text);
      if (!date) {
        throw Exception(fmt::format("Seleção inválida: '{}' não é uma data.", Shown(text)));
      }
      return {QuotedText(DateToISO(*date)), date->value};
    }
  }
  throw Exception("Seleção inválida: tipo de valor desconhecido.");
}

TnTipoValorFiltro KindOfColumn(const std::vector<int>& kinds, size_t column) {
  if (kinds.empty()) throw Exception("FilterInterval: nenhum tipo de valor informado.");
  const int kind = kinds[std::min(column, kinds.size() - 1)];
  if (kind < 1 || kind > 3) {
    throw Exception(fmt::format("FilterInterval: tipo de valor {} desconhecido.", kind));
  }
  return static_cast<TnTipoValorFiltro>(kind);
}

// "COL = v", "COL in (v1, v2)" and "COL between a and b" terms of one column.
void AddColumnTerms(const std::string& column, TnTipoValorFiltro kind,
                    const std::vector<Element>& elements, std::vector<std::string>& terms) {
  std::vector<std::string> singles;
  std::vector<std::string> ranges;
  for (const Element& element : elements) {
    FilterValue first = ToFilterValue(kind, element.first);
    if (!element.last) {
      singles.push_back(std::move(first.literal));
      continue;
    }
    FilterValue last = ToFilterValue(kind, *element.last);
    if (last.key < first.key) std::swap(first, last);
    ranges.push_back(column + " between " + first.literal + " and " + last.literal);
  }
  if (singles.size() == 1) {
    terms.push_back(column + " = " + singles.front());
  } else if (singles.size() > 1) {
    std::string list;
    for (const std::string& single : singles) list += (list.empty() ? "" : ", ") + single;
    terms.push_back(column + " in (" + list + ")");
  }
  terms.insert(terms.end(), ranges.begin(), ranges.end());
}

}  // namespace

std::string SelectionOfValue(std::string_view value) {
  const bool reads_back = !value.empty() && value.front() != '"' && Trim(value) == value &&
                          value.find_first_of(";,") == std::string_view::npos &&
                          value.find("..") == std::string_view::npos;
  if (reads_back) return std::string(value);
  std::string quoted = "\"";
  for (const char c : value) {
    quoted += c;
    if (c == '"') quoted += '"';
  }
  return quoted + "\"";
}

std::vector<CodeRange> ParseCodeSelection(const std::string& selection) {
  std::vector<CodeRange> ranges;
  for (const Element& element : ParseSelection(selection)) {
    const auto code = [](const std::string& text) {
      return std::get<int64_t>(ToFilterValue(TnTipoValorFiltro::Codigo, text).key);
    };
    CodeRange range;
    range.first = code(element.first);
    range.last = element.last ? code(*element.last) : range.first;
    if (range.last < range.first) std::swap(range.first, range.last);
    range.is_range = element.last.has_value();
    range.source = element.source;
    ranges.push_back(std::move(range));
  }
  return ranges;
}

std::string FilterInterval(const std::vector<std::string>& columns, const std::string& selection,
                           const std::vector<int>& kinds, int option, bool lead_and, int last) {
  const std::vector<Element> elements = ParseSelection(selection);
  if (elements.empty()) return {};
  if (columns.empty()) throw Exception("FilterInterval: nenhuma coluna informada.");

  std::vector<std::string> terms;
  for (size_t i = 0; i < columns.size(); ++i) {
    AddColumnTerms(columns[i], KindOfColumn(kinds, i), elements, terms);
  }
  std::string predicate = "(";
  for (size_t i = 0; i < terms.size(); ++i) predicate += (i == 0 ? "" : " or ") + terms[i];
  predicate += ")";
  return lead_and ? " and " + predicate : predicate;
}

}  // namespace nrw
