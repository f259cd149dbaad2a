// A run as a user prints only the user's companies, in every module and every format: on the demo
// office, where each module has data of several companies, nothing of another company (its name,
// registrations, beneficiaries or figures) reaches the text, the PDF (read back with pdftotext),
// the HTML or the CSV spreadsheet, nor the names of the files of a split run; a user without
// companies prints nothing.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "nrw/format.h"
#include "nrw/guards.h"
#include "nrw/sql.h"
#include "nrwhost/settings.h"
#include "support/fixture_db.h"
#include "support/module_run.h"
#include "support/shell.h"
#include "support/temp_dir.h"

namespace {

// The user the demo grants company 3 (the clinic) alone, and one the demo grants nothing.
constexpr int kUsuarioDaClinica = 2;
constexpr int kClinica = 3;
constexpr int kUsuarioSemEmpresas = 99;

struct Modulo {
  const char* module;
  std::vector<nrw::ParamSetting> params;
};

const Modulo kModulos[] = {
    {"RptIncomeStatement", {{"pAnoBase1", "2023"}}},
    {"RptCompanyPayeeStatement", {{"pAnoBase1", "2023"}}},
    {"RptStatementRoster", {{"pAnoBase", "2023"}}},
    {"RptWithholdingReview", {{"pAnoBase", "2023"}}},
    {"RptPayerRoster", {{"pAnoBase", "2023"}}},
    {"RptPayrollTotals", {{"pCompet", "2023"}, {"pModelo", "2"}}},
    {"RptPayrollTotalsWide", {{"pCompetInicial", "01/2023"}, {"pCompetFinal", "12/2023"}}},
    {"RptStateGuideB", {{"pAnoBase", "2023"}}},
};

std::vector<std::string> Column(const std::string& sql) {
  nrw::TDataSetRef rows = nrw::ExecutarSQL(sql);
  std::vector<std::string> values;
  for (rows->First(); !rows->Eof(); rows->Next()) {
    if (!rows->Fields(0).IsNull() && !nrw::Trim(rows->Fields(0).AsString()).empty()) {
      values.push_back(rows->Fields(0).AsString());
    }
  }
  return values;
}

std::string Digits(const std::string& text) {
  std::string digits;
  for (const char c : text) {
    if (c >= '0' && c <= '9') digits += c;
  }
  return digits;
}

class CompanyRights : public support::DemoDbTest {
 protected:
  void SetUp() override {
    support::DemoDbTest::SetUp();
    if (IsSkipped()) return;
    GiveTheClinicAStateGuide();
    Forbid();
  }
  void TearDown() override { nrw::DefinirUsuarioAtual(std::nullopt); }

  // The demo's state guide is company 1's alone: the clinic gets a copy under its own identity.
  void GiveTheClinicAStateGuide() {
    const std::string clinica = std::to_string(kClinica);
    const std::string inscricao_estadual =
        "(select INSCRESTAD from ESTAB where CODIGOEMPRESA = " + clinica + " and CODIGOESTAB = 1)";
    for (const char* table :
         {"GIAB_TR001", "GIAB_TR002", "GIAB_TR003", "GIAB_TR004", "GIAB_TR910", "GIAB_TR920",
          "GIAB_TR941", "GIAB_TR942", "GIAB_TR950", "GIAB_TR960", "GIAB_TR990", "GIAB_TABCFOP"}) {
      const std::string t = table;
      const bool registered = t != "GIAB_TR001" && t != "GIAB_TABCFOP";
      demo_->Exec("CREATE TEMP TABLE COPIA AS SELECT * FROM " + t +
                  " WHERE CODIGOEMPRESA = 1; UPDATE COPIA SET CODIGOEMPRESA = " + clinica +
                  (registered ? ", EMP_CGCTE = " + inscricao_estadual : "") + "; INSERT INTO " + t +
                  " SELECT * FROM COPIA; DROP TABLE COPIA;");
    }
    demo_->Exec(
        "UPDATE GIAB_TR001 SET Q01_RazaoSocial = (select NOMEEMPRESA from EMPRESA where "
        "CODIGOEMPRESA = " +
        clinica + "), Q01_CNPJ = (select INSCRFEDERAL from ESTAB where CODIGOEMPRESA = " + clinica +
        " and CODIGOESTAB = 1), Q01_CGCTE = " + inscricao_estadual +
        " WHERE CODIGOEMPRESA = " + clinica);
  }

