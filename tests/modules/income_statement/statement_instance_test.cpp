// The report class in the test's hands: runs of one instance that reuse its datasets (also after
// a failed run), a base year that is not a date, the separator list and its answers, and the
// panel hooks.
#include <gtest/gtest.h>

#include <fstream>

#include "nrw/dirf.h"
#include "nrw/guards.h"
#include "nrw/shared_data.h"
#include "nrwhost/settings.h"
#include "statement_fixture.h"

namespace statement_test {
namespace {

using income_statement::TRptIncomeStatement;

//! The events of a run without its statements, to compare what two runs printed.
std::vector<std::string> SemSql(const Rastro& run) {
  std::vector<std::string> lines;
  for (const nlohmann::json& e : run.Events()) {
    if (e["ev"] != "sql") lines.push_back(e.dump());
  }
  return lines;
}

//! The layout without one of its sections, written in dir.
std::string LayoutSem(const TempDir& dir, int section) {
  std::ifstream in(LayoutPath());
  nlohmann::json layout = nlohmann::json::parse(in);
  auto& sections = layout["sections"];
  sections.erase(
      std::remove_if(sections.begin(), sections.end(),
                     [section](const nlohmann::json& s) { return s["number"] == section; }),
      sections.end());
  const std::string path = dir.File("RptIncomeStatement.json");
  std::ofstream(path) << layout.dump(1);
  return path;
}

//! Three beneficiaries; the second is a partner of a silent partnership (section 18); the others
//! have medical expenses, exempt detail rows and alimony, which the page-fit question counts.
class Reuso : public Banco {
 protected:
  Reuso() {
    Dados(Empresa(1) + Simples("810.000.000-01", "Ana", 1000) +
          Simples("810.000.000-02", "Bia", 2000) + Simples("810.000.000-03", "Carla", 3000));
    for (const char* cpf : {"810.000.000-01", "810.000.000-03"}) {
      const std::string k = std::string("1, '2023-01-01', 1, '") + cpf + "'";
      Dados("INSERT INTO INFORMERENDIMENTOEVENTO VALUES (" + k + ", 561, 1, 'Clínica', 100), (" +
            k + ", 561, 2, 'Dentista', 200);" + "INSERT INTO INFORMERENDIMENTOISENTO VALUES (" + k +
            ", 561, 1, 'Auxílio creche', 120), (" + k + ", 561, 2, 'Auxílio escola', 60);" +
            "INSERT INTO INFORMERENDIMENTOFUNC VALUES (" + k + ", 1, '123.456.789-09', 'Filha', " +
            "10, 1);");
    }
    Dados(
        "INSERT INTO DIRFSCPSOCIO VALUES (1, '2023-01-01', '22.333.444/0001-55', "
        "'810.000.000-02', 'Bia');"
        "INSERT INTO DIRFSCPSOCIODETALHE VALUES (1, '2023-01-01', '22.333.444/0001-55', "
        "'810.000.000-02', 1, 150);");
  }

