#include <fmt/core.h>

#include <algorithm>
#include <optional>
#include <variant>

#include "nrw/core.h"
#include "nrw/format.h"
#include "nrw/util.h"

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

std::vector<Element> ParseSelection(const std::string& selection) {
  std::vector<Element> elements;
  size_t start = 0;
  while (start <= selection.size()) {
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
        throw Exception(fmt::format("Seleção inválida: intervalo '{}' incompleto.", source));
      }
      if (element.last->find("..") != std::string::npos) {
        throw Exception(fmt::format("Seleção inválida: '{}' não é um intervalo válido.", source));
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
        throw Exception(fmt::format("Seleção inválida: '{}' não é um código.", text));
      }
      return {IntToStr(code), code};
    }
    case TnTipoValorFiltro::Texto:
      return {QuotedText(text), text};
    case TnTipoValorFiltro::Data: {
      const std::optional<TDateTime> date = TryStrToDate(text);
      if (!date) throw Exception(fmt::format("Seleção inválida: '{}' não é uma data.", text));
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
