// Value, filter and formatting utilities the modules call.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "nrw/api.h"
#include "nrw/dataset.h"
#include "nrw/variant.h"

namespace nrw {

//! Value kinds of FilterInterval selections.
enum class TnTipoValorFiltro { Codigo = 1, Texto = 2, Data = 3 };

//! SQL predicate for a selection in the panel's notation: single values and ranges "a..b"
//! separated by ";" or ",". Kind 1: integer codes; 2: text identifiers (quoted, apostrophes
//! doubled); 3: dates ("dd/mm/yyyy" or ISO). One kind per column (the last kind repeats). With
//! several columns a value matches when any column matches. lead_and: the result is empty or starts
//! with " and "; otherwise a bare predicate (empty when the selection is empty). option and last
//! are accepted for the callers' sake and do not change the predicate. A selection that does not
//! parse raises Exception with a Portuguese message; nothing of it reaches the database as SQL.
NRW_API std::string FilterInterval(const std::vector<std::string>& columns,
                                   const std::string& selection, const std::vector<int>& kinds,
                                   int /*option*/ = 0, bool lead_and = true, int /*last*/ = 0);

//! SQL literal of a value, written by the default connection (TnConnection::Literal), or in the
//! standard forms when no connection is open: NULL, 123, 12.5, 10.0 (a float keeps its decimal
//! point), 'text' (apostrophes doubled), '2024-01-01'.
NRW_API std::string ValorParaSQL(const Variant& value);
//! The value converted to the field type first ("12" as Integer gives 12; a date text as Date).
NRW_API std::string ValorParaSQL(const Variant& value, TFieldType type);
//! Literal for a lookup or dataset filter; same forms as ValorParaSQL.
NRW_API std::string ValorParaFiltro(const Variant& value, TFieldType type);

//! Rounds half away from zero on the decimal value to the given decimals.
NRW_API double RoundValor(double value, int decimals);
NRW_API std::string Space(int count);
NRW_API bool InStrArray(std::string_view value, const std::vector<std::string>& array);
NRW_API bool InIntArray(int64_t value, const std::vector<int64_t>& array);
//! The digits of the text, in order ("123.456.789-09" -> "12345678909").
NRW_API std::string LimparStrToInteger(std::string_view text);
//! prefix + text + suffix, or empty when the text is empty.
NRW_API std::string TemDados(std::string_view prefix, std::string_view text,
                             std::string_view suffix);
//! First letter upper case (UTF-8 aware for the Portuguese letters), the rest unchanged.
NRW_API std::string Capitalize(std::string_view text);
//! Splits at a separator, keeping empty pieces.
NRW_API std::vector<std::string> SplitString(std::string_view text, char separator);

enum class TnNaoSim : int { nsNao = 0, nsSim = 1 };
//! Ordinals 0 (all), then the selection options of the statement roster, as the panel numbers them.
enum class TnGerarFuncionario : int {};
enum class TnTipoInscrFederal : int { tifCPF = 0, tifCNPJ = 1, tifCEI = 2 };

//! The integer as the enumeration's ordinal (no check: the callers compare ordinals).
template <class E>
E ValueToEnum(int64_t value) {
  return static_cast<E>(static_cast<int>(value));
}

//! CPF "000.000.000-00" (11 digits), CNPJ "00.000.000/0000-00" (14), CEI "00.000.00000/00" (12).
//! The digits of the number are taken, left-padded with zeros (longer inputs keep their last
//! digits). Empty number: empty text. The flag is the application's, accepted and ignored.
NRW_API std::string FormatarInscrFederal(TnTipoInscrFederal kind, std::string_view number);
NRW_API std::string FormatarInscrFederal(TnTipoInscrFederal kind, std::string_view number,
                                         bool /*flag*/);
//! Fills the mask's placeholders ('0', '9', '#', 'A', 'L') with the text's letters and digits in
//! order; other mask characters are copied. length limits the mask used.
NRW_API std::string FormatarConteudoMascara(std::string_view text, std::string_view mask,
                                            int length);

//! Whether bit n (0 = lowest) of the integer in the text is set; false when not an integer.
NRW_API bool BitLigado(std::string_view text, int bit);

}  // namespace nrw
