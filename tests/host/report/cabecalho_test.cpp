// The company heading: the registration punctuated by its type, the panel's selection left alone.
#include <gtest/gtest.h>

#include <memory>

#include "nrw/report.h"
#include "report/engine.h"
#include "report/report_host.h"
#include "report_fixtures.h"

namespace {

constexpr const char* kLayout = R"({"report": "RptCabecalho", "page": {"width_mm": 100,
  "height_mm": 100}, "params": [{"name": "pCodigoEmpresa", "type": "selection"}],
  "sections": [{"number": 8, "height_mm": 5}]})";

TEST(CabecalhoRelatorio, PunctuatesByRegistrationTypeAndKeepsTheSelection) {
  const report_test::MemoryDatabase database(R"sql(
    create table EMPRESA (CODIGOEMPRESA integer, NOMEEMPRESA varchar(100));
    create table ESTAB (CODIGOEMPRESA integer, CODIGOESTAB integer, TIPOINSCR integer,
                        INSCRFEDERAL varchar(20));
    insert into EMPRESA values (1, 'Metalúrgica'), (2, 'Produtor'), (3, 'Obra'), (4, 'Sem tipo');
    insert into ESTAB values (1, 1, 2, '23731293000182'), (2, 1, 1, '76350656962'),
                             (3, 1, 3, '123456789012'), (4, 1, 0, '76350656962');
  )sql");
  const std::unique_ptr<nrw::TnrwReport> report = nrw::ReportHost::Make(
      std::make_unique<nrw::TnReportEngine>(report_test::SharedLayout(kLayout)));
  nrw::TnpqPowerParam& panel = report->GetParams();
  panel.SetValues("pCodigoEmpresa", "1..4");
  nrw::TnCabecalhoRelatorio cabecalho(*report, false, false, false, false, false, {8}, -1, 1, 1,
                                      "1", "", false);
  struct Case {
    int company;
    const char* inscr;
  };
  const Case cases[] = {{1, "23.731.293/0001-82"},
                        {2, "763.506.569-62"},
                        {3, "12.345.67890/12"},
                        {4, "763.506.569-62"}};
  for (const Case& c : cases) {
    cabecalho.Executar(c.company);
    EXPECT_EQ(panel.GetValues("pInscrFed"), c.inscr) << c.company;
    EXPECT_EQ(panel.GetValues("pCodigoEmpresaCabecalho"), std::to_string(c.company));
    EXPECT_EQ(panel.GetValues("pCodigoEmpresa"), "1..4") << "the selection stays";
  }
}

}  // namespace
