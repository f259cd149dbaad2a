#include "layout/layout_loader.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "host/report/report_fixtures.h"
#include "nrw/core.h"

namespace {

constexpr const char* kPage =
    R"("page": {"width_mm": 210, "height_mm": 297, "margins_mm": {"top": 10, "bottom": 10}})";

std::string Document(const std::string& body) {
  return std::string(R"({"report": "RptX", )") + kPage + (body.empty() ? "" : ", " + body) + "}";
}

std::string ErrorOf(const std::string& json) {
  try {
    nrw::ParseLayout(json, "layouts/RptX.json");
  } catch (const nrw::Exception& error) {
    return error.what();
  }
  return "";
}

TEST(LayoutLoader, ReadsEveryPartOfALayout) {
  const nrw::Layout layout = nrw::LoadLayout(report_test::TestLayoutPath("RptReportTest"));
  EXPECT_EQ(layout.report, "RptReportTest");
  EXPECT_EQ(layout.page.orientation, nrw::LayoutOrientation::Landscape);
  EXPECT_DOUBLE_EQ(layout.page.BodyHeight(), 50);
  EXPECT_DOUBLE_EQ(layout.grid.row_mm, 5);
  ASSERT_EQ(layout.dataset.filters.size(), 2u);
  EXPECT_EQ(layout.dataset.filters[1].kind, 2);
  ASSERT_NE(layout.FindParam("PNOME"), nullptr);
  EXPECT_EQ(layout.FindParam("pnome")->control, nrw::LayoutControl::Lookup);
  EXPECT_EQ(layout.FindParam("pMinimo")->type, nrw::LayoutParamType::Integer);
  ASSERT_NE(layout.FindSeparator("pnome"), nullptr);
  EXPECT_EQ(layout.FindSeparator("pnome")->filter, "CODIGOEMPRESA < 3");
  ASSERT_EQ(layout.PageHeadings().size(), 1u);
  const nrw::LayoutSection* band = layout.FindSection(10);
  ASSERT_NE(band, nullptr);
  EXPECT_EQ(band->items.at(0).align, nrw::LayoutAlign::Right);
  EXPECT_EQ(layout.FindSection(2), nullptr);
}

TEST(LayoutLoader, DefaultsForOptionalParts) {
  const nrw::Layout layout = nrw::ParseLayout(
      Document(R"("sections": [{"number": 3, "height_mm": 5}, {"number": 1, "height_mm": 5}])"),
      "x");
  EXPECT_DOUBLE_EQ(layout.grid.column_mm, 2.5);
  EXPECT_DOUBLE_EQ(layout.grid.row_mm, 4.2333);
  EXPECT_TRUE(layout.dataset.sql.empty());
  const nrw::Layout items = nrw::ParseLayout(Document(R"("sections": [{"number": 1, "height_mm": 5,
      "items": [{"type": "text", "w_mm": 5},
                {"type": "text", "w_mm": 5, "wrap": false, "widest": "money"},
                {"type": "text", "w_mm": 5, "widest": {"pAno": "9999", "pPag": "999"}}]}])"),
                                             "x");
  const std::vector<nrw::LayoutItem>& read = items.sections.at(0).items;
  EXPECT_TRUE(read[0].wrap) << "texts wrap unless told";
  EXPECT_TRUE(read[0].widest.empty());
  EXPECT_FALSE(read[1].wrap);
  EXPECT_EQ(read[1].widest, (std::vector<std::pair<std::string, std::string>>{{"", "money"}}));
  EXPECT_EQ(read[2].widest,
            (std::vector<std::pair<std::string, std::string>>{{"pAno", "9999"}, {"pPag", "999"}}));
  EXPECT_EQ(layout.sections.front().number, 1) << "sections in number order";
  const nrw::Layout bound = nrw::ParseLayout(Document(R"("sections": [
      {"number": 1, "height_mm": 5, "keep_with_next": [2, 3], "repeat_on_new_page": true},
      {"number": 2, "height_mm": 5, "keep_with_next": {"sections": [3], "count": 2},
       "repeat_on_new_page": {"when": "R17"}, "once_per_page": true}])"),
                                             "x");
  EXPECT_EQ(bound.sections[0].keep_with_next.sections, (std::vector<int>{2, 3}));
  EXPECT_EQ(bound.sections[0].keep_with_next.count, 1);
  EXPECT_TRUE(bound.sections[0].repeat.on);
  EXPECT_EQ(bound.sections[1].keep_with_next.count, 2);
  EXPECT_EQ(bound.sections[1].repeat.when, "R17");
  EXPECT_TRUE(bound.sections[1].once_per_page);
  EXPECT_TRUE(layout.sections.front().keep_with_next.sections.empty());
  EXPECT_EQ(layout.sections.front().kind, nrw::LayoutSectionKind::Band);
  EXPECT_EQ(layout.sections.front().sheet, nrw::LayoutSheetRows::Row);
  EXPECT_EQ(read[0].cell, nrw::LayoutCell::Auto);
  EXPECT_TRUE(read[0].column.empty());
  const nrw::Layout heading = nrw::ParseLayout(
      Document(R"("sections": [{"number": 1, "kind": "page_heading", "height_mm": 5},
                               {"number": 2, "kind": "page_heading", "height_mm": 5,
                                "sheet": "none"}])"),
      "x");
  EXPECT_EQ(heading.sections[0].sheet, nrw::LayoutSheetRows::Header)
      << "the header row unless told";
  EXPECT_EQ(heading.sections[1].sheet, nrw::LayoutSheetRows::None);
}

