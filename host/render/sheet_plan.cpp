#include "render/sheet_plan.h"

#include <algorithm>
#include <string_view>

#include "layout/placeholders.h"
#include "layout/section_flow.h"
#include "nrw/format.h"

namespace nrw {
namespace {

// The placeholders of a text, as written between the brackets ("VALOR:#,##0.00").
std::vector<std::string> PlaceholdersOf(const std::string& text) {
  std::vector<std::string> names;
  ExpandPlaceholders(text, [&names](std::string_view name) {
    names.emplace_back(name);
    return std::string();
  });
  return names;
}

bool IsBlankText(const std::string& text) {
  return text.find_first_not_of(" \t\r\n") == std::string::npos;
}

CellKind KindOfMask(std::string_view mask) {
  const bool date = mask.find_first_of("dDmMyY") != std::string_view::npos;
  if (date) {
    // A year alone is a number; anything with a day or a month is a date.
    return SameText(Trim(mask), "yyyy") ? CellKind::Integer : CellKind::Date;
  }
  if (mask.find_first_of("0#") == std::string_view::npos) return CellKind::Text;
  if (mask.find('.') != std::string_view::npos) return CellKind::Amount;
  // "0000" pads a code with zeros: it is a code, kept as printed.
  if (mask.size() > 1 && mask.substr(0, 2) == "00") return CellKind::Text;
  return CellKind::Integer;
}

struct Placed {
  size_t index = 0;
  int line = 0;
  int column = 0;
};

// The section's items that give cells, in reading order.
std::vector<Placed> ReadingOrder(const LayoutSection& section, const LayoutTextGrid& grid,
                                 bool named) {
  std::vector<Placed> placed;
  for (size_t i = 0; i < section.items.size(); ++i) {
    const LayoutItem& item = section.items[i];
    if (item.type != LayoutItemType::Text && item.type != LayoutItemType::Label) continue;
    if (item.cell == LayoutCell::None || IsPageFurniture(item)) continue;
    if (named && item.column.empty()) continue;
    placed.push_back({i, GridCells(item.y_mm, grid.row_mm), GridCells(item.x_mm, grid.column_mm)});
  }
  std::stable_sort(placed.begin(), placed.end(), [](const Placed& a, const Placed& b) {
    return a.line != b.line ? a.line < b.line : a.column < b.column;
  });
  return placed;
}

bool NamesColumns(const Layout& layout) {
  for (const LayoutSection& section : layout.sections) {
    for (const LayoutItem& item : section.items) {
      if (!item.column.empty()) return true;
    }
  }
  return false;
}

}  // namespace

CellKind CellKindOf(const LayoutItem& item) {
  switch (item.cell) {
    case LayoutCell::Text:
    case LayoutCell::None:
      return CellKind::Text;
    case LayoutCell::Amount:
      return CellKind::Amount;
    case LayoutCell::Integer:
      return CellKind::Integer;
    case LayoutCell::Date:
      return CellKind::Date;
    case LayoutCell::Auto:
      break;
  }
  const std::vector<std::string> names = PlaceholdersOf(item.text);
  if (names.size() != 1) return CellKind::Text;
  const std::string literal = ExpandPlaceholders(item.text, [](std::string_view) { return ""; });
  if (!IsBlankText(literal)) return CellKind::Text;
  const size_t colon = names.front().find(':');
  if (colon == std::string::npos) return CellKind::Text;
  return KindOfMask(std::string_view(names.front()).substr(colon + 1));
}

bool IsPageFurniture(const LayoutItem& item) {
  for (const std::string& name : PlaceholdersOf(item.text)) {
    if (Trim(name).rfind('@', 0) == 0) return true;
  }
  return false;
}

namespace {

// The named columns in the order they first appear, each new one right after the name before it on
// its line (so that a column a later line adds sits where that line prints it).
std::vector<std::string> ColumnNames(const Layout& layout) {
  std::vector<std::string> names;
  for (const LayoutSection& section : layout.sections) {
    if (section.sheet == LayoutSheetRows::None || section.sheet == LayoutSheetRows::Header) {
      continue;
    }
    int line = -1;
    size_t after = 0;
    for (const Placed& at : ReadingOrder(section, layout.grid, true)) {
      const std::string& name = section.items[at.index].column;
      if (at.line != line) after = names.size();
      line = at.line;
      auto found = std::find(names.begin(), names.end(), name);
      if (found == names.end()) {
        found = names.insert(names.begin() + static_cast<std::ptrdiff_t>(after), name);
      }
      after = static_cast<size_t>(found - names.begin()) + 1;
    }
  }
  return names;
}

}  // namespace

SheetPlan::SheetPlan(const Layout& layout) {
  const bool named = NamesColumns(layout);
  if (named) names_ = ColumnNames(layout);
  for (const LayoutSection& section : layout.sections) {
    if (section.sheet == LayoutSheetRows::None) continue;
    // Named columns are the header row themselves.
    if (named && section.sheet == LayoutSheetRows::Header) continue;
    SheetSection plan;
    plan.rows = section.sheet;
    int line = -1;
    size_t place = 0;
    for (const Placed& at : ReadingOrder(section, layout.grid, named)) {
      const LayoutItem& item = section.items[at.index];
      if (section.sheet == LayoutSheetRows::Lines && at.line != line) place = 0;
      line = at.line;
      size_t column = place++;
      if (named) {
        column = static_cast<size_t>(std::find(names_.begin(), names_.end(), item.column) -
                                     names_.begin());
      }
      const CellKind kind =
          section.sheet == LayoutSheetRows::Header ? CellKind::Text : CellKindOf(item);
      plan.cells.push_back({at.index, column, kind, at.line});
      Widen(column, item.w_mm);
    }
    if (!plan.cells.empty()) sections_.emplace(section.number, std::move(plan));
  }
}

const SheetSection* SheetPlan::Find(int number) const {
  const auto found = sections_.find(number);
  return found == sections_.end() ? nullptr : &found->second;
}

void SheetPlan::Widen(size_t column, double width_mm) {
  if (widths_.size() <= column) widths_.resize(column + 1, 0);
  widths_[column] = std::max(widths_[column], width_mm);
}

}  // namespace nrw
