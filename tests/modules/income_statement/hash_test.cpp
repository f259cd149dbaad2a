#include <gtest/gtest.h>

#include <cstring>

#include "lookup3.h"
#include "rpt_income_statement.h"

namespace income_statement {
namespace {

TEST(Lookup3, MatchesThePublishedTestValues) {
  const char* text = "Four score and seven years ago";
  ASSERT_EQ(std::strlen(text), 30u);
  EXPECT_EQ(hashlittle("", 0, 0), 0xdeadbeefu);
  EXPECT_EQ(hashlittle(text, 30, 0), 0x17770551u);
  EXPECT_EQ(hashlittle(text, 30, 1), 0xcd628161u);
}

TEST(HashSeparador, ChainsCodesThenUtf16Units) {
  TnSeparador separador;
  separador.CodigoEmpresa = 3;
  separador.CodigoEstab = -2;
  separador.CodigoFuncContr = 77;
  separador.Beneficiarios = "123.456.789-09 Ção";

  const auto bytes = [](int32_t v) {
    uint8_t b[4];
    for (int i = 0; i < 4; ++i) b[i] = static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * i));
    return std::vector<uint8_t>(b, b + 4);
  };
  uint32_t expected = hashlittle(bytes(3).data(), 4, 0);
  expected = hashlittle(bytes(-2).data(), 4, expected);
  expected = hashlittle(bytes(77).data(), 4, expected);
  const std::u16string units = u"123.456.789-09 Ção";
  std::vector<uint8_t> data;
  for (char16_t u : units) {
    data.push_back(static_cast<uint8_t>(u & 0xFF));
    data.push_back(static_cast<uint8_t>(u >> 8));
  }
  expected = hashlittle(data.data(), data.size(), expected);
  EXPECT_EQ(HashSeparador(separador), expected);

  TnSeparador other = separador;
  other.CodigoEstab = -3;
  EXPECT_NE(HashSeparador(other), HashSeparador(separador)) << "every field counts";
  EXPECT_EQ(HashSeparador(TnSeparador{}), HashSeparador(TnSeparador{})) << "fresh records agree";
}

TEST(DescricaoCodigoRetencao, KnownAndUnknownCodes) {
  EXPECT_EQ(DescricaoCodigoRetencao(561), "0561 – Rendimentos do Trabalho Assalariado");
  EXPECT_EQ(DescricaoCodigoRetencao(3562), "3562 – Participação nos Lucros ou Resultados (PLR)");
  EXPECT_EQ(DescricaoCodigoRetencao(1234), "Rendimentos do Trabalho Assalariado");
}

}  // namespace
}  // namespace income_statement
