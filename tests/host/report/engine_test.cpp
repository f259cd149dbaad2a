#include "report/engine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "data/dataset_builder.h"
#include "layout/page_count.h"
#include "nrw/events.h"
#include "nrw/report.h"
#include "nrwhost/trace.h"
#include "report/report_host.h"
#include "report_fixtures.h"

namespace {

// Body of 100 mm: a 10 mm heading leaves 90 mm, four 20 mm bands and a bit.
constexpr const char* kLayout = R"({
  "report": "RptMotor",
  "title": "Motor",
  "page": {"width_mm": 100, "height_mm": 120, "margins_mm": {"top": 10, "bottom": 10}},
  "text_grid": {"column_mm": 2.5, "row_mm": 5},
  "sections": [
    {"number": 1, "kind": "page_heading", "height_mm": 10,
     "items": [{"type": "text", "x_mm": 0, "y_mm": 0, "w_mm": 50, "h_mm": 5,
                "text": "Página [pPag]"}]},
    {"number": 10, "height_mm": 20,
     "items": [{"type": "text", "x_mm": 0, "y_mm": 0, "w_mm": 50, "h_mm": 5, "text": "[R1]"}]},
    {"number": 11, "height_mm": 5},
    {"number": 12, "height_mm": 20,
     "items": [{"type": "label", "name": "Etiqueta", "x_mm": 0, "y_mm": 0, "w_mm": 50,
                "h_mm": 5, "text": "fixo [R1]", "wrap": false}]}
  ]
})";

class Engine : public ::testing::Test {
 protected:
  nrw::TnReportEngine& engine() { return nrw::ReportHost::Engine(*report_); }
  nrw::TnpqPowerParam& panel() { return report_->GetParams(); }

  //! Section numbers per page.
  std::vector<std::vector<int>> PageSections() const {
    std::vector<std::vector<int>> pages;
    for (const nrw::Page& page : report_engine().Pages().Pages()) {
      std::vector<int> numbers;
      for (const nrw::PlacedSection& section : page.sections) numbers.push_back(section.number);
      pages.push_back(numbers);
    }
    return pages;
  }
  const nrw::TnReportEngine& report_engine() const { return nrw::ReportHost::Engine(*report_); }
  const nrw::PlacedSection& Placed(size_t page, size_t index) const {
    return report_engine().Pages().Pages().at(page).sections.at(index);
  }

  std::unique_ptr<nrw::TnrwReport> report_ = nrw::ReportHost::Make(
      std::make_unique<nrw::TnReportEngine>(report_test::SharedLayout(kLayout)));
};

TEST_F(Engine, BandThatDoesNotFitStartsAPageWithItsHeadings) {
  for (int i = 0; i < 5; ++i) report_->RepPrintSection(10);
  EXPECT_EQ(PageSections(), (std::vector<std::vector<int>>{{1, 10, 10, 10, 10}, {1, 10}}));
  EXPECT_DOUBLE_EQ(Placed(1, 1).top_mm, 10);
}

TEST_F(Engine, PageEndFlagBreaksBeforeTheNextSectionOnly) {
  report_->RepPrintSection(11);
  EXPECT_FALSE(report_->CSLIsPageEnd());
  report_->SetCSLIsPageEnd(true);
  EXPECT_TRUE(report_->CSLIsPageEnd());
  report_->RepPrintSection(11);
  EXPECT_FALSE(report_->CSLIsPageEnd()) << "the new page clears the flag";
  report_->RepEndOfPage(true);
  report_->RepPrintSection(11);
  report_->RepPrintSection(11);
  EXPECT_EQ(PageSections(), (std::vector<std::vector<int>>{{1, 11}, {1, 11}, {1, 11, 11}}));
}

