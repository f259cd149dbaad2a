#include "nrw/aviso.h"

#include <gtest/gtest.h>

#include <memory>

#include "report/engine.h"
#include "report/report_host.h"

namespace {

std::vector<std::pair<int, std::string>> Listed(nrw::TnrwReport& report) {
  std::vector<std::pair<int, std::string>> listed;
  for (const nrw::MessageEntry& entry : nrw::ReportHost::Engine(report).Messages().entries) {
    listed.emplace_back(entry.kind, entry.text);
  }
  return listed;
}

TEST(Aviso, ListsTitlesWithTheirItemsThenLooseMessages) {
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
                                                             {5, "12"},
                                                             {5, "Empresa 7"},
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
