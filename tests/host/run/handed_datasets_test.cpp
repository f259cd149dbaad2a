// Record datasets the host hands to a module by handle: what they hold, how they are handed over
// and withdrawn, and how a dataset the module left with records is reported.
#include "run/handed_datasets.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "host/report/report_fixtures.h"
#include "nrw/format.h"
#include "nrw/handles.h"
#include "nrwhost/trace.h"
#include "report/engine.h"
#include "report/report_host.h"

namespace {

constexpr const char* kData = R"(
  CREATE TABLE REG_A (CODIGOEMPRESA INTEGER, ANOBASE DATE, NOME VARCHAR(20));
  INSERT INTO REG_A VALUES (2, '2023-01-01', 'dois'), (1, '2023-01-01', 'um'),
                           (1, '2022-01-01', 'antigo'), (3, '2023-01-01', 'tres');
  CREATE TABLE REG_B (CODIGOEMPRESA INTEGER, ANOBASE DATE, VALOR INTEGER);
  INSERT INTO REG_B VALUES (1, '2022-01-01', 10);
)";

constexpr const char* kLayout = R"json({
  "report": "RptEntregues",
  "page": {"width_mm": 100, "height_mm": 100},
  "params": [{"name": "pAnoBase", "type": "date"}, {"name": "pEmpresas", "type": "selection"}],
  "handed_datasets": {
    "where": "EXTRACT(YEAR FROM ANOBASE) = EXTRACT(YEAR FROM :pAnoBase)",
    "filters": [{"param": "pEmpresas", "columns": ["CODIGOEMPRESA"], "kind": 1}],
    "datasets": [{"param": "pA", "table": "REG_A", "order": "CODIGOEMPRESA, NOME"},
                 {"param": "pB", "table": "REG_B"}]
  }
})json";

std::vector<std::string> Nomes(nrw::TnClientDataSet& rows) {
  std::vector<std::string> nomes;
  for (rows.First(); !rows.Eof(); rows.Next()) nomes.push_back(rows.FieldByName("NOME").AsString());
  return nomes;
}

std::string ErrorOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const nrw::Exception& error) {
    return error.what();
  }
  return "";
}

class HandedDataSets : public ::testing::Test {
 protected:
  explicit HandedDataSets(const char* layout = kLayout)
      : report_(nrw::ReportHost::Make(
            std::make_unique<nrw::TnReportEngine>(report_test::SharedLayout(layout)))) {
    engine().SetTrace(&trace_);
    engine().SetTracing(true);
    Set("pAnoBase", "01/01/2023", false);
  }
  nrw::TnReportEngine& engine() { return nrw::ReportHost::Engine(*report_); }
  void Set(const char* name, const std::string& value, bool restricts) {
    engine().Panel().SetValues(name, value);
    engine().Panel().Param(name).Checked = restricts;
  }

  report_test::MemoryDatabase database_{kData};
  nrw::TraceCollector trace_;
  std::unique_ptr<nrw::TnrwReport> report_;
};

TEST(HandedDataSetSql, SharedConditionAndRestrictingFiltersInParentheses) {
  const nrw::Layout layout = report_test::TestLayout(kLayout);
  const nrw::LayoutHandedDataSet& a = layout.handed.datasets[0];
  const nrw::LayoutHandedDataSet& b = layout.handed.datasets[1];
  nrw::TnpqPowerParam panel;
  panel.SetValues("pEmpresas", "1..2");
  EXPECT_EQ(nrw::HandedDataSetSql(layout.handed, b, panel),
            "select * from REG_B where (EXTRACT(YEAR FROM ANOBASE) = EXTRACT(YEAR FROM "
            ":pAnoBase))")
      << "a selection that does not restrict adds nothing";
  panel.Param("pEmpresas").Checked = true;
  EXPECT_EQ(nrw::HandedDataSetSql(layout.handed, a, panel),
            "select * from REG_A where (EXTRACT(YEAR FROM ANOBASE) = EXTRACT(YEAR FROM "
            ":pAnoBase)) and ((CODIGOEMPRESA between 1 and 2)) order by CODIGOEMPRESA, NOME");

  nrw::LayoutHandedDataSets bare;
  EXPECT_EQ(nrw::HandedDataSetSql(bare, b, panel), "select * from REG_B");
}

