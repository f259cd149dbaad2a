// What a person may type into each edit control of the panel, by the control's data type, and the
// text the module then reads. One conversion per editor: the panel and the run share it.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "nrw/datetime.h"

namespace nrw {

//! Data types of the edit controls' field definitions (TnFieldDefinicao::TipoData).
enum class TnTipoData : int { Texto = 0, Data = 1, MesAno = 2, Ano = 3, Inteiro = 4, Decimal = 5 };

//! How a date was typed.
enum class DateForm { Date, MonthYear, Year };

struct TypedDate {
  TDateTime date;
  DateForm form = DateForm::Date;
};

//! A date in any editor's form: "dd/mm/aaaa" or ISO "aaaa-mm-dd" (a time of day is dropped),
//! "mm/aaaa" (its first day), "aaaa" (its first day); nothing when it is none of them.
std::optional<TypedDate> ParseTypedDate(std::string_view text);

//! Whether an editor of the data type takes a date typed in the form: every date editor takes a
//! whole date, a month-and-year editor "mm/aaaa" too, a year editor "aaaa" too.
bool EditorTakes(TnTipoData tipo, DateForm form);

//! The forms a date editor of the data type takes, for messages ("mm/aaaa ou dd/mm/aaaa").
std::string EditorForms(TnTipoData tipo);

//! The text a module reads for what was typed into an editor of the data type, or nothing when the
//! editor does not take it: a date as "dd/mm/aaaa", an integer without the sign or zeros it does
//! not need, a decimal number trimmed, a text as typed.
std::optional<std::string> EditorValue(TnTipoData tipo, std::string_view text);

}  // namespace nrw