TEST(LayoutLoader, ReportsFaultsWithFileAndPlace) {
  struct Case {
    const char* name;
    std::string json;
    std::string message;
  };
  const std::string prefix = "Layout layouts/RptX.json: ";
  const Case cases[] = {
      {"not json", "{", prefix + "JSON inválido perto do caractere 2."},
      {"a number beyond a double", R"({"report": 6e6666})",
       prefix + "JSON inválido: um número está fora dos limites."},
      {"no report", std::string("{") + kPage + "}", prefix + "'report' é obrigatório."},
      {"no page", R"({"report": "RptX"})", prefix + "'page' é obrigatório."},
      {"unknown key", Document(R"("secoes": [])"), prefix + "chave desconhecida 'secoes'."},
      {"margins eat the page",
       R"({"report": "RptX", "page": {"width_mm": 100, "height_mm": 100,
           "margins_mm": {"top": 60, "bottom": 40}}})",
       prefix + "page: as margens não deixam área útil na página."},
      {"landscape taller than wide",
       R"({"report": "RptX", "page": {"width_mm": 100, "height_mm": 200,
           "orientation": "landscape"}})",
       prefix + "page: orientação 'landscape' pede largura maior ou igual à altura."},
      {"repeated section",
       Document(R"("sections": [{"number": 8, "height_mm": 5}, {"number": 8, "height_mm": 5}])"),
       prefix + "sections[1]: seção 8 declarada mais de uma vez."},
      {"section taller than the body", Document(R"("sections": [{"number": 8, "height_mm": 300}])"),
       prefix + "sections[0]: a seção 8 é mais alta que a área útil da página."},
      {"headings fill the page",
       Document(R"("sections": [{"number": 1, "kind": "page_heading", "height_mm": 277}])"),
       prefix + "sections: os cabeçalhos de página não deixam espaço para o corpo da página."},
      {"bad item type",
       Document(R"("sections": [{"number": 8, "height_mm": 5, "items": [{"type": "circle"}]}])"),
       prefix + "sections[0].items[0]: 'type' inválido: 'circle' (use text, label, line ou box)."},
      {"text without width",
       Document(R"("sections": [{"number": 8, "height_mm": 5, "items": [{"type": "text"}]}])"),
       prefix + "sections[0].items[0]: 'w_mm' deve ser maior que zero."},
      {"number as text", Document(R"("sections": [{"number": "8", "height_mm": 5}])"),
       prefix + "sections[0]: 'number' deve ser um número inteiro."},
      {"a date default that is no date",
       Document(R"("params": [{"name": "pAno", "type": "date", "default": "31/02/{ano}"}])"),
       prefix + "params[0]: o padrão '31/02/{ano}' do parâmetro 'pAno' não é uma data (use "
                "dd/mm/aaaa, mm/aaaa ou aaaa, com {ano}, {ano-N} ou {hoje})."},
      {"bad param type", Document(R"("params": [{"name": "pAno", "type": "ano"}])"),
       prefix + "params[0]: 'type' inválido: 'ano' (use date, integer, float, text ou selection)."},
      {"repeated param (case)", Document(R"("params": [{"name": "pAno"}, {"name": "PANO"}])"),
       prefix + "params[1]: parâmetro 'PANO' declarado mais de uma vez."},
      {"bounds of a text", Document(R"("params": [{"name": "pA", "min": 1}])"),
       prefix + "params[0]: 'min' só vale para os tipos integer e float."},
      {"a fractional bound of an integer",
       Document(R"("params": [{"name": "pA", "type": "integer", "max": 9.5}])"),
       prefix + "params[0]: 'max' de um parâmetro integer deve ser um número inteiro."},
      {"bounds upside down",
       Document(R"("params": [{"name": "pA", "type": "float", "min": 2, "max": 1}])"),
       prefix + "params[0]: 'min' não pode ser maior que 'max'."},
      {"filter of an undeclared param", Document(R"("dataset": {"sql": "select 1 {filtros}",
                 "filters": [{"param": "pEmp", "columns": ["C"], "kind": 1}]})"),
       prefix + "dataset.filters[0]: o filtro usa o parâmetro 'pEmp', que não está em 'params'."},
      {"filters without marker",
       Document(R"("params": [{"name": "pEmp"}], "dataset": {"sql": "select 1",
                 "filters": [{"param": "pEmp", "columns": ["C"], "kind": 1}]})"),
       prefix + "dataset: a consulta não tem o marcador {filtros} para os filtros declarados."},
      {"bad filter kind",
       Document(R"("params": [{"name": "pEmp"}], "dataset": {"sql": "select 1 {filtros}",
                 "filters": [{"param": "pEmp", "columns": ["C"], "kind": 4}]})"),
       prefix + "dataset.filters[0]: 'kind' deve ser 1 (códigos), 2 (textos) ou 3 (datas)."},
      {"undeclared statement parameter",
       Document(R"("dataset": {"sql": "select * from T where A = :pAno and B = ':pNada'"})"),
       prefix + "dataset: a consulta usa :pAno, que não está em 'params'."},
      {"widest of the wrong type",
       Document(R"("sections": [{"number": 8, "height_mm": 5, "items": [{"type": "text",
                 "w_mm": 5, "widest": 12}]}])"),
       prefix + "sections[0].items[0]: 'widest' deve ser um texto ou um objeto de textos por "
                "variável."},
      {"wrap that is not a flag",
       Document(R"("sections": [{"number": 8, "height_mm": 5, "items": [{"type": "text",
                 "w_mm": 5, "wrap": "nao"}]}])"),
       prefix + "sections[0].items[0]: 'wrap' deve ser true ou false."},
      {"bad sheet rows",
       Document(R"("sections": [{"number": 8, "height_mm": 5, "sheet": "linha"}])"),
       prefix + "sections[0]: 'sheet' inválido: 'linha' (use row, lines, header ou none)."},
      {"bad cell kind",
       Document(R"("sections": [{"number": 8, "height_mm": 5, "items": [{"type": "text",
                 "w_mm": 5, "cell": "money"}]}])"),
       prefix + "sections[0].items[0]: 'cell' inválido: 'money' (use auto, text, amount, integer, "
                "date ou none)."},
      {"a column of a line",
       Document(R"("sections": [{"number": 8, "height_mm": 5, "items": [{"type": "line",
                 "w_mm": 5, "column": "Total"}]}])"),
       prefix + "sections[0].items[0]: 'column' e 'cell' valem só para textos (text ou label)."},
      {"separator of an undeclared param",
       Document(R"("separators": [{"param": "pEmp", "fields": "C", "table": "T"}])"),
       prefix + "separators[0]: o separador usa o parâmetro 'pEmp', que não está em 'params'."},
      {"handed dataset's parameter also a panel parameter",
       Document(R"("params": [{"name": "pDados"}],
                 "handed_datasets": {"datasets": [{"param": "PDADOS", "table": "T"}]})"),
       prefix +
           "handed_datasets.datasets[0]: o parâmetro 'PDADOS' recebe o identificador do conjunto "
           "de dados e não pode estar em 'params'."},
      {"handed dataset twice",
       Document(R"("handed_datasets": {"datasets": [{"param": "pA", "table": "T"},
                 {"param": "pa", "table": "U"}]})"),
       prefix + "handed_datasets.datasets[1]: parâmetro 'pa' declarado mais de uma vez."},
      {"handed dataset of no table",
       Document(R"("handed_datasets": {"datasets": [{"param": "pA", "table": "T; drop X"}]})"),
       prefix + "handed_datasets.datasets[0]: 'table' deve ser o nome de uma tabela: 'T; drop X'."},
      {"handed selection with an undeclared parameter",
       Document(R"("handed_datasets": {"where": "ANO = :pAno",
                 "datasets": [{"param": "pA", "table": "T"}]})"),
       prefix + "handed_datasets: a condição 'where' usa :pAno, que não está em 'params'."},
      {"keep with a name", Document(R"("sections": [{"number": 8, "height_mm": 5,
                 "keep_with_next": ["nove"]}])"),
       prefix + "sections[0]: 'keep_with_next' deve listar os números das seções seguintes."},
      {"keep with no band", Document(R"("sections": [{"number": 8, "height_mm": 5,
                 "keep_with_next": {"sections": [9], "count": 0}}])"),
       prefix + "sections[0].keep_with_next: 'count' deve ser maior que zero."},
      {"a page heading kept with a band",
       Document(R"("sections": [{"number": 1, "kind": "page_heading", "height_mm": 5,
                 "once_per_page": true}])"),
       prefix + "sections[0]: 'keep_with_next', 'repeat_on_new_page' e 'once_per_page' valem só "
                "para seções band."},
      {"repeat when of no variable", Document(R"("sections": [{"number": 8, "height_mm": 5,
                 "repeat_on_new_page": {"se": "R1"}}])"),
       prefix + "sections[0].repeat_on_new_page: 'when' é obrigatório."},
      {"handed selection without datasets",
       Document(R"("params": [{"name": "pEmp"}], "handed_datasets": {
                 "filters": [{"param": "pEmp", "columns": ["C"], "kind": 1}]})"),
       prefix + "handed_datasets: 'datasets' deve ter ao menos um conjunto de dados."},
  };
  for (const Case& c : cases) {
    const std::string error = ErrorOf(c.json);
    if (c.message.rfind(prefix, 0) == 0) {
      EXPECT_EQ(error, c.message) << c.name;
    } else {
      EXPECT_NE(error.find(c.message), std::string::npos) << c.name << ": " << error;
    }
  }
}

