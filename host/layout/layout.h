// The report layout: page geometry, the text grid, the main dataset statement, the panel's
// parameters and separators, and the numbered sections with their items. Plain values, loaded once
// per run (layout_loader.h) and shared read-only by the engine and the renderers.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace nrw {

enum class LayoutOrientation { Portrait, Landscape };
enum class LayoutSectionKind { PageHeading, Band };
enum class LayoutItemType { Text, Label, Line, Box };
enum class LayoutAlign { Left, Right, Center };
enum class LayoutParamType { Date, Integer, Float, Text, Selection };
enum class LayoutControl { Edit, Lookup };
//! What a printed section gives a spreadsheet: one row, one row per line of its items, the header
//! row (its first print only), or nothing.
enum class LayoutSheetRows { Row, Lines, Header, None };
//! The kind of a spreadsheet cell: Auto takes it from the item's mask (a text otherwise); None
//! leaves the item out of the spreadsheet.
enum class LayoutCell { Auto, Text, Amount, Integer, Date, None };
//! What the edit control of a date parameter shows, and so what the user types into it.
enum class LayoutDateEditor { Date, MonthYear, Year };

struct LayoutMargins {
  double top_mm = 0;
  double bottom_mm = 0;
  double left_mm = 0;
  double right_mm = 0;
};

struct LayoutPage {
  double width_mm = 210;
  double height_mm = 297;
  LayoutOrientation orientation = LayoutOrientation::Portrait;
  LayoutMargins margins;
  double BodyWidth() const { return width_mm - margins.left_mm - margins.right_mm; }
  double BodyHeight() const { return height_mm - margins.top_mm - margins.bottom_mm; }
};

//! Character cell of the text renderer.
struct LayoutTextGrid {
  double column_mm = 2.5;
  double row_mm = 4.2333;
};

//! How a text is drawn by the renderers that have fonts (PDF, HTML); the text output ignores it.
//! Empty family and size 0 take the layout's.
struct LayoutFont {
  std::string family;
  double size_pt = 0;
  bool bold = false;
};

//! One drawn object of a section; coordinates from the section's top-left corner.
struct LayoutItem {
  LayoutItemType type = LayoutItemType::Text;
  //! Object name for captions and properties set by the module; empty when it has none.
  std::string name;
  double x_mm = 0;
  double y_mm = 0;
  double w_mm = 0;
  double h_mm = 0;
  //! Text with [VARIABLE] placeholders ("[[" is a literal "[").
  std::string text;
  LayoutAlign align = LayoutAlign::Left;
  //! Texts wrap at blanks within the width and the item grows by the rows it needs. false: a value
  //! that must not wrap (an amount, a registration number, a date); a line wider than the item is
  //! a layout error, printed whole past the item's width when it happens at run time.
  bool wrap = true;
  //! For the layout test: the widest value of the item's placeholders, per placeholder name, or
  //! for every placeholder of the item under an empty name (docs/layouts.md, "widest").
  std::vector<std::pair<std::string, std::string>> widest;
  LayoutFont font;
  //! The column of a spreadsheet the item's value goes to; empty: none named.
  std::string column;
  LayoutCell cell = LayoutCell::Auto;
};

//! The bands a band stays on one page with: the next `count` bands, while each is one of
//! `sections`. When the last of them does not fit, the engine moves them to the next page together.
struct LayoutKeep {
  //! Empty: the band keeps with nothing.
  std::vector<int> sections;
  int count = 1;
};

//! A group heading printed again under the page headings of every page that starts inside its
//! group: the last print of the section (made while the variable `when` was not blank, when named).
struct LayoutRepeat {
  bool on = false;
  std::string when;
};

struct LayoutSection {
  int number = 0;
  double height_mm = 0;
  LayoutSectionKind kind = LayoutSectionKind::Band;
  //! Bands default to Row, page headings to Header.
  LayoutSheetRows sheet = LayoutSheetRows::Row;
  std::vector<LayoutItem> items;
  LayoutKeep keep_with_next;
  LayoutRepeat repeat;
  //! A second print on the same page places nothing (a heading that a module prints twice).
  bool once_per_page = false;
};

//! A parameter restricts the main dataset's selection through FilterInterval over these columns.
struct LayoutFilter {
  std::string param;
  std::vector<std::string> columns;
  int kind = 1;
};

struct LayoutDataset {
  //! Empty: the report has no main dataset rows (an empty dataset is opened).
  std::string sql;
  std::vector<LayoutFilter> filters;
  //! The statement's parameters (MainDatasetParamNames), read once with the layout: the filters
  //! put in its place add literals only. Empty when the layout was not read from a file.
  std::optional<std::vector<std::string>> param_names;
};

//! A record dataset the host prepares before Imprimir and hands to the module: the rows of table
//! that pass the shared selection, in the given order, whose handle goes to the parameter param.
struct LayoutHandedDataSet {
  std::string param;
  std::string table;
  //! ORDER BY list; empty: store order.
  std::string order;
};

//! The handed datasets and the selection they share: a condition with named parameters bound from
//! the panel and the filters of the parameters that restrict the selection.
struct LayoutHandedDataSets {
  std::string where;
  std::vector<LayoutFilter> filters;
  std::vector<LayoutHandedDataSet> datasets;
};

struct LayoutParam {
  std::string name;
  std::string caption;
  LayoutParamType type = LayoutParamType::Text;
  //! May hold the markers "{ano}", "{ano-N}", "{ano+N}" and "{hoje}".
  std::string default_value;
  std::string options;
  std::string dictionary;
  bool visible = true;
  LayoutControl control = LayoutControl::Edit;
  //! Date parameters: the editor the panel starts with (a module's hook may change it).
  LayoutDateEditor editor = LayoutDateEditor::Date;
  //! Bounds of an integer or float value the user gives; an integer without them must fit 32 bits.
  std::optional<double> min;
  std::optional<double> max;
};

struct LayoutSeparator {
  std::string param;
  std::string fields;
  std::string table;
  std::string filter;
};

struct Layout {
  std::string report;
  std::string title;
  LayoutPage page;
  LayoutTextGrid grid;
  //! The texts' font where an item names none (family and size always set after loading).
  LayoutFont font;
  LayoutDataset dataset;
  std::vector<LayoutParam> params;
  std::vector<LayoutSeparator> separators;
  LayoutHandedDataSets handed;
  //! In number order.
  std::vector<LayoutSection> sections;
  //! The host's own sections, numbered below zero where no module prints: the message page's
  //! (layout/message_pages.h).
  std::vector<LayoutSection> host_sections;
  //! What a message of the module is about, a text with placeholders expanded when the message is
  //! sent ("{[pCodigoEmpresa]}{, CNPJ [pCNPJ]}"); empty: the part's values in a separated run.
  std::string message_subject;

  //! A section of the layout, or of the host's own below zero.
  const LayoutSection* FindSection(int number) const;
  //! Names compared without regard to case.
  const LayoutParam* FindParam(std::string_view name) const;
  const LayoutSeparator* FindSeparator(std::string_view param) const;
  //! The page-heading sections, in number order.
  std::vector<const LayoutSection*> PageHeadings() const;
  //! Height of all page headings together.
  double PageHeadingHeight() const;
};

}  // namespace nrw
