#include <gtest/gtest.h>

#include <cmath>

#include "nrw/core.h"
#include "nrw/util.h"
#include "nrw/variant.h"

namespace nrw {
namespace {

TEST(Variant, Conversions) {
  EXPECT_EQ(Variant().AsInteger(), 0);
  EXPECT_EQ(Variant().AsString(), "");
  EXPECT_EQ(Variant().AsDate(), TDateTime());
  EXPECT_EQ(Variant(7).AsFloat(), 7.0);
  EXPECT_EQ(Variant(3.0).AsInteger(), 3);
  EXPECT_EQ(Variant(2.5).AsInteger(), 2) << "half to even";
  EXPECT_EQ(Variant(3.5).AsInteger(), 4) << "half to even";
  EXPECT_EQ(Variant(-2.5).AsInteger(), -2) << "half to even";
  EXPECT_EQ(Variant(" 12 ").AsInteger(), 12);
  EXPECT_EQ(Variant("1.234,56").AsFloat(), 1234.56);
  EXPECT_EQ(Variant("01/01/2024").AsDate(), EncodeDate(2024, 1, 1));
  EXPECT_EQ(Variant(EncodeDate(2024, 1, 1)).AsFloat(), 45292.0);
  EXPECT_EQ(Variant(45292).AsDate(), EncodeDate(2024, 1, 1));
  EXPECT_EQ(Variant(1234.5).AsString(), "1234,5");
  EXPECT_EQ(Variant(-0.0).AsString(), "0");
  EXPECT_EQ(Variant(EncodeDateTime(2024, 1, 1, 10, 30, 0, 0)).AsString(), "01/01/2024 10:30:00");
}

TEST(Variant, ConversionErrors) {
  const Variant array(std::vector<Variant>{1, "a"});
  EXPECT_THROW(Variant("abc").AsInteger(), Exception);
  EXPECT_THROW(Variant("12,5").AsInteger(), Exception);
  EXPECT_THROW(Variant("x").AsFloat(), Exception);
  EXPECT_THROW(Variant("31/02/2024").AsDate(), Exception);
  EXPECT_THROW(Variant(1e30).AsInteger(), Exception);
  EXPECT_THROW(array.AsString(), Exception);
  try {
    Variant("abc").AsInteger();
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), "'abc' não é um valor inteiro válido");
  }
}

TEST(Variant, ArrayAccess) {
  const Variant array(std::vector<Variant>{1, "a"});
  EXPECT_EQ(array.size(), 2u);
  EXPECT_EQ(array[1].AsString(), "a");
  EXPECT_THROW(array[2], Exception);
  EXPECT_EQ(Variant().size(), 0u);
  EXPECT_TRUE(Variant()[0].IsNull()) << "element of no row reads as null";
  EXPECT_THROW(Variant(5)[0], Exception);
}

