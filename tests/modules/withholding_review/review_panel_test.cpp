// The withholding review's panel hooks on an instance made through its class for a host report,
// the company separator (its statement and a split run), and the clean-up of failed runs.
#include <algorithm>
#include <functional>
#include <memory>

#include "nrw/util.h"
#include "review_fixture.h"
#include "rpt_withholding_review.h"

namespace {

using review_test::Declarante;
using review_test::Inserir;
using review_test::Registro;
using withholding_review::TRptWithholdingReview;

//! A session of the module with an instance of the class made by the test on its report, whose
//! hooks the tests call as the panel does.
class Panel : public review_test::ReviewDatabase {
 protected:
  Panel() : Panel(nullptr) {}
  //! The same on the module's layout changed first.
  explicit Panel(const std::function<void(nlohmann::json&)>& change)
      : session_({"RptWithholdingReview", {}, {}, "", change ? Variante(change) : std::string()}),
        instance_(session_.Report()) {}
  nrw::TnpqPowerParam& Params() { return session_.Panel(); }
  TRptWithholdingReview& Instance() { return instance_; }
  //! Asks the panel's separator event the way the panel does for separator index.
  std::string Separador(int index) {
    const nrw::TnSeparadorItem item = Params().GetSeparadores(index);
    std::string sql = "original";
    Params().OnSQLSeparador(Params(), item.Campos, item.Tabela, item.Filtro, index, sql);
    return sql;
  }
  std::vector<std::string> Valores(const std::string& sql) {
    const nrw::TDataSetRef rows = nrw::ExecutarSQL(sql);
    std::vector<std::string> out;
    for (rows->First(); !rows->Eof(); rows->Next()) out.push_back(rows->Fields(0).AsString());
    return out;
  }

