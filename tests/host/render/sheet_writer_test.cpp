// Spreadsheets from printed pages: cells read from the printed texts by the kind the layout gives,
// the rows and columns a layout's sections make, and the CSV file as a Brazilian spreadsheet reads
// it. The XLSX file is read back by the command line's tests (openpyxl).
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "host/report/report_fixtures.h"
#include "render/csv_writer.h"
#include "render/sheet_cell.h"
#include "render/sheet_plan.h"
#include "render/xlsx_writer.h"

namespace {

using nrw::CellKind;

TEST(SheetCell, ReadsPrintedTextsAsTheirKindAndKeepsTheRestAsTexts) {
  struct Case {
    const char* printed;
    CellKind asked;
    CellKind read;
    double number;
    int decimals;
    bool month;
  };
  const Case cases[] = {
      {"1.234,56", CellKind::Amount, CellKind::Amount, 1234.56, 2, false},
      {" -1.234.567,89 ", CellKind::Amount, CellKind::Amount, -1234567.89, 2, false},
      {"0,00", CellKind::Amount, CellKind::Amount, 0, 2, false},
      {"1234,5", CellKind::Amount, CellKind::Amount, 1234.5, 1, false},
      {"14,50", CellKind::Amount, CellKind::Amount, 14.5, 2, false},
      {"12.34,56", CellKind::Amount, CellKind::Text, 0, 0, false},
      {"1.2345,00", CellKind::Amount, CellKind::Text, 0, 0, false},
      {"1.234,", CellKind::Amount, CellKind::Text, 0, 0, false},
      {"068.211.270-42", CellKind::Amount, CellKind::Text, 0, 0, false},
      {"R$ 10,00", CellKind::Amount, CellKind::Text, 0, 0, false},
      {"8", CellKind::Integer, CellKind::Integer, 8, 0, false},
      {"1.234", CellKind::Integer, CellKind::Integer, 1234, 0, false},
      {"1,5", CellKind::Integer, CellKind::Text, 0, 0, false},
      {"31/12/2023", CellKind::Date, CellKind::Date, 45291, 0, false},
      {"03/2023", CellKind::Date, CellKind::Date, 44986, 0, true},
      {"31/02/2023", CellKind::Date, CellKind::Text, 0, 0, false},
      {"2023-12-31", CellKind::Date, CellKind::Text, 0, 0, false},
      {"0001", CellKind::Text, CellKind::Text, 0, 0, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.printed);
    const nrw::CellValue cell = nrw::ReadCell(c.printed, c.asked);
    EXPECT_EQ(cell.kind, c.read);
    EXPECT_DOUBLE_EQ(cell.number, c.number);
    EXPECT_EQ(cell.decimals, c.decimals);
    EXPECT_EQ(cell.month, c.month);
  }
  EXPECT_EQ(nrw::ReadCell("  0001 ", CellKind::Text).text, "0001") << "a code keeps its zeros";
  EXPECT_TRUE(nrw::ReadCell("   ", CellKind::Amount).text.empty()) << "an empty cell";
}

TEST(SheetPlan, TakesTheKindFromTheLayoutOrTheMaskAndLeavesThePageFurnitureOut) {
  struct Case {
    const char* text;
    nrw::LayoutCell cell;
    CellKind kind;
    bool furniture;
  };
  const Case cases[] = {
      {"[VALOR:#,##0.00]", nrw::LayoutCell::Auto, CellKind::Amount, false},
      {" [N:0] ", nrw::LayoutCell::Auto, CellKind::Integer, false},
      {"[C:0000]", nrw::LayoutCell::Auto, CellKind::Text, false},
      {"[D:dd/mm/yyyy]", nrw::LayoutCell::Auto, CellKind::Date, false},
      {"[D:mm/yyyy]", nrw::LayoutCell::Auto, CellKind::Date, false},
      {"[pAnoBase:yyyy]", nrw::LayoutCell::Auto, CellKind::Integer, false},
      {"Total: [V:#,##0.00]", nrw::LayoutCell::Auto, CellKind::Text, false},
      {"[V:#,##0.00] [W:#,##0.00]", nrw::LayoutCell::Auto, CellKind::Text, false},
      {"[pInscrFed]", nrw::LayoutCell::Auto, CellKind::Text, false},
      {"[R3]", nrw::LayoutCell::Amount, CellKind::Amount, false},
      {"[V:#,##0.00]", nrw::LayoutCell::Text, CellKind::Text, false},
      {"Página [@PAGINA] de [@PAGINAS]", nrw::LayoutCell::Auto, CellKind::Text, true},
      {"Emissão: [@DATA]", nrw::LayoutCell::Auto, CellKind::Text, true},
      {"[@TITULO]", nrw::LayoutCell::Auto, CellKind::Text, true},
      {"[[@PAGINA]]", nrw::LayoutCell::Auto, CellKind::Text, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    nrw::LayoutItem item;
    item.text = c.text;
    item.cell = c.cell;
    EXPECT_EQ(nrw::CellKindOf(item), c.kind);
    EXPECT_EQ(nrw::IsPageFurniture(item), c.furniture);
  }
}

// A roster: the page heading holds furniture, a line that is no caption and the captions; the
// band prints code, name and amount out of layout order; section 9 shows nothing.
constexpr const char* kRoster = R"({
  "report": "RptLista", "title": "Lista: [teste]",
  "page": {"width_mm": 40, "height_mm": 40},
  "text_grid": {"column_mm": 1, "row_mm": 1},
  "sections": [
    {"number": 1, "kind": "page_heading", "height_mm": 3, "items": [
      {"type": "text", "x_mm": 0, "y_mm": 0, "w_mm": 20, "text": "[@TITULO]"},
      {"type": "text", "x_mm": 25, "y_mm": 0, "w_mm": 15, "text": "Pág. [@PAGINA]"},
      {"type": "text", "x_mm": 0, "y_mm": 1, "w_mm": 20, "text": "Ano [pAno]", "cell": "none"},
      {"type": "line", "x_mm": 0, "y_mm": 2, "w_mm": 40},
      {"type": "label", "x_mm": 30, "y_mm": 2, "w_mm": 10, "text": "Valor"},
      {"type": "label", "x_mm": 0, "y_mm": 2, "w_mm": 4, "text": "Cód."},
      {"type": "label", "x_mm": 5, "y_mm": 2, "w_mm": 20, "text": "Nome"}]},
    {"number": 8, "height_mm": 1, "items": [
      {"type": "text", "x_mm": 30, "y_mm": 0, "w_mm": 10, "text": "[V]", "cell": "amount"},
      {"type": "text", "x_mm": 0, "y_mm": 0, "w_mm": 4, "text": "[C]"},
      {"type": "text", "x_mm": 5, "y_mm": 0, "w_mm": 20, "text": "[N]"}]},
    {"number": 9, "height_mm": 1, "items": [
      {"type": "line", "x_mm": 0, "y_mm": 0, "w_mm": 40}]}]
})";

