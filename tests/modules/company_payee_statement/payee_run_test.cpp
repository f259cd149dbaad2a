// Whole runs of the company-payee statement on small declarations: the two forms and the copies,
// the thirteenth salary in the skip tests, the payer's number, the memo of each record, records
// without monthly rows and a company whose registry is incomplete.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "support/declaration_rows.h"
#include "support/fixture_db.h"
#include "support/module_run.h"

namespace {

using support::InsertSql;
using support::RunOutcome;

constexpr const char* kAlfa = "22.333.444/0001-55";
constexpr const char* kBeta = "33.444.555/0001-66";

//! A company whose establishment 1 has the registration type given, with the partner who answers
//! for it and its accountant.
std::string Empresa(int codigo, int tipo_inscr) {
  const std::string c = std::to_string(codigo);
  return InsertSql("EMPRESA", {{"CODIGOEMPRESA", codigo}, {"NOMEEMPRESA", "Empresa " + c}}) +
         InsertSql("ESTAB", {{"CODIGOEMPRESA", codigo},
                             {"CODIGOESTAB", 1},
                             {"TIPOINSCR", tipo_inscr},
                             {"INSCRFEDERAL", "11.222.333/0001-0" + c}}) +
         InsertSql("SOCIO", {{"CODIGOEMPRESA", codigo},
                             {"CODIGOSOCIO", 1},
                             {"NOMESOCIO", "Sócio " + c},
                             {"INSCRFEDERAL", "999.888.777-6" + c}}) +
         InsertSql("CONTADOR", {{"CODIGOCONT", codigo},
                                {"TIPOINSCR", 1},
                                {"INSCRFEDERAL", "555.666.777-88"},
                                {"NOMECONT", "Contador " + c}}) +
         InsertSql("CFGEMPRESAGEM", {{"CODIGOEMPRESA", codigo},
                                     {"CONTADORRESPPREENCHFEDERAL", codigo},
                                     {"SOCIORESPCNPJ", 1}});
}

using Meses = std::vector<std::tuple<int, double, double>>;

//! A yearly record of another company (statement type 3) with its monthly rows.
std::string Registro(int empresa, const std::string& cnpj, const std::string& nome, int codigo,
                     double retido, const Meses& meses, const std::string& outras = "") {
  const support::Beneficiary b{cnpj, empresa, 2023, 2};
  std::string sql =
      support::BeneficiarioRow(b, nome) +
      support::RegistroRow(b, codigo, 3, 1000, retido,
                           {{"OUTRASINFORMACOES", outras.empty() ? nrw::Variant() : outras}});
  for (const auto& [mes, rendimento, imposto] : meses) {
    sql += support::MesRow(b, codigo, mes,
                           {{"VALORRENDIMENTO", rendimento}, {"VALORRETIDO", imposto}});
  }
  return sql;
}

//! The prints and page ends in order: "13 14 10 11 12 |".
std::string Sequencia(const RunOutcome& run) {
  std::string out;
  for (const nlohmann::json& e : run.Events()) {
    const std::string ev = e["ev"];
    if (ev == "print") out += (out.empty() ? "" : " ") + std::to_string(e["section"].get<int>());
    if (ev == "pageend") out += " |";
  }
  return out;
}

std::string Repetir(const std::string& text, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += (out.empty() ? "" : " ") + text;
  return out;
}

class CompanyPayeeRun : public ::testing::Test {
 protected:
  RunOutcome Rodar(std::vector<nrw::ParamSetting> params) {
    params.insert(params.begin(), {"pAnoBase1", "01/01/2023"});
    return support::Run({"RptCompanyPayeeStatement", params});
  }
  support::FixtureDb db_;
};

TEST_F(CompanyPayeeRun, FormOfTheRetentionCodeInEveryCopy) {
  db_.Exec(Empresa(1, 2) + Registro(1, kAlfa, "Alfa Ltda", 5952, 10, {{1, 900, 9}, {13, 100, 1}}) +
           Registro(1, kBeta, "Beta Ltda", 561, 10, {{2, 1000, 10}}));
  const std::string alfa = "13 14 14 10 11 12 |";
  const std::string beta = "8 9 10 11 12 |";
  struct Caso {
    const char* copias;
    std::string sequencia;
  };
  for (const Caso& caso :
       {Caso{"1", alfa + " " + beta}, Caso{"3", Repetir(alfa, 3) + " " + Repetir(beta, 3)}}) {
    const RunOutcome run = Rodar({{"pCopias", caso.copias}});
    ASSERT_TRUE(run.result.ok) << run.result.error;
    EXPECT_EQ(Sequencia(run), caso.sequencia) << "copies " << caso.copias;
    // Without copies the rows are still judged, their company looked up and progress reported.
    EXPECT_EQ(run.Events("progress").size(), 2u) << caso.copias;
    EXPECT_EQ(run.Values("pNomeEmpresa").size(), 2u) << caso.copias;
  }
  // Copies the panel cannot give are refused before anything prints, naming the parameter.
  for (const char* copias : {"0", "-2", "x", "100"}) {
    const RunOutcome refused = Rodar({{"pCopias", copias}});
    EXPECT_FALSE(refused.result.ok) << copias;
    EXPECT_EQ(refused.result.error.rfind("Parâmetro pCopias: ", 0), 0u) << refused.result.error;
    EXPECT_TRUE(refused.Sections().empty()) << copias;
  }
  const RunOutcome run = Rodar({});
  EXPECT_EQ(run.Values(13, "pINSRF"),
            (std::vector<std::string>{"Aprovado pelo IN/SRF nº 459/2004"}));
  EXPECT_EQ(run.Values(8, "pINSRF"),
            (std::vector<std::string>{"Aprovado pelo IN/SRF nº 119/2000"}));
  EXPECT_EQ(run.Values(14, "R5"), (std::vector<std::string>{"Janeiro", "13º Salário"}));
  EXPECT_EQ(run.Values(14, "R6"), (std::vector<std::string>{"5952", "5952"}));
  EXPECT_EQ(run.Values(9, "R8"), (std::vector<std::string>{"1.000,00"}));
}

// Tax withheld only on the thirteenth salary: the controller's test sees it, the test of tax
// withheld in the year looks at the record alone.
TEST_F(CompanyPayeeRun, ThirteenthSalaryCountsInTheControllersTestOnly) {
  db_.Exec(Empresa(1, 2) +
           Registro(1, kAlfa, "Alfa Ltda", 1708, 0, {{1, 1000, 0}, {13, 500, 7.5}}));
  struct Caso {
    const char* irrf;
    const char* sem_retido;
    bool impresso;
  };
  for (const Caso& caso : {Caso{"2", "1", true}, Caso{"2", "", true}, Caso{"2", " 0 ", false},
                           Caso{"1", "0", false}, Caso{"4", "1", false}}) {
    const RunOutcome run = Rodar({{"pIrrf", caso.irrf}, {"pGerarSemRetidoAno", caso.sem_retido}});
    ASSERT_TRUE(run.result.ok) << run.result.error;
    EXPECT_EQ(!run.Sections().empty(), caso.impresso)
        << "pIrrf " << caso.irrf << ", pGerarSemRetidoAno '" << caso.sem_retido << "'";
  }
}

TEST_F(CompanyPayeeRun, RegistrationTypesAboveTwoShowThePartnersNumber) {
  db_.Exec(Empresa(1, 2) + Empresa(2, 3) + Registro(1, kAlfa, "Alfa Ltda", 1708, 1, {{1, 10, 1}}) +
           Registro(2, kBeta, "Beta Ltda", 1708, 1, {{1, 10, 1}}));
  const RunOutcome run = Rodar({});
  ASSERT_TRUE(run.result.ok) << run.result.error;
  EXPECT_EQ(run.Values(8, "pInscrFed"),
            (std::vector<std::string>{"11.222.333/0001-01", "999.888.777-62"}));
  EXPECT_EQ(run.Values(8, "pNomeEmpresa"), (std::vector<std::string>{"Empresa 1", "Empresa 2"}));
  EXPECT_EQ(run.Values(11, "R19"), (std::vector<std::string>{"Contador 1", "Contador 2"}));
}

TEST_F(CompanyPayeeRun, EachRecordPrintsItsOwnOtherInformation) {
  db_.Exec(Empresa(1, 2) + Registro(1, kAlfa, "Alfa Ltda", 1708, 1, {{1, 10, 1}}, "Contrato 1") +
           Registro(1, kAlfa, "Alfa Ltda", 5952, 1, {{1, 10, 1}}) +
           Registro(1, kBeta, "Beta Ltda", 1708, 1, {{1, 10, 1}}, "Linha 1\nLinha 2"));
  const RunOutcome run = Rodar({{"pCopias", "2"}});
  ASSERT_TRUE(run.result.ok) << run.result.error;
  EXPECT_EQ(run.Values(10, "pMemo"),
            (std::vector<std::string>{"Contrato 1", "Contrato 1", "", "", "Linha 1\nLinha 2",
                                      "Linha 1\nLinha 2"}));
}

TEST_F(CompanyPayeeRun, RecordWithoutMonthlyRowsPrintsNothingAndSaysSo) {
  db_.Exec(Empresa(1, 2) + Registro(1, kAlfa, "Alfa Ltda", 5952, 1, {}));
  const RunOutcome run = Rodar({{"pCopias", "2"}});
  ASSERT_TRUE(run.result.ok) << run.result.error;
  EXPECT_EQ(Sequencia(run), " |") << "the page end is asked once: it is still pending";
  ASSERT_EQ(run.Events("message").size(), 1u);
  EXPECT_EQ(run.Events("message")[0]["text"],
            "Empresa 1, beneficiário 22.333.444/0001-55 (Alfa Ltda), código 5952: não há valores "
            "mensais; o comprovante não foi impresso.");
}

TEST_F(CompanyPayeeRun, ACompanyWhoseRegistryIsIncompleteIsLeftOutAndTheRunGoesOn) {
  const std::string deixada = "; os comprovantes desta empresa não foram impressos.";
  const struct {
    const char* name;
    const char* change;
    std::string message;
  } cases[] = {
      {"without its declaration settings", "DELETE FROM CFGEMPRESAGEM WHERE CODIGOEMPRESA = 2;",
       "Empresa 2 (Empresa 2): falta a configuração da DIRF (CFGEMPRESAGEM)" + deixada},
      {"without the responsible partner's row", "DELETE FROM SOCIO WHERE CODIGOEMPRESA = 2;",
       "Empresa 2 (Empresa 2): falta o sócio responsável pelo CNPJ (sócio 1 em SOCIO)" + deixada},
      {"without a responsible partner",
       "UPDATE CFGEMPRESAGEM SET SOCIORESPCNPJ = NULL WHERE CODIGOEMPRESA = 2;",
       "Empresa 2 (Empresa 2): falta o sócio responsável pelo CNPJ na configuração da DIRF "
       "(CFGEMPRESAGEM)" +
           deixada},
      {"without establishment 1 and settings",
       "DELETE FROM ESTAB WHERE CODIGOEMPRESA = 2; DELETE FROM CFGEMPRESAGEM WHERE CODIGOEMPRESA = "
       "2;",
       "Empresa 2 (Empresa 2): falta o estabelecimento 1 (ESTAB) e a configuração da DIRF "
       "(CFGEMPRESAGEM)" +
           deixada},
      {"not registered", "DELETE FROM EMPRESA WHERE CODIGOEMPRESA = 2;",
       "Empresa 2: não está cadastrada (EMPRESA)" + deixada},
  };
  for (const auto& c : cases) {
    support::FixtureDb db;
    db.Exec(Empresa(1, 2) + Empresa(2, 2) + c.change +
            Registro(1, kAlfa, "Alfa Ltda", 1708, 1, {{1, 10, 1}}) +
            Registro(2, kAlfa, "Alfa Ltda", 1708, 1, {{1, 10, 1}}) +
            Registro(2, kBeta, "Beta Ltda", 1708, 1, {{1, 10, 1}}));
    const RunOutcome run = Rodar({});
    ASSERT_TRUE(run.result.ok) << c.name << ": " << run.result.error;
    ASSERT_FALSE(run.ModulePrints().empty()) << c.name;
    for (const support::Printed& printed : run.ModulePrints()) {
      EXPECT_EQ(printed.Var("pNomeEmpresa"), "Empresa 1") << c.name;
    }
    ASSERT_EQ(run.Events("message").size(), 1u) << c.name << ": said once for the company";
    EXPECT_EQ(run.Events("message")[0]["text"], c.message) << c.name;
  }
}

}  // namespace
