// Reports as spreadsheets, read back as their users' programs read them (openpyxl for XLSX,
// Python's csv module for CSV): every amount of the text report is a number equal to it, in the
// row of the line that printed it (with its beneficiary or company), the sums of the lines are the
// totals the report prints, and every module writes files that open.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <map>
#include <nlohmann/json.hpp>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "nrw_driver.h"
#include "support/shell.h"
#include "support/temp_dir.h"

namespace {

using cli_test::Nrw;
using nlohmann::json;

struct Report {
  const char* module;
  std::vector<std::string> params;
};

const Report kRosters[] = {
    {"RptPayerRoster", {"pAnoBase=01/01/2023"}},
    {"RptWithholdingReview", {"pAnoBase=01/01/2023"}},
    {"RptPayrollTotals", {"pCompet=01/03/2023"}},
    {"RptPayrollTotalsWide", {"pCompetInicial=01/03/2023", "pCompetFinal=30/04/2023"}},
    {"RptStatementRoster", {"pAnoBase=01/01/2023"}},
};

const Report kOthers[] = {
    {"RptIncomeStatement", {"pAnoBase1=01/01/2023", "pCodigoEmpresa=1"}},
    {"RptCompanyPayeeStatement", {"pAnoBase1=01/01/2023", "pDispensarAss=1"}},
    {"RptStateGuideB", {"pAnoBase=01/01/2023"}},
};

// The printed lines, pages one after the other.
std::vector<std::string> Lines(std::string text) {
  std::replace(text.begin(), text.end(), '\f', '\n');
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// The amounts of a text, in order ("1.234,56", "-0,50").
std::vector<std::string> Amounts(const std::string& text) {
  static const std::regex amount(R"(-?\d{1,3}(?:\.\d{3})*,\d{2}(?!\d))");
  std::vector<std::string> amounts;
  for (std::sregex_iterator it(text.begin(), text.end(), amount), end; it != end; ++it) {
    amounts.push_back(it->str());
  }
  return amounts;
}

double ValueOf(std::string amount) {
  std::string plain;
  for (const char c : amount) {
    if (c != '.') plain += c == ',' ? '.' : c;
  }
  return std::stod(plain);
}

// A cell as the report printed it: texts as they are, numbers and dates as they show.
std::string Shown(const json& cell) {
  if (cell.is_null()) return "";
  if (cell.contains("t")) return cell["t"].get<std::string>();
  if (cell.contains("p")) return cell["p"].get<std::string>();
  return cell["d"].get<std::string>();
}

bool IsNumber(const json& cell) { return !cell.is_null() && cell.contains("n"); }

class Sheets : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = std::make_unique<support::TempDir>();
    ASSERT_EQ(Nrw({"demo-db", Db(), "--ano", "2023"}).status, 0);
  }
  static void TearDownTestSuite() { dir_.reset(); }
  static std::string Db() { return dir_->File("demo.db"); }
  static std::string File(const std::string& name) { return dir_->File(name); }

  static cli_test::Outcome RunTo(const Report& report, const std::string& out,
                                 std::vector<std::string> extra = {}) {
    std::vector<std::string> args = {"run", report.module, "--db", Db(), "--out", out};
    for (const std::string& param : report.params) args.insert(args.end(), {"-p", param});
    args.insert(args.end(), extra.begin(), extra.end());
    return Nrw(args);
  }

  // The file as read_sheet.py reads it; every sheet's rows one after the other under "rows".
  static json Read(const std::string& path) {
    const support::ShellOutcome read = support::RunShell(
        "/usr/bin/python3 " NRW_SOURCE_DIR "/tests/cli/read_sheet.py '" + path + "'");
    EXPECT_EQ(read.status, 0) << path;
    json data = json::parse(read.out.empty() ? "{}" : read.out);
    json rows = json::array();
    for (const json& sheet : data.value("sheets", json::array())) {
      for (const json& row : sheet["rows"]) rows.push_back(row);
    }
    data["rows"] = rows;
    return data;
  }

  static std::unique_ptr<support::TempDir> dir_;
};

std::unique_ptr<support::TempDir> Sheets::dir_;

