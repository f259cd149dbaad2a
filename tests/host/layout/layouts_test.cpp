// Every layout under layouts/ printed with the widest values its placeholders can take, section by
// section: no value may be cut, run past the page or over another item. Layouts added later are
// checked as soon as their file is there. Every section a module names is one of its layout's.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "company_payee_statement/company_payee_statement_sections.h"
#include "income_statement/income_statement_sections.h"
#include "layout/layout.h"
#include "layout/layout_loader.h"
#include "layout/placeholders.h"
#include "layout/section_flow.h"
#include "nrw/datetime.h"
#include "nrw/format.h"
#include "payer_roster/payer_roster_sections.h"
#include "payroll_totals/payroll_totals_sections.h"
#include "payroll_totals_wide/payroll_totals_wide_sections.h"
#include "state_guide_b/state_guide_b_sections.h"
#include "statement_roster/statement_roster_sections.h"
#include "util/name_key.h"
#include "util/utf8.h"
#include "withholding_review/withholding_review_sections.h"

namespace {

constexpr const char* kWidestMoney = "999.999.999.999,99";

// A hundred characters in words, as long as the longest names the database keeps.
std::string LongName() {
  std::string name = "Maria Aparecida dos Santos Oliveira de Albuquerque Cavalcanti";
  while (name.size() < 100) name += " Figueiredo";
  return name.substr(0, 100);
}

std::string LongText() {
  std::string text;
  while (text.size() < 300) text += "Informação complementar longa em várias palavras. ";
  return text;
}

// The widest value of a kind named by a hint, or the hint itself as a literal sample.
std::string WidestOfKind(const std::string& kind) {
  static const std::map<std::string, std::string> kKinds = {
      {"money", kWidestMoney},
      {"cpf", "999.999.999-99"},
      {"cnpj", "99.999.999/9999-99"},
      {"registration", "99.999.999/9999-99"},
      {"name", LongName()},
      {"lawsuit", std::string(40, '9')},
      {"email", std::string(60, 'x') + "@" + std::string(35, 'x') + ".com"},
      {"date", "31/12/2099"},
      {"text", LongText()},
  };
  const auto found = kKinds.find(kind);
  return found != kKinds.end() ? found->second : kind;
}

// The widest value of a placeholder without a hint: by its mask, the engine's own names, then by
// words of its name; anything else takes the widest amount.
std::string WidestByName(const nrw::Layout& layout, std::string_view placeholder) {
  const std::string key = nrw::NameKey(placeholder);
  if (key.rfind("@paginas:", 0) == 0) return "9999";
  const size_t colon = placeholder.find(':');
  if (colon != std::string_view::npos) {
    const std::string_view mask = placeholder.substr(colon + 1);
    if (mask.find_first_of("dmy") != std::string_view::npos) {
      return nrw::FormatDateTime(mask, nrw::EncodeDate(2099, 12, 31));
    }
    return nrw::FormatFloat(mask, 999999999999.99);
  }
  if (key == "@pagina" || key == "@paginas") return "9999";
  if (key == "@data") return "31/12/2099";
  if (key == "@titulo") return layout.title;
  if (key == "@relatorio") return layout.report;
  const auto has = [&key](const char* word) { return key.find(word) != std::string::npos; };
  if (has("nome")) return WidestOfKind("name");
  if (has("inscr") || has("cpf") || has("cnpj")) return WidestOfKind("registration");
  if (has("processo")) return WidestOfKind("lawsuit");
  if (has("data")) return WidestOfKind("date");
  return kWidestMoney;
}

std::string WidestValue(const nrw::Layout& layout, const nrw::LayoutItem& item,
                        std::string_view placeholder) {
  for (const auto& [name, sample] : item.widest) {
    if (name.empty() || nrw::SameText(name, placeholder)) return WidestOfKind(sample);
  }
  return WidestByName(layout, placeholder);
}

std::vector<std::string> WidestTexts(const nrw::Layout& layout, const nrw::LayoutSection& section) {
  std::vector<std::string> texts;
  for (const nrw::LayoutItem& item : section.items) {
    texts.push_back(nrw::ExpandPlaceholders(
        item.text, [&](std::string_view name) { return WidestValue(layout, item, name); }));
  }
  return texts;
}

bool IsText(const nrw::LayoutItem& item) {
  return item.type == nrw::LayoutItemType::Text || item.type == nrw::LayoutItemType::Label;
}

// Checks one layout and answers its faults, each naming the section and the item.
class LayoutCheck {
 public:
  LayoutCheck(const nrw::Layout& layout, std::string file) : layout_(layout), file_(file) {
    columns_ = static_cast<int>(layout.page.BodyWidth() / layout.grid.column_mm + 1e-9);
    double headings_mm = 0;
    for (const nrw::LayoutSection* heading : layout.PageHeadings()) {
      headings_mm += Flow(*heading).height_mm;
    }
    band_room_mm_ = layout.page.BodyHeight() - headings_mm;
  }