  //! An instance whose separator list (one part per beneficiary) is built, so that its runs keep
  //! the datasets they load.
  std::unique_ptr<TRptIncomeStatement> ComLista(Relatorio& rel) {
    rel.Sessao().ActivateSeparators({"pBeneficiarios"});
    std::unique_ptr<TRptIncomeStatement> instancia = rel.Instancia();
    std::string sql;
    instancia->DoSQLSeparadorEvent(rel.Panel(), "INSCRFEDERALBENEF", "DIRFREGBENEFICIARIO", "", 0,
                                   sql);
    EXPECT_EQ(instancia->ListaSeparador().size(), 3u);
    return instancia;
  }
};

TEST_F(Reuso, SecondRunOfAnInstanceReusesItsDatasets) {
  Relatorio rel({});
  const std::unique_ptr<TRptIncomeStatement> instancia = ComLista(rel);
  rel.AbrirDados();
  rel.Trace();
  instancia->ImprimirInterno();
  const Rastro primeira = rel.Trace();
  rel.AbrirDados();
  instancia->ImprimirInterno();
  const Rastro segunda = rel.Trace();

  EXPECT_EQ(ContarAnuais(primeira), 14);
  EXPECT_EQ(ContarAnuais(segunda), 0);
  EXPECT_EQ(Impressos(segunda), (std::vector<std::string>{"Ana", "Bia", "Carla"}));
  EXPECT_EQ(SemSql(segunda), SemSql(primeira));
}

TEST_F(Reuso, FailedRunLeavesNoRangeBehind) {
  TempDir dir;
  Relatorio rel({}, LayoutSem(dir, 18));
  const std::unique_ptr<TRptIncomeStatement> instancia = ComLista(rel);
  rel.AbrirDados();
  rel.Trace();
  try {
    instancia->ImprimirInterno();
    ADD_FAILURE() << "the partner sentence has no section to go to";
  } catch (const std::exception& error) {
    EXPECT_NE(std::string(error.what()).find("Seção 18"), std::string::npos) << error.what();
  }
  const Rastro falha = rel.Trace();
  EXPECT_EQ(ContarAnuais(falha), 14);
  EXPECT_EQ(Impressos(falha), (std::vector<std::string>{"Ana", "Bia"}));

  // Same instance, the failing beneficiary out of the main dataset.
  rel.Aplicar({{"pBeneficiarios", "810.000.000-01;810.000.000-03"}});
  rel.AbrirDados();
  rel.Trace();
  instancia->ImprimirInterno();
  const Rastro depois = rel.Trace();
  EXPECT_EQ(ContarAnuais(depois), 0) << "the datasets stay loaded after a failure";
  EXPECT_EQ(Impressos(depois), (std::vector<std::string>{"Ana", "Carla"}));

  // What a fresh instance prints for the same rows.
  const std::unique_ptr<TRptIncomeStatement> nova = rel.Instancia();
  rel.AbrirDados();
  rel.Trace();
  nova->ImprimirInterno();
  const Rastro referencia = rel.Trace();
  EXPECT_EQ(ContarAnuais(referencia), 14);
  EXPECT_EQ(SemSql(depois), SemSql(referencia));
  const std::vector<nlohmann::json> asks = depois.Events("canprint");
  ASSERT_EQ(asks.size(), 4u);
  EXPECT_EQ(asks[1]["pairs"],
            nlohmann::json::parse("[[12, 5], [13, 3], [16, 2], [10, 1], [11, 3], [14, 1]]"))
      << "Ana's expenses, exempt rows and alimony counted";
}

TEST_F(Reuso, BaseYearThatIsNoDateFindsNothing) {
  Relatorio rel({});
  rel.AbrirDados();
  rel.Panel().SetValues("pAnoBase1", "sem data");
  rel.Trace();
  const std::unique_ptr<TRptIncomeStatement> instancia = rel.Instancia();
  instancia->ImprimirInterno();
  const Rastro run = rel.Trace();
  int com_ano = 0;
  for (const nlohmann::json& e : run.Events("sql")) {
    if (e["sql"].get<std::string>().find(":pAnoBase") == std::string::npos) continue;
    ++com_ano;
    EXPECT_EQ(e["values"][0], "1899-12-30") << e["sql"];
  }
  EXPECT_EQ(com_ano, 12);
  EXPECT_EQ(run.Values("pAno"), std::vector<std::string>{"1899"});
  EXPECT_TRUE(run.Values("pTitulo").empty()) << "no record of the year was found";
  EXPECT_EQ(Linhas(run, "Ana"), (std::vector<std::string>{"8", "9", "10", "11", "15", "11", "14"}));
}

class Separadores : public Banco {
 protected:
  Separadores() {
    Dados(Empresa(1) + Simples("810.000.000-01", "Ana", 1000) +
          Contrato(1, "810.000.000-01", 7, "2020-01-01", "1") +
          Simples("810.000.000-02", "Bia", 2000, 0, 2) +
          Simples("11.000.000/0001-00", "Outra Empresa", 3000, 0, 3));
  }

  //! The separator list of the given separators, one "estab/contract/beneficiary" per entry.
  static std::vector<std::string> Lista(const TRptIncomeStatement& instancia) {
    std::vector<std::string> lista;
    for (const income_statement::TnSeparador& s : instancia.ListaSeparador()) {
      lista.push_back(std::to_string(s.CodigoEmpresa) + "/" + std::to_string(s.CodigoEstab) + "/" +
                      std::to_string(s.CodigoFuncContr) + "/" + s.Beneficiarios);
    }
    return lista;
  }