  support::ModuleSession session_;
  TRptWithholdingReview instance_;
};

//! The same, with a second separator offered by the layout.
class PanelWithTwoSeparators : public Panel {
 protected:
  PanelWithTwoSeparators()
      : Panel([](nlohmann::json& layout) {
          layout["separators"].push_back(
              {{"param", "pFuncionarios"}, {"fields", "CODIGOESTAB"}, {"table", "ESTAB"}});
        }) {}
};

TEST_F(Panel, CompanySeparatorStatement) {
  Dados(Declarante(1) + Declarante(2) + Declarante(3) +
        "INSERT INTO GRUPOEMPRESA VALUES (7, 1), (7, 3);");
  const std::string kGrupo7 =
      "select distinct T_T.CODIGOEMPRESA from  (  SELECT CODIGOEMPRESA    FROM EMPRESA    JOIN "
      "GRUPOEMPRESA      ON EMPRESA.CODIGOEMPRESA = GRUPOEMPRESA.CODIGOEMPRESAPROC   WHERE "
      "GRUPOEMPRESA.CODIGOGRUPOPROC = 7) T_T  order by T_T.CODIGOEMPRESA";
  struct Case {
    const char* name;
    std::string grupo;
    std::string empresas;
    std::string sql;  // empty: only the companies listed are checked
    std::vector<std::string> listadas;
  };
  const Case cases[] = {
      {"a group wins over the interval", "7", "2", kGrupo7, {"1", "3"}},
      {"blanks are no group: the interval", "  ", "2..3", "", {"2", "3"}},
      {"neither: every company", "", "", "", {"1", "2", "3"}},
  };
  session_.Session().ActivateSeparators({"pEmpresas"});
  for (const Case& c : cases) {
    Params().SetValues("pCodigoGrupoProc", c.grupo);
    Params().SetValues("pEmpresas", c.empresas);
    Instance().AntesConfigurar(Params());
    const std::string sql = Separador(0);
    if (!c.sql.empty()) {
      EXPECT_EQ(sql, c.sql) << c.name;
    }
    EXPECT_EQ(Valores(sql), c.listadas) << c.name << ": " << sql;
    EXPECT_TRUE(Instance().GerouQuebraRelatorio()) << c.name;
  }

  // The host's statement stays when the company selection is not in use; the flag is set still.
  Instance().AntesConfigurar(Params());
  Params().EdEnabledField("pEmpresas", false);
  EXPECT_EQ(Separador(0), "original");
  EXPECT_TRUE(Instance().GerouQuebraRelatorio());
}

TEST_F(PanelWithTwoSeparators, OtherSeparatorsAreLeftAlone) {
  session_.Session().ActivateSeparators({"pEmpresas", "pFuncionarios"});
  Instance().AntesConfigurar(Params());
  EXPECT_EQ(Separador(0), "original") << "not the last separator";
  EXPECT_EQ(Separador(1), "original") << "the last one is not the company";
  EXPECT_FALSE(Instance().GerouQuebraRelatorio());
}

TEST_F(Panel, BeneficiaryLookupIsRestrictedToTheBaseYear) {
  auto* lookup = dynamic_cast<nrw::TnFraCtrlNDLink*>(Params().EdFindFieldControl("pFuncionarios"));
  ASSERT_NE(lookup, nullptr);
  Params().EdFindFieldControl("pAnoBase")->SetAsDate(nrw::EncodeDate(2023, 1, 1));
  const std::string data =
      nrw::ValorParaFiltro(nrw::Variant(nrw::EncodeDate(2023, 1, 1)), nrw::TFieldType::Date);
  for (const auto& [antes, depois] : {std::pair<std::string, std::string>{"", " ANOBASE = " + data},
                                      {"X = 1", "X = 1 AND  ANOBASE = " + data}}) {
    std::string filtro = antes;
    lookup->OnDepoisCriarFiltro(nullptr, filtro);
    EXPECT_EQ(filtro, depois) << "from '" << antes << "'";
  }
}

TEST_F(Panel, AFailedStatementStillEndsTheRun) {
  Dados(Declarante(1) + Inserir({1, "111.111.111-11", "Ana"}) + "DROP TABLE DIRFRENDRECEBACUMDET;");
  Params().SetValues("pAnoBase", "01/01/2023");
  TRptWithholdingReview run(session_.Report());
  EXPECT_THROW(run.ImprimirInterno(), std::exception);
  EXPECT_TRUE(run.GerouQuebraRelatorio());
  EXPECT_TRUE(session_.Session().Messages().captions.empty()) << "a title alone is no message";
}

class Separated : public review_test::ReviewDatabase {};

TEST_F(Separated, EachCompanyOfTheGroupIsAPartOfItsOwn) {
  Dados(Declarante(1) + Declarante(2) + Declarante(3) +
        "INSERT INTO GRUPOEMPRESA VALUES (7, 1), (7, 3);");
  for (int empresa = 1; empresa <= 3; ++empresa) {
    Dados(Inserir(Registro{empresa, "111.111.111-1" + std::to_string(empresa), "Ana"}));
  }
  const review_test::Execucao e = Rodar({{"pCodigoGrupoProc", "7"}}, {"pEmpresas"});
  ASSERT_TRUE(e.result.ok) << e.result.error;
  ASSERT_EQ(e.result.parts.size(), 2u);
  EXPECT_EQ(e.result.parts[0].values.at(0).second, "1");
  EXPECT_EQ(e.result.parts[1].values.at(0).second, "3");
  EXPECT_EQ(e.Values(8, "pControleCustoEmpresa"), (std::vector<std::string>{"1", "3"}))
      << "a part reads its own company, not the whole group again";
}

TEST_F(Separated, MessagesGatheredBeforeAFailureAreListed) {
  // A layout without the lawsuit data section fails on the second company's lawsuit.
  const std::string path = Variante([](nlohmann::json& layout) {
    auto& sections = layout["sections"];
    sections.erase(std::remove_if(sections.begin(), sections.end(),
                                  [](const nlohmann::json& s) { return s["number"] == 21; }),
                   sections.end());
  });
  Dados(Declarante(1) + Declarante(2) + Inserir({2, "111.111.111-11", "Ana"}) +
        "INSERT INTO DIRFRENDRECEBACUM (CODIGOEMPRESA, ANOBASE, TIPOINSCRBENEF, "
        "INSCRFEDERALBENEF, SEQ) VALUES (2, '2023-01-01', 1, '111.111.111-11', 1);");
  const review_test::Execucao e = Rodar({}, {}, path);
  EXPECT_FALSE(e.result.ok);
  EXPECT_NE(e.result.error.find("21"), std::string::npos) << e.result.error;
  EXPECT_EQ(e.result.messages.captions, std::vector<std::string>{"Mensagens"});
  ASSERT_EQ(e.result.messages.entries.size(), 2u);
  EXPECT_EQ(nrw::MessageLine(e.result.messages.entries[1]), "Empresa 1 - Empresa 1");
}

}  // namespace
