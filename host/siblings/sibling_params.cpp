#include "siblings/sibling_params.h"

#include <optional>

#include "nrw/core.h"
#include "nrw/format.h"
#include "nrw/util.h"

namespace nrw {

std::string SiblingParams::Text(std::string_view name) const { return params_.GetValues(name); }

int64_t SiblingParams::Integer(std::string_view name) const {
  const std::string text = Text(name);
  int64_t value = 0;
  if (!TryStrToInt(text, value)) Fail(name, "'" + text + "' não é um número inteiro.");
  return value;
}

int64_t SiblingParams::Integer(std::string_view name, int64_t minimum, int64_t maximum) const {
  const int64_t value = Integer(name);
  if (value < minimum || value > maximum) {
    Fail(name, "'" + Trim(Text(name)) + "' fora do intervalo de " + IntToStr(minimum) + " a " +
                   IntToStr(maximum) + ".");
  }
  return value;
}

int64_t SiblingParams::IntegerOrBlank(std::string_view name, int64_t blank_value) const {
  return Trim(Text(name)).empty() ? blank_value : Integer(name);
}

TDateTime SiblingParams::Date(std::string_view name) const {
  const std::string text = Text(name);
  const std::optional<TDateTime> date = TryStrToDate(text);
  if (!date) Fail(name, "'" + text + "' não é uma data válida.");
  return *date;
}

std::string SiblingParams::Selection(std::string_view name) const {
  const std::string selection = Trim(Text(name));
  Filter(name, selection, "CODIGO");
  return selection;
}

std::string SiblingParams::Filter(std::string_view name, const std::string& selection,
                                  const std::string& column) const {
  try {
    return FilterInterval({column}, selection, {static_cast<int>(TnTipoValorFiltro::Codigo)}, 0,
                          true, 0);
  } catch (const Exception& error) {
    Fail(name, error.what());
  }
}

void SiblingParams::Fail(std::string_view name, const std::string& what) const {
  throw Exception("Parâmetro " + std::string(name) + " de " + sibling_ + ": " + what);
}

}  // namespace nrw