TEST_F(Engine, CanPrintMeasuresWhatIsLeftOnThePage) {
  struct Case {
    const char* name;
    std::vector<std::pair<int, int>> pairs;
    bool fits;
  };
  // No page yet: a fresh body of 90 mm below the heading.
  const Case fresh[] = {
      {"four bands on a fresh page", {{10, 4}}, true},
      {"five bands on a fresh page", {{10, 5}}, false},
      {"unknown sections weigh nothing", {{10, 4}, {99, 50}}, true},
      {"sum over pairs", {{10, 3}, {11, 7}}, false},
      {"zero lines", {{10, 0}}, true},
  };
  for (const Case& c : fresh) EXPECT_EQ(report_->DelphiCanPrintSection(c.pairs), c.fits) << c.name;

  report_->RepPrintSection(10);
  report_->RepPrintSection(10);  // 50 mm used, 50 left
  EXPECT_TRUE(report_->DelphiCanPrintSection({{10, 2}, {11, 2}})) << "exactly 50 mm";
  EXPECT_FALSE(report_->DelphiCanPrintSection({{10, 2}, {11, 3}}));
  report_->SetCSLIsPageEnd(true);
  EXPECT_TRUE(report_->DelphiCanPrintSection({{10, 4}})) << "pending page end: a fresh page";
}

// One row per 5 mm on a 20-column grid: section 10's [R1] (one row of 50 mm) holds 20 characters.
TEST_F(Engine, PagesAreMeasuredWithTheRowsTextsGrowTo) {
  const std::string two_rows(30, 'x');
  panel().SetValues("R1", "curto");
  EXPECT_TRUE(report_->DelphiCanPrintSection({{10, 4}}));
  panel().SetValues("R1", "palavras " + two_rows.substr(0, 20));  // 29 characters: two rows
  EXPECT_FALSE(report_->DelphiCanPrintSection({{10, 4}})) << "four bands of 25 mm";
  EXPECT_TRUE(report_->DelphiCanPrintSection({{10, 3}}));

  report_->RepPrintSection(10);
  report_->RepPrintSection(10);
  report_->RepPrintSection(10);  // 75 mm used, 15 left
  EXPECT_DOUBLE_EQ(Placed(0, 3).top_mm, 10 + 50);
  panel().SetValues("R1", "curto");
  EXPECT_FALSE(report_->DelphiCanPrintSection({{10, 1}})) << "20 mm do not fit in 15";
  report_->RepPrintSection(12);  // 20 mm: a new page
  EXPECT_EQ(PageSections(), (std::vector<std::vector<int>>{{1, 10, 10, 10}, {1, 12}}));
}

TEST_F(Engine, AHeadingThatGrowsLeavesLessOfAFreshPage) {
  panel().SetValues("pPag", "1");
  EXPECT_TRUE(report_->DelphiCanPrintSection({{10, 4}, {11, 2}})) << "exactly 90 mm";
  panel().SetValues("pPag", "número da página grande");
  EXPECT_FALSE(report_->DelphiCanPrintSection({{10, 4}, {11, 2}})) << "the heading takes 15 mm";
}

TEST_F(Engine, HeadingsRaiseTheBeforeSectionEventAndShowItsVariables) {
  nrw::TObject owner;
  const nrw::EventBinding<int> count_pages(report_->OnBeforeSection, owner, [this](int section) {
    if (section == 1)
      panel().SetValues("pPag", std::to_string(panel().Param("pPag").GetAsInteger() + 1));
  });
  for (int i = 0; i < 6; ++i) report_->RepPrintSection(10);
  ASSERT_EQ(PageSections().size(), 2u);
  EXPECT_EQ(Placed(0, 0).texts.at(0), "Página 1");
  EXPECT_EQ(Placed(1, 0).texts.at(0), "Página 2");
}

TEST_F(Engine, AfterSectionHandlersMayPrintFurtherSections) {
  nrw::TObject owner;
  std::vector<int> seen;
  const nrw::EventBinding<nrw::TObject*, int> follow(report_->OnAfterSection, owner,
                                                     [&](nrw::TObject* sender, int section) {
                                                       seen.push_back(section);
                                                       EXPECT_EQ(sender, report_.get());
                                                       if (section == 10)
                                                         report_->RepPrintSection(11);
                                                       if (section == 11)
                                                         report_->RepPrintSection(12);
                                                     });
  report_->RepPrintSection(10);
  EXPECT_EQ(PageSections(), (std::vector<std::vector<int>>{{1, 10, 11, 12}}));
  EXPECT_EQ(seen, (std::vector<int>{1, 10, 11, 12}));
}