std::vector<nrw::Page> RosterPages(const nrw::Layout& layout) {
  const auto place = [&](nrw::PageModel& pages, int number, std::vector<std::string> texts,
                         std::vector<bool> hidden = {}) {
    pages.Place(nrw::FlowedSection(*layout.FindSection(number), std::move(texts), std::move(hidden),
                                   layout.grid));
  };
  const std::vector<std::string> heading = {"Lista", "Pág. 1", "Ano 2023", "",
                                            "Valor", "Cód.",   "Nome"};
  nrw::PageModel pages(layout.page.BodyHeight());
  pages.StartPage();
  place(pages, 1, heading);
  place(pages, 8, {"1.234,56", "0001", "Ana; Bia"});
  place(pages, 9, {""});
  place(pages, 8, {"-0,50", "0002", "Diz \"oi\""}, {false, false, true});
  pages.StartPage();
  place(pages, 1, heading);
  // A group heading printed again on the page it continues on gave its row where it began.
  nrw::PlacedSection repeated = pages.Pages().front().sections[1];
  repeated.repeated = true;
  pages.Place(std::move(repeated));
  place(pages, 8, {"sem valor", "0003", "Caio\nCosta"});
  return pages.Pages();
}

TEST(CsvWriter, RowsOfTheSectionsUnderTheHeaderOnceAsABrazilianSpreadsheetReadsThem) {
  const nrw::Layout layout = report_test::TestLayout(kRoster);
  std::ostringstream out;
  nrw::WritePages(nrw::OutputFormat::Csv, layout, RosterPages(layout), out);
  EXPECT_EQ(out.str(),
            "\xEF\xBB\xBF"
            "Cód.;Nome;Valor\r\n"
            "0001;\"Ana; Bia\";1234,56\r\n"
            "0002;;-0,50\r\n"
            "0003;Caio Costa;sem valor\r\n");
}