TEST(ValorParaSQL, Literals) {
  struct Case {
    const char* name;
    std::string actual;
    const char* expected;
  };
  const Case cases[] = {
      {"null", ValorParaSQL(Variant()), "NULL"},
      {"integer", ValorParaSQL(Variant(123)), "123"},
      {"float", ValorParaSQL(Variant(12.5)), "12.5"},
      {"whole float keeps its point", ValorParaSQL(Variant(10.0)), "10.0"},
      {"large float without exponent", ValorParaSQL(Variant(1e20)), "100000000000000000000.0"},
      {"float shortest", ValorParaSQL(Variant(0.1)), "0.1"},
      {"negative float", ValorParaSQL(Variant(-1234.05)), "-1234.05"},
      {"text", ValorParaSQL(Variant("O'Neil")), "'O''Neil'"},
      {"date", ValorParaSQL(Variant(EncodeDate(2024, 1, 1))), "'2024-01-01'"},
      {"date time", ValorParaSQL(Variant(EncodeDateTime(2024, 1, 1, 10, 30, 0, 0))),
       "'2024-01-01 10:30:00'"},
      {"typed integer", ValorParaSQL(Variant("12"), TFieldType::Integer), "12"},
      {"typed date", ValorParaSQL(Variant("01/01/2024"), TFieldType::Date), "'2024-01-01'"},
      {"typed text", ValorParaSQL(Variant(2024), TFieldType::Text), "'2024'"},
      {"typed float", ValorParaSQL(Variant("1.234,5"), TFieldType::Float), "1234.5"},
      {"typed whole float", ValorParaSQL(Variant(7), TFieldType::Float), "7.0"},
      {"typed null", ValorParaSQL(Variant(), TFieldType::Date), "NULL"},
      {"filter", ValorParaFiltro(Variant("a'b"), TFieldType::Text), "'a''b'"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.actual, c.expected) << c.name;
  EXPECT_THROW(ValorParaSQL(Variant(std::vector<Variant>{1})), Exception);
  EXPECT_THROW(ValorParaSQL(Variant("x"), TFieldType::Integer), Exception);
}

TEST(RoundValor, HalfAwayFromZeroOnTheDecimal) {
  EXPECT_EQ(RoundValor(1.005, 2), 1.01);
  EXPECT_EQ(RoundValor(2.675, 2), 2.68);
  EXPECT_EQ(RoundValor(-2.675, 2), -2.68);
  EXPECT_EQ(RoundValor(0.004, 2), 0.0);
  EXPECT_FALSE(std::signbit(RoundValor(-0.004, 2))) << "no negative zero";
  EXPECT_EQ(RoundValor(1234.5, 0), 1235.0);
  EXPECT_EQ(RoundValor(0.1 + 0.2, 2), 0.3);
}

TEST(TextUtilities, CapitalizeAndFriends) {
  EXPECT_EQ(Capitalize("março"), "Março");
  EXPECT_EQ(Capitalize("édson"), "Édson");
  EXPECT_EQ(Capitalize("ânimo"), "Ânimo");
  EXPECT_EQ(Capitalize("jOSÉ"), "JOSÉ");
  EXPECT_EQ(Capitalize(""), "");
  EXPECT_EQ(LimparStrToInteger("123.456.789-09"), "12345678909");
  EXPECT_EQ(TemDados("(", "x", ")"), "(x)");
  EXPECT_EQ(TemDados("(", "", ")"), "");
  EXPECT_EQ(SplitString("a;;b;", ';'), (std::vector<std::string>{"a", "", "b", ""}));
  EXPECT_EQ(Space(3), "   ");
  EXPECT_EQ(Space(-1), "");
  EXPECT_TRUE(BitLigado(" 5 ", 2));
  EXPECT_FALSE(BitLigado("5", 1));
  EXPECT_FALSE(BitLigado("x", 0));
  EXPECT_FALSE(BitLigado("5", 64));
}

TEST(FormatarInscrFederal, PunctuatesByKind) {
  struct Case {
    TnTipoInscrFederal kind;
    const char* number;
    const char* expected;
  };
  const Case cases[] = {
      {TnTipoInscrFederal::tifCPF, "12345678909", "123.456.789-09"},
      {TnTipoInscrFederal::tifCPF, "123.456.789-09", "123.456.789-09"},
      {TnTipoInscrFederal::tifCPF, "5678909", "000.056.789-09"},
      {TnTipoInscrFederal::tifCNPJ, "1234567000195", "01.234.567/0001-95"},
      {TnTipoInscrFederal::tifCNPJ, "00001234567000195", "01.234.567/0001-95"},
      {TnTipoInscrFederal::tifCEI, "123456789012", "12.345.67890/12"},
      {TnTipoInscrFederal::tifCNPJ, "", ""},
      {TnTipoInscrFederal::tifCPF, "abc", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FormatarInscrFederal(c.kind, c.number), c.expected) << c.number;
  }
  EXPECT_EQ(FormatarInscrFederal(TnTipoInscrFederal::tifCPF, "12345678909", true),
            "123.456.789-09");
}

TEST(FormatarConteudoMascara, FillsPlaceholdersInOrder) {
  EXPECT_EQ(FormatarConteudoMascara("0961234567", "999/9999999", 11), "096/1234567");
  EXPECT_EQ(FormatarConteudoMascara("096/1234567", "999/9999999", 11), "096/1234567");
  EXPECT_EQ(FormatarConteudoMascara("09612", "999/9999999", 11), "096/12");
  EXPECT_EQ(FormatarConteudoMascara("0961234567", "999/9999999", 5), "096/1");
  EXPECT_EQ(FormatarConteudoMascara("", "999/9999999", 11), "");
}

}  // namespace
}  // namespace nrw
