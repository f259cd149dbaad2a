#include "nrw/datetime.h"

#include <fmt/core.h>

#include <array>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <ctime>

#include "nrw/core.h"
#include "nrw/format.h"

namespace nrw {
namespace {

constexpr int64_t kMsPerDay = 86'400'000;
// The last millisecond of a day, as the fraction EndOfTheMonth and EndOfTheYear add.
constexpr double kLastMoment = static_cast<double>(kMsPerDay - 1) / kMsPerDay;

// Days between 01/03/0000 of the proleptic Gregorian calendar and the given date.
int64_t DaysFromCivil(int64_t year, int month, int day) {
  year -= month <= 2;
  const int64_t era = (year >= 0 ? year : year - 399) / 400;
  const int64_t year_of_era = year - era * 400;
  const int64_t day_of_year = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const int64_t day_of_era = year_of_era * 365 + year_of_era / 4 - year_of_era / 100 + day_of_year;
  return era * 146097 + day_of_era;
}

void CivilFromDays(int64_t days, int& year, int& month, int& day) {
  const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  const int64_t day_of_era = days - era * 146097;
  const int64_t year_of_era =
      (day_of_era - day_of_era / 1460 + day_of_era / 36524 - day_of_era / 146096) / 365;
  const int64_t day_of_year =
      day_of_era - (365 * year_of_era + year_of_era / 4 - year_of_era / 100);
  const int64_t mp = (5 * day_of_year + 2) / 153;
  day = static_cast<int>(day_of_year - (153 * mp + 2) / 5 + 1);
  month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  year = static_cast<int>(year_of_era + era * 400 + (month <= 2));
}

const int64_t kEpochDays = DaysFromCivil(1899, 12, 30);

bool IsLeapYear(int year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

bool IsValidDate(int year, int month, int day) {
  return year >= 1 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 &&
         day <= DaysInMonth(year, month);
}

bool IsValidTime(int hour, int minute, int second, int millisecond) {
  return hour >= 0 && hour < 24 && minute >= 0 && minute < 60 && second >= 0 && second < 60 &&
         millisecond >= 0 && millisecond < 1000;
}

// Day number and millisecond of the day. Times are rounded to the millisecond, carrying into the
// day, so that 0.99999999999 is the next midnight rather than 23:59:59.999 plus noise. Before the
// epoch the fraction counts forward from the start of the day, as the date type defines it.
struct DayAndTime {
  int64_t day = 0;
  int64_t ms = 0;
};

DayAndTime Split(TDateTime date) {
  const double value = date.value;
  // Beyond year 9999 either way; also keeps NaN and huge values away from llround.
  if (!(std::fabs(value) < 3'000'000.0)) {
    throw Exception(fmt::format("Data fora da faixa válida: {}", value));
  }
  if (value >= 0) {
    const int64_t total = std::llround(value * kMsPerDay);
    return {total / kMsPerDay, total % kMsPerDay};
  }
  DayAndTime parts{static_cast<int64_t>(std::trunc(value)), 0};
  parts.ms = std::llround(std::fabs(value - static_cast<double>(parts.day)) * kMsPerDay);
  if (parts.ms >= kMsPerDay) {
    parts.ms -= kMsPerDay;
    --parts.day;
  }
  return parts;
}

TDateTime Join(int64_t day, int64_t ms) {
  const double time = static_cast<double>(ms) / kMsPerDay;
  return TDateTime(day < 0 ? static_cast<double>(day) - time : static_cast<double>(day) + time);
}

// A small cursor over the text being parsed as a date.
class Scanner {
 public:
  explicit Scanner(std::string_view text) : text_(text) {}
  bool AtEnd() const { return pos_ == text_.size(); }
  bool Accept(char c) {
    if (AtEnd() || text_[pos_] != c) return false;
    ++pos_;
    return true;
  }
  //! Between min_digits and max_digits decimal digits.
  bool Number(size_t min_digits, size_t max_digits, int& value) {
    size_t count = 0;
    value = 0;
    while (!AtEnd() && count < max_digits &&
           std::isdigit(static_cast<unsigned char>(text_[pos_]))) {
      value = value * 10 + (text_[pos_++] - '0');
      ++count;
    }
    return count >= min_digits;
  }
  //! Digits of a fraction of a second, read to the millisecond; later digits are dropped.
  bool Milliseconds(int& value) {
    size_t count = 0;
    value = 0;
    while (!AtEnd() && std::isdigit(static_cast<unsigned char>(text_[pos_]))) {
      if (count < 3) value = value * 10 + (text_[pos_] - '0');
      ++pos_;
      ++count;
    }
    for (size_t i = count; i < 3; ++i) value *= 10;
    return count > 0;
  }

 private:
  std::string_view text_;
  size_t pos_ = 0;
};

struct Parsed {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, ms = 0;
};

// "hh:nn[:ss[.zzz]]"
bool ParseTime(Scanner& in, Parsed& out) {
  if (!in.Number(1, 2, out.hour) || !in.Accept(':') || !in.Number(2, 2, out.minute)) return false;
  if (in.Accept(':')) {
    if (!in.Number(2, 2, out.second)) return false;
    if (in.Accept('.') && !in.Milliseconds(out.ms)) return false;
  }
  return true;
}

bool ParseBrazilian(std::string_view text, Parsed& out) {
  Scanner in(text);
  if (!in.Number(1, 2, out.day) || !in.Accept('/') || !in.Number(1, 2, out.month) ||
      !in.Accept('/') || !in.Number(4, 4, out.year)) {
    return false;
  }
  if (in.Accept(' ') && !ParseTime(in, out)) return false;
  return in.AtEnd();
}

bool ParseIso(std::string_view text, Parsed& out) {
  Scanner in(text);
  if (!in.Number(4, 4, out.year) || !in.Accept('-') || !in.Number(2, 2, out.month) ||
      !in.Accept('-') || !in.Number(2, 2, out.day)) {
    return false;
  }
  if ((in.Accept(' ') || in.Accept('T')) && !ParseTime(in, out)) return false;
  return in.AtEnd();
}

constexpr std::array<const char*, 12> kLongMonthNames = {
    "janeiro", "fevereiro", "março",    "abril",   "maio",     "junho",
    "julho",   "agosto",    "setembro", "outubro", "novembro", "dezembro"};
constexpr std::array<const char*, 12> kShortMonthNames = {"jan", "fev", "mar", "abr", "mai", "jun",
                                                          "jul", "ago", "set", "out", "nov", "dez"};
constexpr std::array<const char*, 7> kLongDayNames = {
    "domingo",      "segunda-feira", "terça-feira", "quarta-feira",
    "quinta-feira", "sexta-feira",   "sábado"};
constexpr std::array<const char*, 7> kShortDayNames = {"dom", "seg", "ter", "qua",
                                                       "qui", "sex", "sáb"};

std::string Padded(int value, size_t width) {
  std::string digits = std::to_string(value);
  if (digits.size() < width) digits.insert(0, width - digits.size(), '0');
  return digits;
}

}  // namespace

int DaysInMonth(int year, int month) {
  static constexpr std::array<int, 12> kDays = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) throw Exception(fmt::format("Mês inválido: {}", month));
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

TDateTime EncodeDate(int year, int month, int day) {
  if (!IsValidDate(year, month, day)) {
    throw Exception(fmt::format("Data inválida: {:02}/{:02}/{:04}", day, month, year));
  }
  return TDateTime(static_cast<double>(DaysFromCivil(year, month, day) - kEpochDays));
}

TDateTime EncodeDateTime(int year, int month, int day, int hour, int minute, int second,
                         int millisecond) {
  if (!IsValidTime(hour, minute, second, millisecond)) {
    throw Exception(
        fmt::format("Hora inválida: {:02}:{:02}:{:02}.{:03}", hour, minute, second, millisecond));
  }
  const auto day_number = static_cast<int64_t>(EncodeDate(year, month, day).value);
  return Join(day_number, ((hour * 60 + minute) * 60 + second) * 1000LL + millisecond);
}

void DecodeDate(TDateTime date, int& year, int& month, int& day) {
  CivilFromDays(Split(date).day + kEpochDays, year, month, day);
}

void DecodeTime(TDateTime date, int& hour, int& minute, int& second, int& millisecond) {
  const int64_t ms = Split(date).ms;
  hour = static_cast<int>(ms / 3'600'000);
  minute = static_cast<int>(ms / 60'000 % 60);
  second = static_cast<int>(ms / 1000 % 60);
  millisecond = static_cast<int>(ms % 1000);
}

int YearOf(TDateTime date) {
  int year = 0, month = 0, day = 0;
  DecodeDate(date, year, month, day);
  return year;
}

int MonthOf(TDateTime date) {
  int year = 0, month = 0, day = 0;
  DecodeDate(date, year, month, day);
  return month;
}

int DayOf(TDateTime date) {
  int year = 0, month = 0, day = 0;
  DecodeDate(date, year, month, day);
  return day;
}

TDateTime DateOf(TDateTime date) { return TDateTime(static_cast<double>(Split(date).day)); }

TDateTime StartOfTheYear(TDateTime date) { return EncodeDate(YearOf(date), 1, 1); }

TDateTime EndOfTheYear(TDateTime date) {
  return TDateTime(EncodeDate(YearOf(date), 12, 31).value + kLastMoment);
}

TDateTime StartOfTheMonth(TDateTime date) {
  int year = 0, month = 0, day = 0;
  DecodeDate(date, year, month, day);
  return EncodeDate(year, month, 1);
}

TDateTime EndOfTheMonth(TDateTime date) {
  int year = 0, month = 0, day = 0;
  DecodeDate(date, year, month, day);
  return TDateTime(EncodeDate(year, month, DaysInMonth(year, month)).value + kLastMoment);
}

std::optional<TDateTime> TryStrToDate(std::string_view text) {
  const std::string trimmed = Trim(text);
  Parsed parsed;
  if (!ParseBrazilian(trimmed, parsed)) {
    parsed = Parsed{};
    if (!ParseIso(trimmed, parsed)) return std::nullopt;
  }
  if (!IsValidDate(parsed.year, parsed.month, parsed.day) ||
      !IsValidTime(parsed.hour, parsed.minute, parsed.second, parsed.ms)) {
    return std::nullopt;
  }
  return EncodeDateTime(parsed.year, parsed.month, parsed.day, parsed.hour, parsed.minute,
                        parsed.second, parsed.ms);
}

TDateTime StrToDateDef(std::string_view text, TDateTime fallback) {
  return TryStrToDate(text).value_or(fallback);
}

TDateTime StrToDate(std::string_view text) {
  if (auto date = TryStrToDate(text)) return *date;
  throw Exception(fmt::format("'{}' não é uma data válida", text));
}

TDateTime StrToDateTime(std::string_view text) { return StrToDate(text); }

std::string FormatDateTime(std::string_view mask, TDateTime date) {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, ms = 0;
  DecodeDate(date, year, month, day);
  DecodeTime(date, hour, minute, second, ms);
  // 0 = Sunday; the epoch, 30/12/1899, was a Saturday.
  const int64_t day_number = Split(date).day;
  const int weekday = static_cast<int>(((day_number + 6) % 7 + 7) % 7);

  std::string out;
  bool after_hour = false;  // "mm" right after an hour means minutes
  size_t i = 0;
  while (i < mask.size()) {
    const char c = mask[i];
    const char lower = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    size_t run = 1;
    while (i + run < mask.size() &&
           std::tolower(static_cast<unsigned char>(mask[i + run])) == lower) {
      ++run;
    }
    switch (lower) {
      case '\'':
      case '"': {
        const auto close = mask.find(c, i + 1);
        const size_t end = close == std::string_view::npos ? mask.size() : close;
        out.append(mask.substr(i + 1, end - i - 1));
        i = end == mask.size() ? end : end + 1;
        continue;
      }
      case 'd':
        if (run >= 4) {
          out += kLongDayNames[weekday];
        } else if (run == 3) {
          out += kShortDayNames[weekday];
        } else {
          out += Padded(day, run == 2 ? 2 : 1);
        }
        run = std::min<size_t>(run, 4);
        break;
      case 'm':
        if (after_hour && run <= 2) {
          out += Padded(minute, run == 2 ? 2 : 1);
        } else if (run >= 4) {
          out += kLongMonthNames[month - 1];
        } else if (run == 3) {
          out += kShortMonthNames[month - 1];
        } else {
          out += Padded(month, run == 2 ? 2 : 1);
        }
        run = std::min<size_t>(run, 4);
        after_hour = false;
        break;
      case 'y':
        out += run <= 2 ? Padded(year % 100, 2) : Padded(year, 4);
        break;
      case 'h':
        out += Padded(hour, run >= 2 ? 2 : 1);
        run = std::min<size_t>(run, 2);
        after_hour = true;
        i += run;
        continue;
      case 'n':
        out += Padded(minute, run >= 2 ? 2 : 1);
        run = std::min<size_t>(run, 2);
        break;
      case 's':
        out += Padded(second, run >= 2 ? 2 : 1);
        run = std::min<size_t>(run, 2);
        break;
      case 'z':
        out += Padded(ms, run >= 3 ? 3 : 1);
        run = std::min<size_t>(run, 3);
        break;
      default:
        out.append(mask.substr(i, run));
        i += run;
        continue;  // literals between an hour and "mm" keep the minutes reading
    }
    after_hour = false;
    i += run;
  }
  return out;
}

std::string DateToStr(TDateTime date) { return FormatDateTime("dd/mm/yyyy", date); }

std::string DateTimeToStr(TDateTime date) {
  return Split(date).ms == 0 ? DateToStr(date) : FormatDateTime("dd/mm/yyyy hh:nn:ss", date);
}

std::string DateToISO(TDateTime date) {
  const int64_t ms = Split(date).ms;
  if (ms == 0) return FormatDateTime("yyyy-mm-dd", date);
  return FormatDateTime(ms % 1000 == 0 ? "yyyy-mm-dd hh:nn:ss" : "yyyy-mm-dd hh:nn:ss.zzz", date);
}

// Month 13 is the thirteenth salary of the payroll and withholding tables.
constexpr int kMesDecimoTerceiro = 13;

std::string LongMonthName(int month) {
  if (month == kMesDecimoTerceiro) return "13º Salário";
  if (month < 1 || month > 12) throw Exception(fmt::format("Mês inválido: {}", month));
  return kLongMonthNames[month - 1];
}

std::string ShortMonthName(int month) {
  if (month == kMesDecimoTerceiro) return "13º";
  if (month < 1 || month > 12) throw Exception(fmt::format("Mês inválido: {}", month));
  return kShortMonthNames[month - 1];
}

TDateTime Date() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return EncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
}

}  // namespace nrw