TEST(CsvWriter, FieldsQuotedAsRfc4180Asks) {
  const struct {
    const char* text;
    CellKind kind;
    const char* field;
  } cases[] = {
      {"plain", CellKind::Text, "plain"},
      {"a;b", CellKind::Text, "\"a;b\""},
      {"diz \"oi\"", CellKind::Text, "\"diz \"\"oi\"\"\""},
      {"um\r\ndois", CellKind::Text, "\"um\r\ndois\""},
      {"-1.234.567,89", CellKind::Amount, "-1234567,89"},
      {"1.234", CellKind::Integer, "1234"},
      {"31/12/2023", CellKind::Date, "31/12/2023"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(nrw::CsvField(nrw::ReadCell(c.text, c.kind)), c.field) << c.text;
  }
}

// Named columns: a block of two lines as one row, month lines one row each; a column that only a
// later line prints (Multa) sits where that line prints it.
constexpr const char* kNamed = R"({
  "report": "RptTotais",
  "page": {"width_mm": 60, "height_mm": 60},
  "text_grid": {"column_mm": 1, "row_mm": 1},
  "sections": [
    {"number": 1, "kind": "page_heading", "height_mm": 1, "items": [
      {"type": "label", "x_mm": 0, "y_mm": 0, "w_mm": 10, "text": "Compet."}]},
    {"number": 8, "height_mm": 2, "items": [
      {"type": "label", "x_mm": 0, "y_mm": 0, "w_mm": 8, "text": "Empresa:"},
      {"type": "text", "x_mm": 10, "y_mm": 0, "w_mm": 4, "text": "[E]", "column": "Empresa"},
      {"type": "text", "x_mm": 10, "y_mm": 1, "w_mm": 20, "text": "[C]", "column": "CNPJ"}]},
    {"number": 9, "height_mm": 2, "sheet": "lines", "items": [
      {"type": "text", "x_mm": 0, "y_mm": 0, "w_mm": 7, "text": "[M]", "column": "Compet.",
       "cell": "date"},
      {"type": "label", "x_mm": 8, "y_mm": 0, "w_mm": 8, "text": "Mensal", "column": "Tipo"},
      {"type": "text", "x_mm": 20, "y_mm": 0, "w_mm": 10, "text": "[V1]", "column": "Valor",
       "cell": "amount"},
      {"type": "text", "x_mm": 50, "y_mm": 0, "w_mm": 5, "text": "[Q1]", "column": "Qtde.",
       "cell": "integer"},
      {"type": "label", "x_mm": 8, "y_mm": 1, "w_mm": 8, "text": "Rescisão", "column": "Tipo"},
      {"type": "text", "x_mm": 20, "y_mm": 1, "w_mm": 10, "text": "[V2]", "column": "Valor",
       "cell": "amount"},
      {"type": "text", "x_mm": 35, "y_mm": 1, "w_mm": 10, "text": "[V3]", "column": "Multa",
       "cell": "amount"},
      {"type": "text", "x_mm": 50, "y_mm": 1, "w_mm": 5, "text": "[Q2]", "column": "Qtde.",
       "cell": "integer"}]}]
})";

TEST(SheetPlan, NamedColumnsAreTheHeaderAndTakeTheirItemsWhereverTheyStand) {
  const nrw::Layout layout = report_test::TestLayout(kNamed);
  const nrw::SheetPlan plan(layout);
  EXPECT_EQ(plan.Names(), (std::vector<std::string>{"Empresa", "CNPJ", "Compet.", "Tipo", "Valor",
                                                    "Multa", "Qtde."}));
  EXPECT_EQ(plan.Find(1), nullptr) << "the names are the header row";
  ASSERT_NE(plan.Find(8), nullptr);
  EXPECT_EQ(plan.Find(8)->cells.size(), 2u) << "an unnamed item gives no cell";

  nrw::PageModel pages(layout.page.BodyHeight());
  pages.StartPage();
  pages.Place(nrw::FlowedSection(*layout.FindSection(8), {"Empresa:", "7", "12.345.678/0001-90"},
                                 {}, layout.grid));
  pages.Place(nrw::FlowedSection(
      *layout.FindSection(9), {"03/2024", "Mensal", "1.000,00", "3", "Rescisão", "", "50,00", ""},
      {}, layout.grid));
  std::ostringstream out;
  nrw::WritePages(nrw::OutputFormat::Csv, layout, pages.Pages(), out);
  EXPECT_EQ(out.str(),
            "\xEF\xBB\xBF"
            "Empresa;CNPJ;Compet.;Tipo;Valor;Multa;Qtde.\r\n"
            "7;12.345.678/0001-90;;;;;\r\n"
            ";;03/2024;Mensal;1000,00;;3\r\n"
            ";;;Rescisão;;50,00;\r\n");
}

TEST(XlsxWriter, SheetNamesHoldWhatAWorkbookAllows) {
  const struct {
    const char* title;
    const char* name;
  } cases[] = {
      {"Totais [mensal]: 03/2024?", "Totais mensal 032024"},
      {"Relação das Empresas Declarantes da DIRF", "Relação das Empresas Declarante"},
      {"'citado'", "citado"},
      {"[]", "Relatório"},
  };
  for (const auto& c : cases) EXPECT_EQ(nrw::SheetName(c.title), c.name) << c.title;
}

TEST(XlsxWriter, AnEmptyReportIsStillAWorkbook) {
  const nrw::Layout layout = report_test::TestLayout(kRoster);
  std::ostringstream out;
  nrw::WritePages(nrw::OutputFormat::Xlsx, layout, {}, out);
  EXPECT_EQ(out.str().rfind("PK\x03\x04", 0), 0u) << "a zip container";
  EXPECT_NE(out.str().find("xl/worksheets/sheet1.xml"), std::string::npos);
}

}  // namespace