  std::vector<std::string> Faults() {
    for (const nrw::LayoutSection& section : layout_.sections) CheckSection(section);
    return faults_;
  }

 private:
  nrw::SectionFlow Flow(const nrw::LayoutSection& section) const {
    return nrw::FlowSection(section, WidestTexts(layout_, section), {}, layout_.grid);
  }

  void Fault(const nrw::LayoutSection& section, size_t item, const std::string& what) {
    std::string where = file_ + ", seção " + std::to_string(section.number);
    if (item < section.items.size()) {
      const nrw::LayoutItem& it = section.items[item];
      where += ", item " + std::to_string(item);
      if (!it.text.empty()) where += " (\"" + it.text + "\")";
    }
    faults_.push_back(where + ": " + what);
  }

  void CheckSection(const nrw::LayoutSection& section) {
    const nrw::SectionFlow flow = Flow(section);
    for (const nrw::FlowFault& fault : flow.faults) {
      Fault(section, fault.item,
            (fault.kind == nrw::FlowFaultKind::TooWide
                 ? "não cabe na largura: '"
                 : "não cabe na largura, partido entre linhas: '") +
                fault.text + "'");
    }
    const double room_mm =
        section.kind == nrw::LayoutSectionKind::Band ? band_room_mm_ : layout_.page.BodyHeight();
    if (flow.height_mm > room_mm + 1e-6) {
      Fault(section, section.items.size(), "com os valores mais largos não cabe numa página");
    }
    const int section_rows =
        nrw::GridCells(section.height_mm, layout_.grid.row_mm) + flow.extra_rows;
    std::map<std::pair<int, int>, size_t> owner;  // cells with ink: a text's characters, borders
    auto ink = [&](int row, int col, size_t item, bool text) {
      if (col < 0 || col >= columns_) {
        Fault(section, item, "passa da margem da página");
        return false;
      }
      const auto [found, fresh] = owner.emplace(std::pair{row, col}, item);
      if (!fresh && found->second != item && (text || IsText(section.items[found->second]))) {
        Fault(section, item, "escreve sobre o item " + std::to_string(found->second));
        return false;
      }
      return true;
    };
    for (size_t i = 0; i < section.items.size(); ++i) {
      const nrw::LayoutItem& item = section.items[i];
      const nrw::ItemFlow& placed = flow.items[i];
      if (placed.row + placed.rows > section_rows) {
        Fault(section, i, "passa do fim da seção");
      }
      if (IsText(item)) {
        for (const nrw::FlowLine& line : placed.lines) {
          for (size_t k = 0; k < line.text.size(); ++k) {
            if (line.text[k] == U' ') continue;
            if (!ink(line.row, line.col + static_cast<int>(k), i, true)) break;
          }
        }
        continue;
      }
      if (placed.col + placed.cols > columns_) Fault(section, i, "passa da margem da página");
      Border(placed, [&](int row, int col) { ink(row, col, i, false); });
    }
  }

  template <class Put>
  static void Border(const nrw::ItemFlow& placed, Put put) {
    const int bottom = placed.row + placed.rows - 1;
    const int right = placed.col + placed.cols - 1;
    for (int c = placed.col; c <= right; ++c) {
      put(placed.row, c);
      if (bottom != placed.row) put(bottom, c);
    }
    for (int r = placed.row + 1; r < bottom; ++r) {
      put(r, placed.col);
      if (right != placed.col) put(r, right);
    }
  }