TEST_F(Engine, TextsArePrintedComposed) {
  panel().SetValues("R1", "Jose\xCC\x81 Joa\xCC\x83o");
  report_->RepPrintSection(10);
  EXPECT_EQ(Placed(0, 1).texts.at(0), "José João");
  EXPECT_EQ(Placed(0, 1).flow.items.at(0).lines.at(0).text.size(), 9u) << "one cell a letter";
}

TEST_F(Engine, SectionsKeepTheValuesOfTheMomentTheyWerePrinted) {
  panel().SetValues("R1", "primeiro");
  report_->RepPrintSection(10);
  panel().SetValues("r1", "segundo");
  report_->RepPrintSection(10);
  EXPECT_EQ(Placed(0, 1).texts.at(0), "primeiro");
  EXPECT_EQ(Placed(0, 2).texts.at(0), "segundo");
}

TEST_F(Engine, UnknownSectionIsAnError) {
  try {
    report_->RepPrintSection(77);
    FAIL() << "no error";
  } catch (const nrw::Exception& error) {
    EXPECT_STREQ(error.what(), "Seção 77 não existe no layout de RptMotor");
  }
}

TEST_F(Engine, ObjectsFollowTheirCaptionAndProperties) {
  panel().SetValues("R1", "x");
  report_->RepPrintSection(12);
  report_->RepObjCaption("etiqueta", "novo [R1]");
  report_->RepPrintSection(12);
  report_->RepObjProperty("ETIQUETA", "Enabled", "False");
  report_->RepPrintSection(12);
  report_->RepObjProperty("Etiqueta", "Enabled", "True");
  report_->RepPrintSection(12);
  EXPECT_EQ(Placed(0, 1).texts.at(0), "fixo x");
  EXPECT_EQ(Placed(0, 2).texts.at(0), "novo x");
  EXPECT_TRUE(Placed(0, 3).hidden.at(0));
  EXPECT_TRUE(Placed(0, 4).hidden.empty()) << "shown again";
}

// "@var(gemVNomeEmpresa;[CODIGOEMPRESA])": the company of the main dataset's current record when
// the section is placed; a value that reads "@var(" is printed, never evaluated.
TEST_F(Engine, CaptionExpressionsNameTheCompanyOfTheCurrentRecord) {
  const report_test::MemoryDatabase db(
      "create table EMPRESA (CODIGOEMPRESA integer, NOMEEMPRESA varchar(100));"
      "insert into EMPRESA values (1, 'Metalúrgica Vale'), (2, 'Comercial Serra');");
  nrw::TnDataSetBuilder rows({{"CODIGOEMPRESA", nrw::TFieldType::Integer}});
  for (const int code : {1, 2, 9}) {
    rows.AppendInteger(code);
    rows.EndRow();
  }
  const std::unique_ptr<nrw::TnClientDataSet> main = nrw::DataSetHost::Make(rows.Finish());
  engine().SetMainRows(*main);
  nrw::TnClientDataSet& query = report_->Query();

  panel().SetValues("R1", "@var(gemVNomeEmpresa;1)");
  report_->RepObjCaption("Etiqueta", "Empresa: @var(gemVNomeEmpresa;[CODIGOEMPRESA]) [[[R1]]");
  for (query.First(); !query.Eof(); query.Next()) report_->RepPrintSection(12);
  EXPECT_EQ(Placed(0, 1).texts.at(0), "Empresa: Metalúrgica Vale [@var(gemVNomeEmpresa;1)]");
  EXPECT_EQ(Placed(0, 2).texts.at(0), "Empresa: Comercial Serra [@var(gemVNomeEmpresa;1)]");
  EXPECT_EQ(Placed(0, 3).texts.at(0), "Empresa:  [@var(gemVNomeEmpresa;1)]") << "no such company";

  report_->RepObjCaption("Etiqueta", "@var(gemVNomeEmpresa;[CODIGOEMPRESA]");
  report_->RepPrintSection(12);
  EXPECT_EQ(Placed(0, 4).texts.at(0), "@var(gemVNomeEmpresa;") << "unclosed: kept as written";

  report_->RepObjCaption("Etiqueta", "@var(gemVNomeFilial;1)");
  EXPECT_THROW(report_->RepPrintSection(12), nrw::Exception);
}

