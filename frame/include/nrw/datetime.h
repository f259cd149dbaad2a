// TDateTime: days since 30/12/1899 as a double, the time of day as the fraction. The zero date is
// 30/12/1899. Text dates are Brazilian "dd/mm/yyyy"; ISO "yyyy-mm-dd" is accepted on input.
#pragma once

#include <compare>
#include <optional>
#include <string>
#include <string_view>

#include "nrw/api.h"

namespace nrw {

struct TDateTime {
  double value = 0.0;
  constexpr TDateTime() = default;
  constexpr explicit TDateTime(double v) : value(v) {}
  friend constexpr auto operator<=>(TDateTime, TDateTime) = default;
};

NRW_API TDateTime EncodeDate(int year, int month, int day);
NRW_API TDateTime EncodeDateTime(int year, int month, int day, int hour, int minute, int second,
                                 int millisecond);
//! Splits into year, month, day (of the date part).
NRW_API void DecodeDate(TDateTime date, int& year, int& month, int& day);
NRW_API void DecodeTime(TDateTime date, int& hour, int& minute, int& second, int& millisecond);
NRW_API int YearOf(TDateTime date);
NRW_API int MonthOf(TDateTime date);
NRW_API int DayOf(TDateTime date);
NRW_API TDateTime DateOf(TDateTime date);
NRW_API TDateTime StartOfTheYear(TDateTime date);
//! Last moment (23:59:59.999) of the last day of the year.
NRW_API TDateTime EndOfTheYear(TDateTime date);
NRW_API TDateTime StartOfTheMonth(TDateTime date);
//! Last moment (23:59:59.999) of the last day of the month.
NRW_API TDateTime EndOfTheMonth(TDateTime date);
NRW_API int DaysInMonth(int year, int month);
//! Today's date (no time of day), from the system clock in local time.
NRW_API TDateTime Date();

//! Parses "dd/mm/yyyy" (optionally followed by " hh:nn[:ss]") or ISO "yyyy-mm-dd[ hh:nn:ss]" /
//! "yyyy-mm-ddThh:nn:ss"; surrounding blanks are ignored. Empty optional when not a valid date.
NRW_API std::optional<TDateTime> TryStrToDate(std::string_view text);
NRW_API TDateTime StrToDateDef(std::string_view text, TDateTime fallback);
//! Raises Exception "'<text>' não é uma data válida" when the text is not a date.
NRW_API TDateTime StrToDate(std::string_view text);
//! Same as StrToDate; kept for the contract's date-and-time conversions.
NRW_API TDateTime StrToDateTime(std::string_view text);

//! Masks "dd/mm/yyyy", "mm/yyyy", "yyyy", "dd", "mm", "hh:nn:ss" and their combinations.
NRW_API std::string FormatDateTime(std::string_view mask, TDateTime date);
//! Short date of the locale: "dd/mm/yyyy".
NRW_API std::string DateToStr(TDateTime date);
//! "dd/mm/yyyy", followed by " hh:nn:ss" when the value has a time of day.
NRW_API std::string DateTimeToStr(TDateTime date);
//! ISO text used to store and bind dates: "yyyy-mm-dd", or "yyyy-mm-dd hh:nn:ss[.zzz]" with time.
NRW_API std::string DateToISO(TDateTime date);

//! Brazilian month names, 1-based: LongMonthName(1) = "janeiro", ShortMonthName(1) = "jan". Month
//! 13 is the thirteenth salary: "13º Salário" and "13º". Other months raise Exception.
NRW_API std::string LongMonthName(int month);
NRW_API std::string ShortMonthName(int month);

}  // namespace nrw