// Finds the row's cells, in order, on one printed line or a few lines in a row, from `from` on;
// answers the line after them, or npos.
size_t FindRow(const std::vector<std::string>& lines, size_t from, const json& row) {
  constexpr size_t kLinesOfARow = 4;
  constexpr size_t kLinesBetweenRows = 40;
  for (size_t first = from; first < lines.size() && first < from + kLinesBetweenRows; ++first) {
    std::string window;
    for (size_t last = first; last < lines.size() && last < first + kLinesOfARow; ++last) {
      window += " " + lines[last];
      const std::string& text = window;
      size_t at = 0;
      bool found = true;
      // A cell's first word comes after the cells before it; the rest of a wrapped cell may
      // come on the next line, after the cells to its right.
      for (const json& cell : row) {
        std::istringstream words(Shown(cell));
        std::string word;
        if (!(words >> word)) continue;
        at = text.find(word, at);
        found = at != std::string::npos;
        if (!found) break;
        at += word.size();
        while (found && words >> word) found = text.find(word) != std::string::npos;
        if (!found) break;
      }
      if (found) return last + 1;
    }
  }
  return std::string::npos;
}

TEST_F(Sheets, EveryAmountOfTheTextIsANumberInTheRowOfTheLineThatPrintedIt) {
  for (const Report& report : kRosters) {
    const std::string text_file = File(std::string(report.module) + ".txt");
    ASSERT_EQ(RunTo(report, text_file).status, 0) << report.module;
    const std::string text = support::ReadFile(text_file);
    const std::vector<std::string> lines = Lines(text);
    for (const std::string format : {"xlsx", "csv"}) {
      SCOPED_TRACE(std::string(report.module) + "." + format);
      const std::string path = File(std::string(report.module) + "." + format);
      const auto run = RunTo(report, path);
      ASSERT_EQ(run.status, 0) << run.err;
      const json rows = Read(path)["rows"];
      ASSERT_GT(rows.size(), 2u);
      for (const json& cell : rows[0]) {
        EXPECT_TRUE(cell.is_null() || cell.contains("t")) << "the header row is texts";
      }

      size_t line = 0;
      std::vector<std::string> numbers;
      for (size_t r = 1; r < rows.size(); ++r) {
        const size_t next = FindRow(lines, line, rows[r]);
        ASSERT_NE(next, std::string::npos) << "row " << r + 1 << " is no printed line after line "
                                           << line + 1 << ": " << rows[r].dump();
        line = next;
        for (const json& cell : rows[r]) {
          if (IsNumber(cell) && Shown(cell).find(',') != std::string::npos) {
            EXPECT_NEAR(cell["n"].get<double>(), ValueOf(Shown(cell)), 0.001);
            numbers.push_back(Shown(cell));
          }
        }
      }
      EXPECT_EQ(numbers, Amounts(text)) << "every amount printed, as a number, once, in order";
    }
  }
}

// Sums of the numbers of a row's columns, by column.
using Sums = std::map<size_t, double>;

void Add(Sums& sums, const json& row) {
  for (size_t c = 0; c < row.size(); ++c) {
    if (IsNumber(row[c])) sums[c] += row[c]["n"].get<double>();
  }
}

void ExpectTotals(const Sums& sums, const json& total, const std::string& where) {
  for (size_t c = 0; c < total.size(); ++c) {
    if (!IsNumber(total[c])) continue;
    const auto sum = sums.find(c);
    EXPECT_NEAR(sum == sums.end() ? 0 : sum->second, total[c]["n"].get<double>(), 0.005)
        << where << ", column " << c + 1;
  }
}