TEST(LayoutLoader, DateDefaultsAreDatesForAnyYear) {
  const std::pair<const char*, bool> cases[] = {
      {"", true},         {"01/01/{ano-1}", true}, {"31/12/{ano+2}", true},
      {"{hoje}", true},   {"2024-01-31", true},    {"03/{ano}", true},
      {"{ano}", true},    {"amanhã", false},       {"13/{ano}", false},
      {"{ano-x}", false}, {"{ontem}", false},      {"29/02/{ano}", false},
  };
  for (const auto& [value, accepted] : cases) {
    const std::string json =
        Document(std::string(R"("params": [{"name": "pAno", "type": "date", )") +
                 R"("default": ")" + value + R"("}])");
    EXPECT_EQ(ErrorOf(json).empty(), accepted) << value << ": " << ErrorOf(json);
  }
}

TEST(LayoutLoader, ReadsHandedDatasets) {
  const nrw::Layout layout =
      nrw::ParseLayout(Document(R"("params": [{"name": "pAno", "type": "date"}, {"name": "pEmp"}],
                  "handed_datasets": {"where": "ANO = :pAno",
                    "filters": [{"param": "pEmp", "columns": ["CODIGOEMPRESA"], "kind": 1}],
                    "datasets": [{"param": "pA", "table": "T_A", "order": "CODIGOEMPRESA"},
                                 {"param": "pB", "table": "T_B"}]})"),
                       "x");
  EXPECT_EQ(layout.handed.where, "ANO = :pAno");
  ASSERT_EQ(layout.handed.filters.size(), 1u);
  EXPECT_EQ(layout.handed.filters[0].columns.at(0), "CODIGOEMPRESA");
  ASSERT_EQ(layout.handed.datasets.size(), 2u);
  EXPECT_EQ(layout.handed.datasets[0].order, "CODIGOEMPRESA");
  EXPECT_EQ(layout.handed.datasets[1].table, "T_B");
  EXPECT_TRUE(layout.handed.datasets[1].order.empty());
}

TEST(LayoutLoader, MissingFileIsNamed) {
  try {
    nrw::LoadLayout("/nao/existe/RptX.json");
    FAIL() << "no error";
  } catch (const nrw::Exception& error) {
    EXPECT_STREQ(error.what(), "Layout /nao/existe/RptX.json: não foi possível abrir o arquivo.");
  }
}

}  // namespace
