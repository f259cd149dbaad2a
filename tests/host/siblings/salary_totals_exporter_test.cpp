// The host's payroll totals per registration number on the real schema: what a registration
// gathers, the pro-labore switches, the competence, the selections, service takers, calculations
// without a registration, and the values it refuses.
#include <fmt/format.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "nrw/report.h"
#include "report/engine.h"
#include "report/report_host.h"
#include "sibling_fixture.h"

namespace nrw {
namespace {

class SalaryTotalsExporter : public SiblingFixture {
 protected:
  SalaryTotalsExporter()
      : SiblingFixture("TSalaryTotalsExporter", {{"CodigoGrupoProc", "0"},
                                                 {"Empresas", "1..2"},
                                                 {"Estabs", ""},
                                                 {"Compet", "15/03/2024 10:30:00"},
                                                 {"Modelo", "1"},
                                                 {"SomarProLabore", "0"},
                                                 {"ContarProLabore", "0"},
                                                 {"pFiltroZeramento", ""}}) {}

  void SetUp() override {
    // Company 1: contract 1 (employee) and 3 (director, '04') at establishment 1; contract 2 moves
    // from 1 to 2 on 10/03; contract 4 at establishment 3, which has no registration; contract 5
    // serves a service taker (CEI) in March. Company 2 (CPF employer): its partner ('8').
    db_.Exec(R"sql(
      INSERT INTO EMPRESA VALUES (1, 'Um'), (2, 'Dois');
      INSERT INTO ESTAB (CODIGOEMPRESA, CODIGOESTAB, TIPOINSCR, INSCRFEDERAL) VALUES
        (1, 1, 2, '12.345.678/0001-95'), (1, 2, 2, '12.345.678/0002-76'), (1, 3, 2, NULL),
        (2, 1, 1, '123.456.789-09');
      INSERT INTO TIPOCONTRATO VALUES (1, 'Empregado', '1'), (4, 'Diretor', '04'),
                                      (8, 'Sócio', '8');
      INSERT INTO FUNCCONTRATO (CODIGOEMPRESA, CODIGOFUNCCONTR, CODIGOFUNCPESSOA,
                                CODIGOTIPOCONTR) VALUES
        (1, 1, 1, 1), (1, 2, 2, 1), (1, 3, 3, 4), (1, 4, 4, 1), (1, 5, 5, 1), (2, 1, 6, 8);
      INSERT INTO FUNCLOCAL VALUES (1, 1, '2020-01-01', 1), (1, 2, '2020-01-01', 1),
        (1, 2, '2024-03-10', 2), (1, 3, '2020-01-01', 1), (1, 4, '2020-01-01', 3),
        (1, 5, '2020-01-01', 1), (2, 1, '2020-01-01', 1);
      INSERT INTO PERIODOCALCULO (CODIGOEMPRESA, CODIGOPERCALCULO, CODIGOTIPOCALC, COMPET) VALUES
        (1, 1, 1, '2024-02-01'), (1, 2, 1, '2024-03-01'), (1, 3, 21, '2024-12-01'),
        (1, 4, 1, '2023-03-01'), (2, 1, 1, '2024-03-01');
      INSERT INTO FUNCPERCALCULO VALUES
        (1, 1, 1, '2020-01-01'), (1, 1, 2, '2020-01-01'),
        (1, 2, 1, '2020-01-01'), (1, 2, 2, '2024-03-10'), (1, 2, 3, '2020-01-01'),
        (1, 2, 4, '2020-01-01'), (1, 2, 5, '2020-01-01'),
        (1, 3, 1, '2020-01-01'), (1, 4, 1, '2020-01-01'), (2, 1, 1, '2020-01-01');
      INSERT INTO EVENTO VALUES (1, 'Salário', '01.01.01.01', 1), (5, 'Gratificação', '01.02', 5),
        (101, 'INSS', '02.01.01.01', 2), (990, 'Total da remuneração', '99.02.01.02.015', 9);
      INSERT INTO CALCULOEVENTO VALUES
        (1, 2, 1, 990, 1000), (1, 2, 1, 1, 1000), (1, 2, 1, 101, 80),
        (1, 2, 2, 990, 2000), (1, 2, 3, 990, 5000), (1, 2, 4, 990, 700),
        (1, 2, 5, 990, 300), (1, 2, 5, 5, 50),
        (1, 1, 1, 990, 1000), (1, 1, 2, 990, 2000), (1, 3, 1, 990, 1000), (1, 4, 1, 990, 999),
        (2, 1, 1, 990, 4000);
      INSERT INTO TOMADOR VALUES (1, 1, 'Obra', 3, '12.345.67890/12');
      INSERT INTO FUNCPERCALCULOTOMADOR VALUES (1, 2, 5, 1);
      INSERT INTO GRUPOEMPRESA VALUES (9, 2);
    )sql");
  }