TEST_F(Engine, PanelValuesTakeTheMaskOfTheirPlaceholder) {
  panel().SetValues("pAnoBase", "01/01/2023");
  panel().SetValues("pEmpresa", "7");
  report_->RepObjCaption("Etiqueta",
                         "[pAnoBase:yyyy] [pEmpresa:0000] [pAnoBase:0000] [pEmpresa:yyyy]");
  report_->RepPrintSection(12);
  EXPECT_EQ(Placed(0, 1).texts.at(0), "2023 0007 01/01/2023 7") << "a mask of the wrong kind";

  panel().SetValues("pValor", "R$ 1.234,5");
  panel().SetValues("pVazio", "");
  panel().SetValues("pTexto", "Normal");
  report_->RepObjCaption("Etiqueta", "[pValor:#,##0.00]|[pVazio:#,##0.00]|[pTexto:#,##0.00]");
  report_->RepPrintSection(12);
  EXPECT_EQ(Placed(0, 2).texts.at(0), "1.234,50|0,00|Normal")
      << "amounts without their currency, blanks as zero, texts as they are";
}

TEST(EventBinding, DetachesOnlyWhatItsObjectStillHolds) {
  nrw::TnEvent<int> event;
  nrw::TObject first_owner;
  nrw::TObject second_owner;
  int calls = 0;
  {
    const nrw::EventBinding<int> first(event, first_owner, [&](int) { ++calls; });
    event(1);
  }
  EXPECT_FALSE(event.Assigned()) << "freed binding detaches";
  EXPECT_EQ(event.Object(), nullptr);
  {
    const nrw::EventBinding<int> first(event, first_owner, [&](int) { ++calls; });
    const nrw::EventBinding<int> second(event, second_owner, [&](int) { calls += 10; });
  }
  EXPECT_FALSE(event.Assigned());
  nrw::EventBinding<int> kept;
  {
    const nrw::EventBinding<int> first(event, first_owner, [&](int) { ++calls; });
    kept = nrw::EventBinding<int>(event, second_owner, [&](int) { calls += 10; });
  }
  event(1);
  EXPECT_EQ(calls, 11) << "the first binding left the second owner's handler in place";
}

TEST(Panel, OneCaseInsensitiveNamespaceWhereEmptyTextClears) {
  nrw::TnpqPowerParam panel;
  nrw::PanelHost::AddItem(panel, "pAnoBase").SetValue("2024");
  panel.SetValues("PANOBASE", "2023");
  EXPECT_EQ(panel.GetValues("panobase"), "2023");
  EXPECT_EQ(&panel.Param("pAnoBASE"), panel.FindParam("pAnoBase"));
  EXPECT_FALSE(panel.FindParam("PANOBASE")->Variavel);

  panel.SetValues("R1", "texto");
  EXPECT_TRUE(panel.Param("r1").Variavel);
  panel.SetValues("r1", "");
  EXPECT_EQ(panel.GetValues("R1"), "");
  EXPECT_EQ(panel.GetValues("nunca"), "");
  EXPECT_EQ(nrw::PanelHost::Items(panel).size(), 2u);
}

TEST(Panel, ItemConversionsFallBackToDefaults) {
  nrw::TnpqPowerParam panel;
  nrw::TnpqParamItem& item = panel.Param("pData");
  item.SetValue("abc");
  EXPECT_EQ(item.GetAsInteger(), 0);
  EXPECT_EQ(item.GetAsDate(), nrw::TDateTime());
  item.SetAsDate(nrw::EncodeDate(2024, 2, 29));
  EXPECT_EQ(item.GetAsString(), "29/02/2024");
  item.SetAsInteger(-12);
  EXPECT_EQ(item.GetAsInteger(), -12);
}