  // What only the other companies have: their names and registrations, the beneficiaries who are
  // theirs alone, and amounts of their declarations the clinic's has nowhere.
  void Forbid() {
    const std::string outras = " CODIGOEMPRESA <> " + std::to_string(kClinica);
    const std::string clinica = " CODIGOEMPRESA = " + std::to_string(kClinica);
    for (const std::string& nome : Column("select NOMEEMPRESA from EMPRESA where" + outras)) {
      forbidden_.insert(nome);
    }
    for (const std::string& inscr : Column("select INSCRFEDERAL from ESTAB where" + outras +
                                           " union "
                                           "select INSCRESTAD from ESTAB where" +
                                           outras)) {
      forbidden_.insert(inscr);
      if (Digits(inscr).size() >= 11) forbidden_.insert(Digits(inscr));
    }
    const std::string proprios =
        " and INSCRFEDERALBENEF not in (select INSCRFEDERALBENEF from DIRFREGBENEFICIARIO where" +
        clinica + ")";
    for (const std::string& cpf :
         Column("select INSCRFEDERALBENEF from DIRFREGBENEFICIARIO where" + outras + proprios)) {
      forbidden_.insert(cpf);
      forbidden_.insert(Digits(cpf));
    }
    for (const std::string& nome :
         Column("select NOMEBENEF from DIRFREGBENEFICIARIO where" + outras + proprios +
                " and NOMEBENEF not in (select NOMEBENEF from "
                "DIRFREGBENEFICIARIO where" +
                clinica + ")")) {
      forbidden_.insert(nome);
    }
    const std::string valores_da_clinica =
        "select VALORRENDIMENTO from DIRFREG2DET where" + clinica +
        " union select VALORRETIDO from DIRFREG2DET where" + clinica +
        " union select VALORRENDIMENTO from DIRFREG2 where" + clinica +
        " union select VALORRETIDO from DIRFREG2 where" + clinica;
    const std::vector<std::string> figuras =
        Column("select distinct VALORRENDIMENTO from DIRFREG2 where" + outras +
               " and VALORRENDIMENTO > 1000 and VALORRENDIMENTO <> round(VALORRENDIMENTO) and "
               "VALORRENDIMENTO not in (" +
               valores_da_clinica + ") order by 1 desc");
    for (size_t i = 0; i < figuras.size() && i < 20; ++i) {
      double valor = 0;
      ASSERT_TRUE(nrw::TryStrToFloat(figuras[i], valor)) << figuras[i];
      forbidden_.insert(nrw::FormatFloat("#,##0.00", valor));
    }
    clinica_ = Column("select NOMEEMPRESA from EMPRESA where" + clinica).at(0);
  }

  // The document's text as a reader gets it.
  static std::string Text(const std::string& path) {
    if (path.size() > 4 && path.substr(path.size() - 4) == ".pdf") {
      return support::RunShell("pdftotext -enc UTF-8 " + path + " -").out;
    }
    return support::ReadFile(path);
  }

  // What of the forbidden the text holds.
  std::vector<std::string> Leaks(const std::string& text) const {
    std::vector<std::string> leaks;
    for (const std::string& item : forbidden_) {
      if (text.find(item) != std::string::npos) leaks.push_back(item);
    }
    return leaks;
  }

  std::set<std::string> forbidden_;
  std::string clinica_;
  support::TempDir dir_;
};

TEST_P(CompanyRights, EveryModuleInEveryFormatPrintsOnlyTheUsersCompanies) {
  ASSERT_GT(forbidden_.size(), 40u) << "the other companies leave something to look for";
  for (const Modulo& m : kModulos) {
    for (const std::string formato : {"txt", "pdf", "html", "csv"}) {
      const std::string name = std::string(m.module) + "." + formato;
      const std::string path = dir_.File(name);

      nrw::DefinirUsuarioAtual(kUsuarioSemEmpresas);
      const support::RunOutcome none = support::Run({m.module, m.params, {}, path});
      EXPECT_TRUE(none.result.usage_error) << name << ": " << none.result.error;
      EXPECT_EQ(none.result.error,
                "O usuário 99 não tem direito a nenhuma empresa (USUARIOEMPRESA): não há o que "
                "imprimir.")
          << name;
      EXPECT_TRUE(support::ReadFile(path).empty()) << name << ": nothing is written";

      nrw::DefinirUsuarioAtual(kUsuarioDaClinica);
      const support::RunOutcome run = support::Run({m.module, m.params, {}, path});
      ASSERT_TRUE(run.result.ok) << name << ": " << run.result.error;
      const std::string text = Text(path);
      EXPECT_NE(text.find(clinica_), std::string::npos) << name << ": the clinic's own document";
      EXPECT_EQ(Leaks(text), std::vector<std::string>{}) << name;
    }
  }
}

TEST_P(CompanyRights, SplitRunsMakeOnlyTheUsersParts) {
  nrw::DefinirUsuarioAtual(kUsuarioDaClinica);
  const struct {
    const char* module;
    std::vector<nrw::ParamSetting> params;
    const char* split;
  } cases[] = {
      {"RptIncomeStatement", {{"pAnoBase1", "2023"}}, "pBeneficiarios"},
      {"RptIncomeStatement", {{"pAnoBase1", "2023"}}, "pCodigoEmpresa"},
      {"RptWithholdingReview", {{"pAnoBase", "2023"}}, "pEmpresas"},
      {"RptStatementRoster", {{"pAnoBase", "2023"}}, "pCodigoEmpresa"},
  };
  for (const auto& c : cases) {
    const support::TempDir dir;
    const support::RunOutcome run = support::Run(
        {c.module, c.params, {c.split}, dir.File("parte-{" + std::string(c.split) + "}.txt")});
    ASSERT_TRUE(run.result.ok) << c.module << " " << c.split << ": " << run.result.error;
    ASSERT_FALSE(run.result.outputs.empty()) << c.module << " " << c.split;
    std::string names;
    for (const std::string& file : dir.Names()) {
      names += file + "\n";
      EXPECT_EQ(Leaks(support::ReadFile(dir.File(file))), std::vector<std::string>{}) << file;
    }
    EXPECT_EQ(Leaks(names), std::vector<std::string>{}) << c.module << " " << c.split;
  }
}

NRW_ON_EVERY_DATABASE(CompanyRights);

}  // namespace