TEST_F(Sheets, TheSumsOfTheLinesAreTheTotalsTheReportPrints) {
  for (const std::string format : {"xlsx", "csv"}) {
    SCOPED_TRACE(format);
    // The review: the months of a table add up to its "Total" line.
    const std::string review = File("totais-review." + format);
    ASSERT_EQ(RunTo(kRosters[1], review).status, 0);
    static const std::regex month("Jan|Fev|Mar|Abr|Mai|Jun|Jul|Ago|Set|Out|Nov|Dez");
    Sums months;
    size_t month_rows = 0;
    size_t tables = 0;
    const json review_rows = Read(review)["rows"];
    for (const json& row : review_rows) {
      const std::string first = row.empty() ? "" : Shown(row[0]);
      if (first == "Mês") {
        months.clear();
        month_rows = 0;
      } else if (std::regex_match(first, month)) {
        Add(months, row);
        ++month_rows;
      } else if (first == "Total" && month_rows > 0) {
        // A table of yearly values only prints its total.
        ExpectTotals(months, row, "review table " + std::to_string(++tables));
      }
    }
    EXPECT_GT(tables, 20u);

    // By establishment: each kind's months add up to the establishment's line of that kind, and
    // the establishments to the company's.
    const std::string wide = File("totais-wide." + format);
    ASSERT_EQ(RunTo(kRosters[3], wide).status, 0);
    const json rows = Read(wide)["rows"];
    std::map<std::string, size_t> column;
    for (size_t c = 0; c < rows[0].size(); ++c) column[Shown(rows[0][c])] = c;
    std::map<std::string, Sums> establishment;
    std::map<std::string, Sums> company;
    std::string block;
    size_t checked = 0;
    for (size_t r = 1; r < rows.size(); ++r) {
      const json& row = rows[r];
      const auto cell = [&](const char* name) { return Shown(row[column.at(name)]); };
      if (!cell("Empresa").empty()) {
        if (block == "Total da empresa") company.clear();
        establishment.clear();
        block.clear();
        continue;
      }
      // A month (a date; a text in CSV) starts months, "Total ..." a block of totals.
      if (!cell("Compet.").empty()) {
        block = cell("Compet.").rfind("Total", 0) == 0 ? cell("Compet.") : "";
      }
      const std::string kind = cell("Tipo");
      if (kind.empty()) continue;
      if (block.empty()) {
        Add(establishment[kind], row);
      } else if (block == "Total do estabelecimento") {
        ExpectTotals(establishment[kind], row, "row " + std::to_string(r + 1));
        Add(company[kind], row);
        ++checked;
      } else {
        ExpectTotals(company[kind], row, "row " + std::to_string(r + 1));
        ++checked;
      }
    }
    EXPECT_GT(checked, 10u);
  }
}

TEST_F(Sheets, EveryModuleWritesFilesThatOpen) {
  std::vector<Report> reports(std::begin(kRosters), std::end(kRosters));
  reports.insert(reports.end(), std::begin(kOthers), std::end(kOthers));
  for (const Report& report : reports) {
    SCOPED_TRACE(report.module);
    const std::string xlsx = File(std::string("todos-") + report.module + ".xlsx");
    const std::string csv = File(std::string("todos-") + report.module + ".csv");
    ASSERT_EQ(RunTo(report, xlsx).status, 0);
    ASSERT_EQ(RunTo(report, csv).status, 0);
    const json book = Read(xlsx);
    ASSERT_FALSE(book["sheets"].empty());
    EXPECT_GT(book["rows"].size(), 1u);
    const json text = Read(csv);
    EXPECT_TRUE(text["bom"].get<bool>());
    EXPECT_TRUE(text["crlf"].get<bool>());
    EXPECT_EQ(text["widths"].size(), 1u) << "as many fields on every line";
    EXPECT_EQ(text["rows"].size(), book["rows"].size()) << "the same rows";
  }
  // The header of a roster stays in view and filters its columns.
  const json roster = Read(File("todos-RptPayerRoster.xlsx"))["sheets"][0];
  EXPECT_EQ(roster["freeze"], "A2");
  EXPECT_EQ(roster["filter"], "A1:G5");
  EXPECT_TRUE(roster["bold_header"].get<bool>());
}

TEST_F(Sheets, ASplitWritesOneWorkbookPerPart) {
  std::filesystem::create_directories(File("partes-txt"));
  std::filesystem::create_directories(File("partes-xlsx"));
  const Report& review = kRosters[1];
  ASSERT_EQ(RunTo(review, File("partes-txt/{pEmpresas}.txt"), {"--split", "pEmpresas"}).status, 0);
  const auto run = RunTo(review, File("partes-xlsx/{pEmpresas}.xlsx"), {"--split", "pEmpresas"});
  ASSERT_EQ(run.status, 0) << run.err;
  size_t parts = 0;
  for (const auto& entry : std::filesystem::directory_iterator(File("partes-txt"))) {
    const std::string stem = entry.path().stem().string();
    const std::string text = support::ReadFile(entry.path().string());
    const json rows = Read(File("partes-xlsx/" + stem + ".xlsx"))["rows"];
    std::vector<std::string> numbers;
    for (const json& row : rows) {
      for (const json& cell : row) {
        if (IsNumber(cell) && Shown(cell).find(',') != std::string::npos) {
          numbers.push_back(Shown(cell));
        }
      }
    }
    EXPECT_EQ(numbers, Amounts(text)) << stem;
    ++parts;
  }
  EXPECT_GT(parts, 1u);
  // Parts that are not text never go to the standard output, where they would run together.
  const auto to_stdout = RunTo(review, "-", {"--split", "pEmpresas", "--format", "csv"});
  EXPECT_EQ(to_stdout.status, 2) << to_stdout.err;
}

}  // namespace