  const nrw::Layout& layout_;
  std::string file_;
  int columns_ = 0;
  double band_room_mm_ = 0;
  std::vector<std::string> faults_;
};

std::vector<std::filesystem::path> LayoutFiles() {
  const std::filesystem::path folder = std::filesystem::path(NRW_SOURCE_DIR) / "layouts";
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    if (entry.path().extension() == ".json") files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

TEST(Layouts, EveryValueFitsWithTheWidestValues) {
  const std::vector<std::filesystem::path> files = LayoutFiles();
  ASSERT_FALSE(files.empty()) << "no layouts found";
  for (const std::filesystem::path& file : files) {
    nrw::Layout layout;
    try {
      layout = nrw::LoadLayout(file.string());
    } catch (const std::exception& error) {
      ADD_FAILURE() << error.what();
      continue;
    }
    for (const std::string& fault : LayoutCheck(layout, file.filename().string()).Faults()) {
      ADD_FAILURE() << fault;
    }
  }
}

// The check itself: a layout with one fault of each kind reports them all.
TEST(Layouts, TheCheckFindsEveryKindOfCut) {
  const nrw::Layout layout = nrw::ParseLayout(R"({
    "report": "RptCorte", "page": {"width_mm": 30, "height_mm": 30},
    "text_grid": {"column_mm": 1, "row_mm": 1},
    "sections": [{"number": 1, "height_mm": 3, "items": [
      {"type": "text", "x_mm": 0, "y_mm": 0, "w_mm": 10, "h_mm": 1, "text": "[R1]",
       "wrap": false},
      {"type": "text", "x_mm": 12, "y_mm": 0, "w_mm": 10, "h_mm": 1, "text": "[pInscr]"},
      {"type": "text", "x_mm": 0, "y_mm": 1, "w_mm": 20, "h_mm": 1, "text": "[pNome]",
       "widest": "curto"},
      {"type": "text", "x_mm": 25, "y_mm": 2, "w_mm": 10, "h_mm": 2, "text": "[R2]",
       "widest": {"R2": "date"}}
    ]}]})",
                                              "corte.json");
  const std::vector<std::string> faults = LayoutCheck(layout, "corte.json").Faults();
  const std::vector<std::string> expected = {
      "corte.json, seção 1, item 0 (\"[R1]\"): não cabe na largura: '999.999.999.999,99'",
      "corte.json, seção 1, item 1 (\"[pInscr]\"): não cabe na largura, partido entre linhas: "
      "'99.999.999/9999-99'",
      "corte.json, seção 1, item 1 (\"[pInscr]\"): escreve sobre o item 0",
      "corte.json, seção 1, item 3 (\"[R2]\"): passa do fim da seção",
      "corte.json, seção 1, item 3 (\"[R2]\"): passa da margem da página",
  };
  EXPECT_EQ(faults, expected);
}

// The sections each module names, by the report its layout is for.
struct ModuleSections {
  const char* report;
  std::span<const nrw::common::NamedSection> sections;
};

constexpr ModuleSections kModuleSections[] = {
    {"RptCompanyPayeeStatement", company_payee_statement::kSecoes},
    {"RptIncomeStatement", income_statement::kSecoes},
    {"RptPayerRoster", payer_roster::kSecoes},
    {"RptPayrollTotals", payroll_totals::kSecoes},
    {"RptPayrollTotalsWide", payroll_totals_wide::kSecoes},
    {"RptStateGuideB", state_guide_b::kSecoes},
    {"RptStatementRoster", statement_roster::kSecoes},
    {"RptWithholdingReview", withholding_review::kSecoes},
};

// The named sections that the layout does not have, one fault each.
std::vector<std::string> MissingSections(const nrw::Layout& layout,
                                         std::span<const nrw::common::NamedSection> sections) {
  std::vector<std::string> faults;
  for (const nrw::common::NamedSection& section : sections) {
    if (layout.FindSection(section.number) == nullptr) {
      faults.push_back(layout.report + ": " + std::string(section.name) + " = " +
                       std::to_string(section.number) + " não é seção do layout");
    }
  }
  return faults;
}

TEST(Layouts, EveryNamedSectionIsASectionOfItsModulesLayout) {
  std::vector<std::string> reports;
  for (const std::filesystem::path& file : LayoutFiles()) {
    const nrw::Layout layout = nrw::LoadLayout(file.string());
    reports.push_back(layout.report);
    const auto named =
        std::find_if(std::begin(kModuleSections), std::end(kModuleSections),
                     [&](const ModuleSections& m) { return m.report == layout.report; });
    if (named == std::end(kModuleSections)) {
      ADD_FAILURE() << layout.report << ": the module's named sections are not checked here";
      continue;
    }
    EXPECT_FALSE(named->sections.empty()) << layout.report;
    for (const std::string& fault : MissingSections(layout, named->sections))
      ADD_FAILURE() << fault;
  }
  for (const ModuleSections& module : kModuleSections) {
    EXPECT_NE(std::find(reports.begin(), reports.end(), module.report), reports.end())
        << module.report << " has no layout";
  }
}

// The check itself: a name whose number the layout lacks is reported, with the name.
TEST(Layouts, TheSectionCheckNamesAMissingSection) {
  const nrw::Layout layout = nrw::ParseLayout(R"({
    "report": "RptSecoes", "page": {"width_mm": 30, "height_mm": 30},
    "sections": [{"number": 8, "height_mm": 3, "items": []}]})",
                                              "secoes.json");
  constexpr nrw::common::NamedSection kSections[] = {{"kSecaoLinha", 8}, {"kSecaoTotal", 9}};
  EXPECT_EQ(MissingSections(layout, kSections),
            std::vector<std::string>{"RptSecoes: kSecaoTotal = 9 não é seção do layout"});
}

}  // namespace