TEST(Panel, LookupFilterPassesThroughItsEvent) {
  nrw::TnpqPowerParam panel;
  nrw::TnpqParamItem& item = nrw::PanelHost::AddItem(panel, "pFuncionarios");
  item.SetControl(std::make_unique<nrw::TnFraCtrlNDLink>(item));
  auto& lookup = dynamic_cast<nrw::TnFraCtrlNDLink&>(*panel.EdFindFieldControl("pfuncionarios"));
  EXPECT_EQ(lookup.MontarFiltro("A = 1"), "A = 1");
  nrw::TObject owner;
  const nrw::EventBinding<nrw::TObject*, std::string&> amend(
      lookup.OnDepoisCriarFiltro, owner, [&](nrw::TObject* sender, std::string& filter) {
        EXPECT_EQ(sender, &lookup);
        filter += " AND B = 2";
      });
  EXPECT_EQ(lookup.MontarFiltro("A = 1"), "A = 1 AND B = 2");
  panel.EdEnabledField("PFUNCIONARIOS", false);
  EXPECT_FALSE(lookup.Enabled());
}

TEST_F(Engine, TraceRecordsModuleActionsInCallOrder) {
  nrw::TraceCollector trace;
  engine().SetTrace(&trace);
  panel().SetValues("antes", "não gravado");
  engine().SetTracing(true);

  panel().SetValues("R1", "Ação");
  report_->RepPrintSection(10);
  report_->DelphiCanPrintSection({{10, 2}, {11, 1}});
  report_->SetCSLIsPageEnd(true);
  report_->RepEndOfPage(true);
  report_->CSLShowProgress(1, 3);
  report_->MsgConfigurar({"Mensagem"});
  report_->MsgMensagem(5, "Empresa \"1\"");
  report_->RepObjCaption("Etiqueta", "Novo");
  report_->RepObjProperty("Etiqueta", "Enabled", "False");
  panel().Param("pCopias").SetAsInteger(2);
  panel().Param("pData").SetAsDate(nrw::EncodeDate(2024, 1, 31));

  const std::vector<std::string> expected = {
      R"({"ev":"set","name":"R1","value":"Ação"})",
      R"({"ev":"print","section":1,"page":1,"auto":true})",
      R"({"ev":"print","section":10,"page":1})",
      R"({"ev":"canprint","pairs":[[10,2],[11,1]],"fits":true})",
      R"({"ev":"pageend"})",
      R"({"ev":"endofpage"})",
      R"({"ev":"progress","pos":1,"total":3})",
      R"({"ev":"msgconfig","captions":["Mensagem"]})",
      R"({"ev":"message","kind":5,"text":"Empresa \"1\""})",
      R"({"ev":"caption","object":"Etiqueta","caption":"Novo"})",
      R"({"ev":"property","object":"Etiqueta","property":"Enabled","value":"False"})",
      R"({"ev":"set","name":"pCopias","value":"2"})",
      R"({"ev":"set","name":"pData","value":"31/01/2024"})",
  };
  EXPECT_EQ(trace.Lines(), expected);
}

// Body of 100 mm below a 10 mm heading that counts the pages of its group. Section 20 is a group
// heading (while R1 is not blank) kept with 21, which is kept with 22 or 25; 23 shows once a page.
constexpr const char* kKeepLayout = R"({
  "report": "RptJuntas",
  "page": {"width_mm": 100, "height_mm": 120, "margins_mm": {"top": 10, "bottom": 10}},
  "text_grid": {"column_mm": 2.5, "row_mm": 5},
  "sections": [
    {"number": 1, "kind": "page_heading", "height_mm": 10,
     "items": [{"type": "text", "x_mm": 0, "y_mm": 0, "w_mm": 50, "h_mm": 5,
                "text": "Página [pPag] de [@PAGINAS:pPag]"}]},
    {"number": 20, "height_mm": 10, "keep_with_next": [21], "repeat_on_new_page": {"when": "R1"},
     "items": [{"type": "text", "x_mm": 0, "y_mm": 0, "w_mm": 50, "h_mm": 5, "text": "[R1]"}]},
    {"number": 21, "height_mm": 20, "keep_with_next": {"sections": [22, 25], "count": 1}},
    {"number": 22, "height_mm": 20},
    {"number": 23, "height_mm": 5, "once_per_page": true},
    {"number": 25, "height_mm": 70}
  ]
})";

