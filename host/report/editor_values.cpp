#include "report/editor_values.h"

#include <cmath>
#include <cstdint>

#include "nrw/format.h"
#include "nrw/util.h"

namespace nrw {
namespace {

bool AllDigits(std::string_view text) {
  if (text.empty()) return false;
  for (const char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

int Number(std::string_view digits) {
  int value = 0;
  for (const char c : digits) value = value * 10 + (c - '0');
  return value;
}

bool IsDateEditor(TnTipoData tipo) {
  return tipo == TnTipoData::Data || tipo == TnTipoData::MesAno || tipo == TnTipoData::Ano;
}

}  // namespace

std::optional<TypedDate> ParseTypedDate(std::string_view text) {
  const std::string trimmed = Trim(text);
  const std::string_view typed = trimmed;
  if (typed.size() == 4 && AllDigits(typed)) {
    const int year = Number(typed);
    if (year < 1) return std::nullopt;
    return TypedDate{EncodeDate(year, 1, 1), DateForm::Year};
  }
  const size_t slash = typed.find('/');
  if (slash != std::string_view::npos && typed.find('/', slash + 1) == std::string_view::npos) {
    const std::string_view month = typed.substr(0, slash);
    const std::string_view year = typed.substr(slash + 1);
    if (month.size() > 2 || !AllDigits(month) || year.size() != 4 || !AllDigits(year)) {
      return std::nullopt;
    }
    if (Number(month) < 1 || Number(month) > 12 || Number(year) < 1) return std::nullopt;
    return TypedDate{EncodeDate(Number(year), Number(month), 1), DateForm::MonthYear};
  }
  const std::optional<TDateTime> date = TryStrToDate(typed);
  if (!date) return std::nullopt;
  return TypedDate{TDateTime(std::trunc(date->value)), DateForm::Date};
}

bool EditorTakes(TnTipoData tipo, DateForm form) {
  switch (form) {
    case DateForm::Date:
      return IsDateEditor(tipo);
    case DateForm::MonthYear:
      return tipo == TnTipoData::MesAno;
    case DateForm::Year:
      return tipo == TnTipoData::Ano;
  }
  return false;
}

std::string EditorForms(TnTipoData tipo) {
  switch (tipo) {
    case TnTipoData::MesAno:
      return "mm/aaaa ou dd/mm/aaaa";
    case TnTipoData::Ano:
      return "aaaa ou dd/mm/aaaa";
    default:
      return "dd/mm/aaaa";
  }
}

std::optional<std::string> EditorValue(TnTipoData tipo, std::string_view text) {
  switch (tipo) {
    case TnTipoData::Data:
    case TnTipoData::MesAno:
    case TnTipoData::Ano: {
      const std::optional<TypedDate> typed = ParseTypedDate(text);
      if (!typed || !EditorTakes(tipo, typed->form)) return std::nullopt;
      return DateToStr(typed->date);
    }
    case TnTipoData::Inteiro: {
      int64_t number = 0;
      if (!TryStrToInt(Trim(text), number)) return std::nullopt;
      return IntToStr(number);
    }
    case TnTipoData::Decimal: {
      double number = 0;
      const std::string trimmed = Trim(text);
      if (!TryStrToFloat(trimmed, number) || !std::isfinite(number)) return std::nullopt;
      return trimmed;
    }
    case TnTipoData::Texto:
      break;
  }
  return std::string(text);
}

}  // namespace nrw