  TnDMPowerParam& Executar(std::map<std::string, std::string> values = {}) {
    values.emplace("pReport", std::to_string(report_->Handle()));
    return SiblingFixture::Executar(values);
  }

  //! "number type employees total rule" per row.
  std::vector<std::string> Linhas(std::map<std::string, std::string> values = {}) {
    TnClientDataSet& dados = DataSet(Executar(std::move(values)), "nClientDataSet");
    std::vector<std::string> linhas;
    for (dados.First(); !dados.Eof(); dados.Next()) {
      linhas.push_back(fmt::format(
          "{:.0f} {} {} {:.2f} {:.2f}", dados.FieldByName("InscrFederal").AsFloat(),
          dados.FieldByName("TipoInscr").AsInteger(), dados.FieldByName("QtdFunc").AsInteger(),
          dados.FieldByName("ValorTotal").AsFloat(), dados.FieldByName("ValorRegra").AsFloat()));
    }
    return linhas;
  }

  std::unique_ptr<TnrwReport> report_ = ReportHost::Make();
};

using Lista = std::vector<std::string>;

TEST_F(SalaryTotalsExporter, OneRowPerRegistrationNumber) {
  const struct {
    const char* name;
    std::map<std::string, std::string> values;
    Lista linhas;
  } cases[] = {
      {"March, pro-labore neither counted nor summed",
       {},
       {"12345678909 1 0 0.00 4000.00", "123456789012 3 1 350.00 350.00",
        "12345678000195 2 1 1000.00 6000.00", "12345678000276 2 1 2000.00 2000.00"}},
      {"pro-labore counted and summed",
       {{"SomarProLabore", "1"}, {"ContarProLabore", " 1 "}},
       {"12345678909 1 1 4000.00 4000.00", "123456789012 3 1 350.00 350.00",
        "12345678000195 2 2 6000.00 6000.00", "12345678000276 2 1 2000.00 2000.00"}},
      {"the year: every calculation type; a moved contract counts at both",
       {{"Modelo", "2"}, {"Empresas", "1"}},
       {"123456789012 3 1 350.00 350.00", "12345678000195 2 2 5000.00 10000.00",
        "12345678000276 2 1 2000.00 2000.00"}},
      {"establishment 2 only", {{"Estabs", "2"}}, {"12345678000276 2 1 2000.00 2000.00"}},
      {"group 9 brings company 2",
       {{"Empresas", "1"}, {"CodigoGrupoProc", "9"}, {"Estabs", "1"}},
       {"12345678909 1 0 0.00 4000.00", "123456789012 3 1 350.00 350.00",
        "12345678000195 2 1 1000.00 6000.00"}},
      {"a month without calculations", {{"Compet", "01/04/2024"}}, {}},
  };
  for (const auto& c : cases) EXPECT_EQ(Linhas(c.values), c.linhas) << c.name;
}

TEST_F(SalaryTotalsExporter, CalculationsWithoutRegistrationAreListedOnTheReport) {
  db_.Exec("DELETE FROM FUNCLOCAL WHERE CODIGOEMPRESA = 2");
  Executar();
  std::vector<std::string> textos;
  for (const MessageEntry& entry : ReportHost::Engine(*report_).Messages().entries) {
    textos.push_back(entry.text);
  }
  EXPECT_EQ(textos,
            (Lista{"Empresa 1, estabelecimento 3: 1 contrato calculado sem inscrição federal ficou "
                   "fora dos totais.",
                   "Empresa 2: 1 contrato calculado sem estabelecimento ficou fora dos totais."}));
}

TEST_F(SalaryTotalsExporter, RefusesWhatItCannotReadNamingTheParameter) {
  const struct {
    const char* param;
    const char* value;
    const char* message;
  } cases[] = {
      {"pReport", "0", "Parâmetro pReport de TSalaryTotalsExporter: '0' não é de relatório."},
      {"Compet", "31/02/2024", "Parâmetro Compet de TSalaryTotalsExporter: '31/02/2024' não é"},
      {"Estabs", "1..", "Parâmetro Estabs de TSalaryTotalsExporter: Seleção inválida"},
  };
  for (const auto& c : cases) {
    std::map<std::string, std::string> values{{"pReport", std::to_string(report_->Handle())}};
    values[c.param] = c.value;
    const std::string erro = Erro(values);
    EXPECT_EQ(erro.rfind(c.message, 0), 0u) << c.param << " = '" << c.value << "': " << erro;
  }
}

}  // namespace
}  // namespace nrw