class KeepTogether : public ::testing::Test {
 protected:
  KeepTogether() {
    engine().SetTrace(&trace_);
    engine().SetTracing(true);
  }
  nrw::TnReportEngine& engine() { return nrw::ReportHost::Engine(*report_); }
  //! Section numbers per page; a repeated heading as its number plus 1000.
  std::vector<std::vector<int>> PageSections() {
    std::vector<std::vector<int>> pages;
    for (const nrw::Page& page : engine().Pages().Pages()) {
      std::vector<int> numbers;
      for (const nrw::PlacedSection& section : page.sections) numbers.push_back(section.number);
      pages.push_back(numbers);
    }
    return pages;
  }
  void Print(std::initializer_list<int> sections) {
    for (const int section : sections) report_->RepPrintSection(section);
  }

  nrw::TraceCollector trace_;
  std::unique_ptr<nrw::TnrwReport> report_ = nrw::ReportHost::Make(
      std::make_unique<nrw::TnReportEngine>(report_test::SharedLayout(kKeepLayout)));
};

TEST_F(KeepTogether, BandsKeptWithTheNextMoveWithItWhenTheyFitAFreshPage) {
  using Pages = std::vector<std::vector<int>>;
  const struct {
    const char* name;
    std::vector<int> prints;
    Pages pages;
  } cases[] = {
      {"heading and line go with the band that does not fit",
       {22, 22, 22, 20, 21, 22},
       {{1, 22, 22, 22}, {1, 20, 21, 22}}},
      {"a band kept with nothing stays", {22, 22, 22, 22, 22}, {{1, 22, 22, 22, 22}, {1, 22}}},
      {"too tall together for a fresh page: nothing moves",
       {22, 20, 21, 25},
       {{1, 22, 20, 21}, {1, 20, 25}}},
      {"all the page keeps with it: nothing moves", {20, 21, 25}, {{1, 20, 21}, {1, 20, 25}}},
      {"kept only with the sections named",
       {22, 22, 22, 20, 21, 23, 22},
       {{1, 22, 22, 22, 20, 21}, {1, 20, 23, 22}}},
  };
  for (const auto& c : cases) {
    report_ = nrw::ReportHost::Make(
        std::make_unique<nrw::TnReportEngine>(report_test::SharedLayout(kKeepLayout)));
    report_->GetParams().SetValues("R1", "Empresa 1");
    for (const int section : c.prints) report_->RepPrintSection(section);
    EXPECT_EQ(PageSections(), c.pages) << c.name;
  }
}

TEST_F(KeepTogether, AnExplicitPageEndTakesTheKeptBandsAlong) {
  report_->GetParams().SetValues("R1", "");
  Print({22, 20, 21});
  report_->SetCSLIsPageEnd(true);
  Print({22});
  EXPECT_EQ(PageSections(), (std::vector<std::vector<int>>{{1, 22}, {1, 20, 21, 22}}));
  EXPECT_NE(std::find(trace_.Lines().begin(), trace_.Lines().end(),
                      R"({"ev":"keep","sections":[20,21],"page":2})"),
            trace_.Lines().end());
}

TEST_F(KeepTogether, AGroupHeadingOpensEveryPageOfItsGroup) {
  nrw::TnpqPowerParam& panel = report_->GetParams();
  panel.SetValues("R1", "Empresa 1");
  Print({20, 22, 22, 22, 22});  // page 1 full
  panel.SetValues("R1", "");
  Print({20, 22, 22, 22});  // printed with R1 blank, 20 is no heading: Empresa 1 opens page 2
  panel.SetValues("R1", "Empresa 2");
  Print({20, 22});  // Empresa 2 opens page 3
  panel.SetValues("R1", "Empresa 3");
  report_->SetCSLIsPageEnd(true);
  Print({20});  // a heading that starts a page brings itself
  EXPECT_EQ(PageSections(),
            (std::vector<std::vector<int>>{
                {1, 20, 22, 22, 22, 22}, {1, 20, 20, 22, 22, 22, 20}, {1, 20, 22}, {1, 20}}));
  const std::vector<nrw::Page>& pages = engine().Pages().Pages();
  EXPECT_EQ(pages.at(1).sections.at(1).texts.at(0), "Empresa 1") << "as printed";
  EXPECT_EQ(pages.at(2).sections.at(1).texts.at(0), "Empresa 2");
  EXPECT_NE(std::find(trace_.Lines().begin(), trace_.Lines().end(),
                      R"({"ev":"print","section":20,"page":2,"auto":true,"repeat":true})"),
            trace_.Lines().end());
}