TEST_F(HandedDataSets, HoldTheRowsOfTheSelectedCompaniesAndYear) {
  struct Case {
    const char* empresas;
    bool restricts;
    std::vector<std::string> nomes;
  };
  const Case cases[] = {
      {"", false, {"um", "dois", "tres"}},
      {"1..2", true, {"um", "dois"}},
      {"3;7", true, {"tres"}},
      {"9", true, {}},
  };
  for (const Case& c : cases) {
    Set("pEmpresas", c.empresas, c.restricts);
    nrw::HandedDataSets handed(engine());
    ASSERT_EQ(handed.Count(), 2u);
    EXPECT_EQ(Nomes(handed.DataSet(0)), c.nomes) << c.empresas;
    nrw::TnClientDataSet& b = handed.DataSet(1);
    EXPECT_TRUE(b.Active()) << "a table without rows of the selection gives an open dataset";
    EXPECT_TRUE(b.IsEmpty());
    EXPECT_NE(b.FindField("VALOR"), nullptr) << "and keeps its columns";
  }
}

TEST_F(HandedDataSets, AreReachableByTheirParametersOnlyWhileHandedOver) {
  trace_.Clear();
  std::vector<int32_t> handles;
  {
    nrw::HandedDataSets handed(engine());
    for (size_t i = 0; i < handed.Count(); ++i) {
      const std::string param = i == 0 ? "pA" : "pB";
      const int32_t handle = static_cast<int32_t>(nrw::StrToInt(engine().Panel().GetValues(param)));
      EXPECT_EQ(handle, handed.Handle(i));
      EXPECT_EQ(nrw::ResolveHandle(handle), &handed.DataSet(i)) << param;
      handles.push_back(handle);
    }
  }
  for (const int32_t handle : handles) EXPECT_EQ(nrw::ResolveHandle(handle), nullptr);
  EXPECT_TRUE(trace_.Lines().empty()) << "host work and run-dependent handles stay off the trace";
}

TEST_F(HandedDataSets, CheckCountsEveryRecordTheModuleLeft) {
  Set("pAnoBase", "01/01/2022", false);
  nrw::HandedDataSets handed(engine());
  nrw::TnClientDataSet& a = handed.DataSet(0);
  nrw::TnClientDataSet& b = handed.DataSet(1);
  // A filter the module left on hides the record without removing it.
  a.SetFilter("NOME = 'nenhum'");
  a.SetFiltered(true);
  b.Close();
  EXPECT_EQ(ErrorOf([&] { handed.CheckEmptied(); }),
            "O relatório não esvaziou os conjuntos de dados recebidos do host: pA (REG_A, 1 "
            "registro), pB (REG_B, 1 registro).");

  a.EmptyDataSet();
  b.Open();
  b.EmptyDataSet();
  b.Close();
  EXPECT_EQ(ErrorOf([&] { handed.CheckEmptied(); }), "");
}

constexpr const char* kLayoutSemTabela = R"({
  "report": "RptEntregues",
  "page": {"width_mm": 100, "height_mm": 100},
  "params": [{"name": "pAnoBase", "type": "date"}],
  "handed_datasets": {"datasets": [{"param": "pA", "table": "REG_A"},
                                   {"param": "pX", "table": "NAO_EXISTE"}]}
})";

class HandedDataSetsFailing : public HandedDataSets {
 protected:
  HandedDataSetsFailing() : HandedDataSets(kLayoutSemTabela) {}
};

TEST_F(HandedDataSetsFailing, StatementErrorNamesTheDatasetAndWithdrawsTheOthers) {
  const std::string error = ErrorOf([&] { nrw::HandedDataSets handed(engine()); });
  EXPECT_EQ(error.rfind("Conjunto de dados pX (NAO_EXISTE): ", 0), 0u) << error;
  const int32_t handle = static_cast<int32_t>(nrw::StrToInt(engine().Panel().GetValues("pA")));
  EXPECT_EQ(nrw::ResolveHandle(handle), nullptr) << "the dataset loaded before is freed";
}

}  // namespace
