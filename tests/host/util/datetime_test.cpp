#include "nrw/datetime.h"

#include <gtest/gtest.h>

#include "nrw/core.h"
#include "nrw/util.h"

namespace nrw {
namespace {

TEST(DateTime, EncodesDaysSinceTheEpoch) {
  EXPECT_EQ(EncodeDate(1899, 12, 30).value, 0.0);
  EXPECT_EQ(EncodeDate(2024, 1, 1).value, 45292.0);
  EXPECT_EQ(EncodeDate(1899, 12, 29).value, -1.0);
  EXPECT_THROW(EncodeDate(2023, 2, 29), Exception);
  EXPECT_EQ(DaysInMonth(2024, 2), 29);
  EXPECT_EQ(DaysInMonth(1900, 2), 28);
}

TEST(DateTime, DecodeRoundsToTheMillisecond) {
  int hour = 0, minute = 0, second = 0, ms = 0;
  DecodeTime(EncodeDateTime(2024, 3, 5, 10, 30, 15, 250), hour, minute, second, ms);
  EXPECT_EQ((std::vector<int>{hour, minute, second, ms}), (std::vector<int>{10, 30, 15, 250}));
  // A hair below midnight is the next day, not 23:59:59.999 plus noise.
  const TDateTime almost(45292.0 + 1.0 - 1e-11);
  EXPECT_EQ(DateToISO(almost), "2024-01-02");
  EXPECT_EQ(DayOf(almost), 2);
}

TEST(DateTime, StartAndEndOfPeriods) {
  const TDateTime date = EncodeDateTime(2024, 2, 10, 8, 0, 0, 0);
  EXPECT_EQ(DateToISO(StartOfTheMonth(date)), "2024-02-01");
  EXPECT_EQ(DateToISO(EndOfTheMonth(date)), "2024-02-29 23:59:59.999");
  EXPECT_EQ(DateToISO(StartOfTheYear(date)), "2024-01-01");
  EXPECT_EQ(DateToISO(EndOfTheYear(date)), "2024-12-31 23:59:59.999");
  EXPECT_EQ(DateOf(date), EncodeDate(2024, 2, 10));
  EXPECT_LT(EndOfTheMonth(date), EncodeDate(2024, 3, 1));
}

TEST(DateTime, ParsesBrazilianAndIsoText) {
  struct Case {
    const char* text;
    const char* iso;  // nullptr: not a date
  };
  const Case cases[] = {
      {"01/02/2024", "2024-02-01"},
      {" 1/2/2024 ", "2024-02-01"},
      {"01/02/2024 10:30", "2024-02-01 10:30:00"},
      {"01/02/2024 10:30:05", "2024-02-01 10:30:05"},
      {"2024-02-01", "2024-02-01"},
      {"2024-02-01 10:30:05.125", "2024-02-01 10:30:05.125"},
      {"2024-02-01T10:30:05", "2024-02-01 10:30:05"},
      {"29/02/2024", "2024-02-29"},
      {"31/02/2024", nullptr},
      {"29/02/2023", nullptr},
      {"01/13/2024", nullptr},
      {"01/02/24", nullptr},
      {"01/02/2024 25:00", nullptr},
      {"2024-2-1", nullptr},
      {"2024-02-01x", nullptr},
      {"", nullptr},
      {"hoje", nullptr},
  };
  for (const Case& c : cases) {
    const auto date = TryStrToDate(c.text);
    EXPECT_EQ(date.has_value(), c.iso != nullptr) << c.text;
    if (date && c.iso) {
      EXPECT_EQ(DateToISO(*date), c.iso) << c.text;
    }
  }
  EXPECT_THROW(StrToDate("31/02/2024"), Exception);
  EXPECT_EQ(StrToDateDef("x", TDateTime(7)), TDateTime(7));
}

TEST(DateTime, FormatsAndRoundTrips) {
  const TDateTime date = EncodeDateTime(2024, 3, 5, 9, 7, 3, 0);
  EXPECT_EQ(DateToStr(date), "05/03/2024");
  EXPECT_EQ(DateTimeToStr(date), "05/03/2024 09:07:03");
  EXPECT_EQ(DateTimeToStr(DateOf(date)), "05/03/2024");
  EXPECT_EQ(FormatDateTime("mm/yyyy", date), "03/2024");
  EXPECT_EQ(FormatDateTime("hh:mm", date), "09:07") << "mm after an hour is minutes";
  EXPECT_EQ(FormatDateTime("d 'de' mmmm 'de' yyyy", date), "5 de março de 2024");
  EXPECT_EQ(StrToDate(DateTimeToStr(date)), date);
  EXPECT_EQ(StrToDate(DateToISO(date)), date);
  EXPECT_EQ(LongMonthName(3), "março");
  EXPECT_EQ(ShortMonthName(12), "dez");
  EXPECT_EQ(LongMonthName(13), "13º Salário") << "the thirteenth salary";
  EXPECT_EQ(Capitalize(LongMonthName(13)), "13º Salário");
  EXPECT_EQ(ShortMonthName(13), "13º");
  EXPECT_THROW(LongMonthName(0), Exception);
  EXPECT_THROW(ShortMonthName(14), Exception);
}

}  // namespace
}  // namespace nrw