TEST_F(KeepTogether, ASectionShownOncePerPageIsPlacedOnceOnEachPage) {
  int before_events = 0;
  nrw::TObject owner;
  const nrw::EventBinding<int> count(
      report_->OnBeforeSection, owner,
      [&before_events](int section) { before_events += section == 23; });
  Print({23, 23, 25, 22, 23, 23});
  EXPECT_EQ(PageSections(), (std::vector<std::vector<int>>{{1, 23, 25}, {1, 22, 23}}));
  EXPECT_EQ(before_events, 4) << "the module's events fire for every print";
}

TEST_F(KeepTogether, PagesCountTheirGroupFromTheVariableThatNumbersThem) {
  nrw::TnpqPowerParam& panel = report_->GetParams();
  for (const int number : {1, 2, 1}) {
    panel.SetValues("pPag", std::to_string(number));
    report_->SetCSLIsPageEnd(true);
    Print({22});
  }
  std::vector<int> numbers;
  for (const nrw::Page& page : engine().Pages().Pages()) numbers.push_back(page.group_page);
  EXPECT_EQ(numbers, (std::vector<int>{1, 2, 1}));
  std::vector<std::string> headings;
  const std::vector<nrw::Page>& pages = engine().Pages().Pages();
  const std::vector<nrw::PageCounts> counts = nrw::CountsOf(pages);
  for (size_t i = 0; i < pages.size(); ++i) {
    headings.push_back(
        nrw::WithPageCount(engine().GetLayout(), pages[i], counts[i]).sections[0].texts[0]);
  }
  EXPECT_EQ(headings,
            (std::vector<std::string>{"Página 1 de 2", "Página 2 de 2", "Página 1 de 1"}));
}

// A message is about what the layout's subject names as the values stand when it is sent, or else
// about the part being printed; the host's own sections are no module's to print.
TEST(EngineMessages, SubjectFromTheLayoutThenThePart) {
  const auto layout = report_test::SharedLayout(R"({
    "report": "RptAvisos", "message_subject": "{Empresa [pEmp]}{, estab. [pEstab]}",
    "page": {"width_mm": 100, "height_mm": 120}})");
  const auto report = nrw::ReportHost::Make(std::make_unique<nrw::TnReportEngine>(layout));
  nrw::TnReportEngine& engine = nrw::ReportHost::Engine(*report);
  nrw::TnpqPowerParam& panel = report->GetParams();
  engine.SetMessagePart("pEmpresas=2", "Empresas 2");
  panel.SetValues("pEmp", "1");
  report->MsgMensagem(1, "sem município");
  panel.SetValues("pEstab", "3");
  report->MsgMensagem(1, "outro");
  panel.SetValues("pEmp", "");
  panel.SetValues("pEstab", "");
  report->MsgMensagem(0, "nada");
  engine.SetMessagePart("", "");
  report->MsgMensagem(0, "fora");
  std::vector<std::string> lines;
  for (const nrw::MessageEntry& entry : engine.Messages().entries) {
    lines.push_back("[" + entry.part + "] " + nrw::MessageLine(entry));
  }
  EXPECT_EQ(lines, (std::vector<std::string>{"[pEmpresas=2] Empresa 1: sem município",
                                             "[pEmpresas=2] Empresa 1, estab. 3: outro",
                                             "[pEmpresas=2] Empresas 2: nada", "[] fora"}));
  EXPECT_THROW(report->RepPrintSection(-1), nrw::Exception);
}

}  // namespace
