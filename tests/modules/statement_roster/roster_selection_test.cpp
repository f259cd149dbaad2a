// The roster's selection table: every option of each group against rows built to sit on either
// side of its rule.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "rpt_statement_roster.h"

namespace statement_roster {
namespace {

struct Caso {
  const char* nome;
  int64_t tipo;
  int64_t opcao;  // the option of the row's group
  double rendimento;
  double retido;
  double isentos;
  bool especial;
  bool pulada;
};

// Limits of the year: 28.559,70 taxable, 60.000,00 exempt.
TOpcoesSelecao Opcoes(const Caso& caso) {
  TOpcoesSelecao opcoes;
  opcoes.Limites = {28559.70, 60000.00};
  if (caso.tipo == 1) opcoes.GerarFunc = nrw::ValueToEnum<nrw::TnGerarFuncionario>(caso.opcao);
  if (caso.tipo == 2) opcoes.GerarTerc = caso.opcao;
  if (caso.tipo != 1 && caso.tipo != 2) opcoes.GerarOutEmp = caso.opcao;
  return opcoes;
}

TEST(RosterSelection, EachOptionOfEachGroup) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const Caso casos[] = {
      // Employees, by the ordinal of the panel's option.
      {"1 lists everyone", 1, 1, 0, 0, 0, false, false},
      {"2 leaves out 0,004 withheld", 1, 2, 50000, 0.004, 0, true, true},
      {"2 keeps 0,005 withheld", 1, 2, 0, 0.005, 0, false, false},
      {"0 works as 2", 1, 0, 50000, 0, 0, false, true},
      {"11 works as 2", 1, 11, 0, 0.01, 0, false, false},
      {"3 leaves out 0,4 withheld", 1, 3, 50000, 0.4, 0, false, true},
      {"3 leaves out 0,5 withheld: halves go to the even number", 1, 3, 0, 0.5, 0, false, true},
      {"3 keeps 1,5 withheld", 1, 3, 0, 1.5, 0, false, false},
      {"3 keeps 2,5 withheld", 1, 3, 0, 2.5, 0, false, false},
      {"3 keeps directors", 1, 3, 0, 0, 0, true, false},
      {"4 leaves out below both limits", 1, 4, 28559.69, 0, 59999.99, false, true},
      {"4 keeps income at the taxable limit", 1, 4, 28559.70, 0, 0, false, false},
      {"4 keeps exempt income at its limit", 1, 4, 0, 0, 60000, false, false},
      {"4 keeps any withheld", 1, 4, 0, 0.001, 0, false, false},
      {"4 keeps directors", 1, 4, 0, 0, 0, true, false},
      {"5 leaves out employees", 1, 5, 90000, 900, 0, false, true},
      {"5 keeps directors", 1, 5, 0, 0, 0, true, false},
      {"6 leaves out directors without tax", 1, 6, 0, 0, 0, true, true},
      {"6 keeps directors with tax", 1, 6, 0, 1, 0, true, false},
      {"7 leaves out directors with tax", 1, 7, 0, 1, 0, true, true},
      {"7 keeps directors without tax", 1, 7, 0, 0, 0, true, false},
      {"7 leaves out employees", 1, 7, 0, 0, 0, false, true},
      {"8 leaves out directors", 1, 8, 0, 1, 0, true, true},
      {"8 keeps employees", 1, 8, 0, 0, 0, false, false},
      {"9 leaves out employees without tax", 1, 9, 0, 0, 0, false, true},
      {"9 keeps employees with tax", 1, 9, 0, 1, 0, false, false},
      {"10 leaves out employees with tax", 1, 10, 0, 1, 0, false, true},
      {"10 keeps employees without tax", 1, 10, 0, 0, 0, false, false},
      {"10 counts a withheld that is not a number as tax", 1, 10, 0, nan, 0, false, true},
      // Third parties: a fixed 6.000,00 instead of the yearly limit.
      {"third party option 4 at 6.000,00", 2, 4, 6000.00, 0, 0, false, true},
      {"third party option 4 at 6.000,01", 2, 4, 6000.01, 0, 0, false, false},
      {"third party option 4 with exempt income at its limit", 2, 4, 100, 0, 60000, false, false},
      {"third party option 4 with tax", 2, 4, 100, 0.01, 0, false, false},
      {"third party option 2 rounds to whole reais", 2, 2, 6000, 0.49, 0, false, true},
      {"third party option 2 keeps 0,51", 2, 2, 6000, 0.51, 0, false, false},
      {"third party option 3 lists everyone", 2, 3, 0, 0, 0, false, false},
      // Other companies, any type but 1 and 2.
      {"other company option 4 below the taxable limit", 3, 4, 28559.69, 0, 0, false, true},
      {"other company option 4 at the taxable limit", 3, 4, 28559.70, 0, 0, false, false},
      {"other company option 2", 3, 2, 90000, 0.5, 0, false, true},
      {"type 4 follows the other companies' option", 4, 2, 0, 0, 0, false, true},
      {"other company option 1", 3, 1, 0, 0, 0, false, false},
  };
  for (const Caso& caso : casos) {
    TLinhaSelecao linha;
    linha.TipoInforme = caso.tipo;
    linha.Rendimento = caso.rendimento;
    linha.Retido = caso.retido;
    linha.Isentos = caso.isentos;
    linha.Especial = caso.especial;
    EXPECT_EQ(PularLinha(linha, Opcoes(caso)), caso.pulada) << caso.nome;
  }
}

}  // namespace
}  // namespace statement_roster
