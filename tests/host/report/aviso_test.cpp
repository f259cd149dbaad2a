#include "nrw/aviso.h"

#include <gtest/gtest.h>

#include <memory>

#include "report/engine.h"
#include "report/report_host.h"
#include "report_fixtures.h"

namespace {

std::vector<std::pair<int, std::string>> Listed(nrw::TnrwReport& report) {
  std::vector<std::pair<int, std::string>> listed;
  for (const nrw::MessageEntry& entry : nrw::ReportHost::Engine(report).Messages().entries) {
    listed.emplace_back(entry.kind, nrw::MessageLine(entry));
  }
  return listed;
}

// An item's code is a company: the message page names it (the trace keeps what was sent).
TEST(Aviso, ListsTitlesWithTheirItemsThenLooseMessages) {
  const report_test::MemoryDatabase db(
      "CREATE TABLE EMPRESA (CODIGOEMPRESA INTEGER, NOMEEMPRESA TEXT);"
      "INSERT INTO EMPRESA VALUES (12, 'Doze Ltda');");
  const auto owned = nrw::ReportHost::Make(std::make_unique<nrw::TnReportEngine>());
  nrw::TnrwReport& report = *owned;
  nrw::TnAviso aviso(report);
  aviso.AddAviso("solta antes");
  aviso.AddTituloMensagem("Empresas não geradas", 5);
  aviso.AddAviso("", 12);
  aviso.AddAviso("Empresa", 7);
  aviso.AddTituloMensagem("Título vazio", 3);
  aviso.RemoverIndiceDoTitulo();
  aviso.AddAviso("solta depois");
  aviso.Listar();
  const std::vector<std::pair<int, std::string>> expected = {{5, "Empresas não geradas"},
                                                             {5, "Empresa 12 - Doze Ltda"},
                                                             {5, "Empresa 7: Empresa 7"},
                                                             {0, "solta antes"},
                                                             {0, "solta depois"}};
  EXPECT_EQ(Listed(report), expected);
}

TEST(Aviso, TitleAloneIsEmptyAndClearingForgetsTheTitle) {
  const auto owned = nrw::ReportHost::Make(std::make_unique<nrw::TnReportEngine>());
  nrw::TnrwReport& report = *owned;
  nrw::TnAviso aviso(report);
  aviso.AddTituloMensagem("Título", 5);
  EXPECT_TRUE(aviso.IsEmpty());
  aviso.AddAviso("item");
  EXPECT_FALSE(aviso.IsEmpty());
  aviso.LimparTodosOsAvisos();
  EXPECT_TRUE(aviso.IsEmpty());
  aviso.AddAviso("Atenção!");
  aviso.Listar();
  EXPECT_EQ(Listed(report), (std::vector<std::pair<int, std::string>>{{0, "Atenção!"}}));
}

}  // namespace