  static bool Gerar(Relatorio& rel) {
    bool generate = false;
    rel.Report().OnSeparatorValues(rel.Report(), generate);
    return generate;
  }
};

TEST_F(Separadores, ListOfPublicationPerBeneficiaryOrPerContract) {
  struct Case {
    const char* name;
    std::string publicar;
    std::vector<std::string> lista;
  };
  const Case cases[] = {
      {"per beneficiary: no contracts, no statement type 3",
       "0",
       {"1/0/0/810.000.000-01", "1/0/0/810.000.000-02"}},
      {"per contract: only beneficiaries with one", "1", {"1/0/7/810.000.000-01"}},
  };
  for (const Case& c : cases) {
    Relatorio rel(std::vector<nrw::ParamSetting>{{"pPublicarBrevix", c.publicar}});
    rel.Sessao().ActivateSeparators({"pCodigoEmpresa", "pBeneficiarios", "pCodigoFuncContr"});
    const std::unique_ptr<TRptIncomeStatement> instancia = rel.Instancia();
    std::string sql;
    instancia->DoSQLSeparadorEvent(rel.Panel(), "CODIGOEMPRESA", "EMPRESA", "", 0, sql);
    EXPECT_TRUE(instancia->ListaSeparador().empty()) << c.name << ": built after the last one";
    EXPECT_EQ(sql.rfind("select distinct T_T.CODIGOEMPRESA from  ( SELECT DISTINCT", 0), 0u)
        << c.name;
    EXPECT_TRUE(sql.ends_with(") T_T  order by T_T.CODIGOEMPRESA")) << c.name;
    instancia->DoSQLSeparadorEvent(rel.Panel(), "INSCRFEDERALBENEF", "DIRFREGBENEFICIARIO", "", 1,
                                   sql);
    instancia->DoSQLSeparadorEvent(rel.Panel(), "CODIGOFUNCCONTR", "FUNCCONTRATO", "", 2, sql);
    EXPECT_EQ(Lista(*instancia), c.lista) << c.name;
    EXPECT_EQ(instancia->SeqSeparador(), -1) << c.name;
  }
}

TEST_F(Separadores, AnswersWhetherAPartIsProduced) {
  Relatorio rel({});
  rel.Sessao().ActivateSeparators({"pBeneficiarios"});
  const std::unique_ptr<TRptIncomeStatement> instancia = rel.Instancia();
  std::string sql;
  instancia->DoSQLSeparadorEvent(rel.Panel(), "INSCRFEDERALBENEF", "DIRFREGBENEFICIARIO", "", 0,
                                 sql);
  ASSERT_EQ(Lista(*instancia),
            (std::vector<std::string>{"0/0/0/810.000.000-01", "0/0/0/810.000.000-02"}));

  struct Case {
    const char* name;
    std::string beneficiario;
    bool separado;
    bool gerar;
    int seq;
  };
  const Case cases[] = {
      {"first answer after the list is built", "999.999.999-99", true, true, 0},
      {"a combination without statement", "999.999.999-99", true, false, 0},
      {"a listed beneficiary", "810.000.000-01", true, true, 1},
      {"apostrophes become blanks", "'810.000.000-02'", true, true, 2},
      {"another company's statement", "11.000.000/0001-00", true, false, 2},
      {"outside a separated production", "999.999.999-99", false, true, 3},
  };
  for (const Case& c : cases) {
    rel.Sessao().SetProducingParts(c.separado);
    rel.Aplicar({{"pBeneficiarios", c.beneficiario}});
    EXPECT_EQ(Gerar(rel), c.gerar) << c.name;
    EXPECT_EQ(instancia->SeqSeparador(), c.seq) << c.name;
  }
  rel.Sessao().SetProducingParts(false);

  // Under connection type 1 an instance leaves the report's separator events alone.
  std::unique_ptr<TRptIncomeStatement> sem_eventos;
  {
    nrw::DefinirTipoCon(1);
    const nrw::ScopeExit devolver([] { nrw::DefinirTipoCon(0); });
    sem_eventos = rel.Instancia();
  }
  rel.Aplicar({{"pBeneficiarios", "810.000.000-01"}});
  Gerar(rel);
  EXPECT_EQ(instancia->SeqSeparador(), 4) << "the earlier instance still answers";
}

TEST_F(Separadores, BeneficiaryLookupIsRestrictedByCompanyEstablishmentAndYear) {
  struct Case {
    const char* name;
    std::vector<nrw::ParamSetting> params;
    std::string base;
    std::string filtro;
  };
  const std::string ano = "(t_t.ANOBASE = '2023-01-01')";
  const Case cases[] = {
      {"no company: the year leads", {}, "", ano},
      {"a company",
       {{"pCodigoEmpresa", "1..3"}},
       "",
       "(t_t.CODIGOEMPRESA between 1 and 3) and " + ano},
      {"an establishment only", {{"pCodigoEstab", "2"}}, "", "(t_t.CODIGOESTAB = 2) and " + ano},
      {"after the lookup's own filter",
       {{"pCodigoEmpresa", "1"}},
       "t_t.TIPOINSCR = 1",
       "t_t.TIPOINSCR = 1 and (t_t.CODIGOEMPRESA = 1) and " + ano},
  };
  for (const Case& c : cases) {
    Relatorio rel(c.params);
    auto* lookup =
        dynamic_cast<nrw::TnFraCtrlNDLink*>(rel.Panel().EdFindFieldControl("pBeneficiarios"));
    ASSERT_NE(lookup, nullptr) << c.name;
    EXPECT_EQ(lookup->MontarFiltro(c.base), c.filtro) << c.name;
  }

  // The panel configured again by the same instance keeps the restriction.
  Relatorio rel({});
  rel.PanelInstance().DepoisConfigurar(rel.Panel());
  auto* lookup =
      dynamic_cast<nrw::TnFraCtrlNDLink*>(rel.Panel().EdFindFieldControl("pBeneficiarios"));
  ASSERT_NE(lookup, nullptr);
  EXPECT_EQ(lookup->MontarFiltro(""), ano);
}

TEST_F(Separadores, PublishingPerContractSwitchesTheSelections) {
  Relatorio rel(std::vector<nrw::ParamSetting>{{"pBeneficiarios", "810.000.000-01"}});
  nrw::TnpqPowerParam& panel = rel.Panel();
  const auto estado = [&panel](const char* name) {
    const nrw::TnpqParamItem& item = panel.Param(name);
    return std::string(item.Control()->Enabled() ? "ligado" : "desligado") +
           (item.Checked ? " marcado" : "") + (item.Control()->Checked() ? " controle" : "");
  };
  struct Case {
    const char* name;
    std::vector<nrw::ParamSetting> params;
    std::string beneficiarios;
    std::string contratos;
  };
  const Case cases[] = {
      {"per contract", {{"pPublicarBrevix", "1"}}, "desligado", "ligado marcado"},
      {"per beneficiary", {{"pPublicarBrevix", "0"}}, "ligado", "desligado"},
      {"a contract selection, then per contract",
       {{"pCodigoFuncContr", "7"}, {"pPublicarBrevix", "1"}},
       "desligado",
       "ligado marcado controle"},
      {"back per beneficiary", {{"pPublicarBrevix", "0"}}, "ligado", "desligado"},
      {"an integer typed with blanks is that integer",
       {{"pPublicarBrevix", " 1 "}},
       "desligado",
       "ligado marcado"},
      {"other parameters change nothing",
       {{"pPublicarBrevix", "1"}, {"pCopias", "2"}},
       "desligado",
       "ligado marcado"},
  };
  for (const Case& c : cases) {
    rel.Aplicar(c.params);
    EXPECT_EQ(estado("pBeneficiarios"), c.beneficiarios) << c.name;
    EXPECT_EQ(estado("pCodigoFuncContr"), c.contratos) << c.name;
  }
  EXPECT_EQ(panel.Param("pOpIrrfTerc").OpcaoTexto, nrw::OP_PARAM_TERCEIRO);
  EXPECT_EQ(panel.Param("pOpIrrfFunc").OpcaoTexto, nrw::OP_PARAM_FUNCIONARIO);
  EXPECT_EQ(panel.Param("pOpIrrfDiretor").OpcaoTexto, nrw::OP_PARAM_DIRETOR);
}

}  // namespace
}  // namespace statement_test
