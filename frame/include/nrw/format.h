// Number and text formatting with the Brazilian locale ("." thousands, "," decimals).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "nrw/api.h"
#include "nrw/variant.h"

namespace nrw {

//! Masks of the "#,##0.00" family: '0' digit, '#' optional digit; a ',' anywhere turns on
//! thousands grouping and the first '.' is the decimal point (neither is printed, nor any later
//! '.'); "E+00" / "E-00" scientific notation (the '+' form always shows the exponent's sign);
//! other text, quoted or not, is printed where it stands, also between placeholders ("###-###"
//! with 12 gives "-12"). Sections "positive;negative;zero": an empty negative or zero section
//! falls back to the positive one, an empty positive section is the general format (FloatToStr).
//! Rounds half away from zero on the decimal value (shortest round-trip form of the double), so
//! 1.005 gives "1,01". Negative values carry a leading "-"; a value that rounds to zero has none.
NRW_API std::string FormatFloat(std::string_view mask, double value);
//! FormatFloat for a 64-bit integer.
NRW_API std::string FormatInteger(std::string_view mask, int64_t value);

//! Shortest text of a float with the locale's decimal comma ("1234,5", "0,1", "100").
NRW_API std::string FloatToStr(double value);
NRW_API std::string IntToStr(int64_t value);
//! Accepts an optional sign and digits, surrounding blanks ignored.
NRW_API bool TryStrToInt(std::string_view text, int64_t& value);
NRW_API int64_t StrToIntDef(std::string_view text, int64_t fallback);
//! Raises Exception "'<text>' não é um valor inteiro válido".
NRW_API int64_t StrToInt(std::string_view text);
//! Accepts the decimal comma or point, with or without "." thousands separators when a comma is
//! present ("1.234,56", "1234.56", "1234,56").
NRW_API bool TryStrToFloat(std::string_view text, double& value);
NRW_API double StrToFloatDef(std::string_view text, double fallback);
NRW_API double StrToFloat(std::string_view text);

//! Positional formatting as the statements and messages use it: "%s" takes the next argument,
//! "%0:s" / "%1:S" the numbered one (case of the letter ignored), "%d" an integer, "%%" a
//! percent sign. An argument index out of range raises Exception.
NRW_API std::string Format(std::string_view pattern, const std::vector<Variant>& args);

NRW_API std::string Trim(std::string_view text);
NRW_API std::string UpperCase(std::string_view text);
NRW_API std::string LowerCase(std::string_view text);
//! ASCII case-insensitive equality.
NRW_API bool SameText(std::string_view a, std::string_view b);

}  // namespace nrw
