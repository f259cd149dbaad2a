#include "render/xlsx_writer.h"

#include <xlsxwriter.h>

#include <algorithm>
#include <array>
#include <cmath>

#include "nrw/core.h"
#include "util/utf8.h"

namespace nrw {
namespace {

// A sheet's name may not hold these, nor start or end with an apostrophe.
constexpr std::u32string_view kNotInSheetName = U"[]:*?/\\";
constexpr size_t kSheetNameMax = LXW_SHEETNAME_MAX;
// What one cell of a workbook holds at most, in characters (bytes are a safe bound).
constexpr size_t kCellTextMax = 32767;
// A column's width is counted in the default face's digits, about 1.9 mm each.
constexpr double kDigitMm = 1.9;

[[noreturn]] void Fail(lxw_error error) {
  throw Exception(std::string("Não foi possível gravar a planilha: ") + lxw_strerror(error) + ".");
}

void Check(lxw_error error) {
  if (error != LXW_NO_ERROR) Fail(error);
}

// At most `count` characters of the text, cut between characters.
std::string FirstCharacters(const std::string& text, size_t count) {
  std::u32string characters = DecodeUtf8(text);
  if (characters.size() > count) characters.resize(count);
  return EncodeUtf8(characters);
}

// At most max bytes, cut before a character that would not fit whole.
std::string CellText(const std::string& text) {
  if (text.size() <= kCellTextMax) return text;
  size_t end = kCellTextMax;
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
  return text.substr(0, end);
}

}  // namespace

std::string SheetName(const std::string& title) {
  std::u32string name;
  for (const char32_t c : DecodeUtf8(title)) {
    if (kNotInSheetName.find(c) == std::u32string_view::npos && c >= 0x20) name += c;
  }
  const auto blank_or_quote = [](char32_t c) { return c == U' ' || c == U'\''; };
  while (!name.empty() && blank_or_quote(name.front())) name.erase(name.begin());
  if (name.size() > kSheetNameMax) name.resize(kSheetNameMax);
  while (!name.empty() && blank_or_quote(name.back())) name.pop_back();
  return name.empty() ? "Relatório" : EncodeUtf8(name);
}

void XlsxPageWriter::WorkbookFree::operator()(lxw_workbook* workbook) const {
  lxw_workbook_free(workbook);
}

XlsxPageWriter::XlsxPageWriter(const Layout& layout, std::ostream& out)
    : out_(out),
      file_(std::tmpfile()),
      name_(SheetName(layout.title.empty() ? layout.report : layout.title)),
      rows_(layout, [this](const SheetRow& row) { Write(row); }) {
  if (!file_) throw Exception("Não foi possível criar o arquivo temporário da planilha.");
  // The unnamed file is reached by its descriptor's name: nothing is left behind whatever happens.
  const std::string path = "/proc/self/fd/" + std::to_string(fileno(file_.get()));
  // Constant memory: each row goes to disk when the next one starts, so that a long report is
  // never held whole.
  lxw_workbook_options options = {};
  options.constant_memory = LXW_TRUE;
  workbook_.reset(workbook_new_opt(path.c_str(), &options));
  if (!workbook_) throw Exception("Não foi possível criar a planilha.");
  std::string title = layout.title.empty() ? layout.report : layout.title;
  lxw_doc_properties properties = {};
  properties.title = title.data();
  Check(workbook_set_properties(workbook_.get(), &properties));

  bold_ = workbook_add_format(workbook_.get());
  format_set_bold(bold_);
  integer_ = workbook_add_format(workbook_.get());
  format_set_num_format(integer_, "0");
  date_ = workbook_add_format(workbook_.get());
  format_set_num_format(date_, "dd/mm/yyyy");
  month_ = workbook_add_format(workbook_.get());
  format_set_num_format(month_, "mm/yyyy");
  StartSheet();
  rows_.Begin();
}

XlsxPageWriter::~XlsxPageWriter() = default;

void XlsxPageWriter::Draw(const Page& page) { rows_.Add(page); }

void XlsxPageWriter::Finish() {
  for (const Sheet& sheet : sheets_) {
    if (!sheet.header_on_top || sheet.rows < 2) continue;
    const size_t columns = std::max<size_t>(rows_.Plan().Widths().size(), 1);
    Check(worksheet_autofilter(sheet.sheet, 0, 0, sheet.rows - 1,
                               static_cast<lxw_col_t>(columns - 1)));
  }
  // Closing frees the workbook whatever it answers.
  const lxw_error error = workbook_close(workbook_.release());
  if (error != LXW_NO_ERROR) Fail(error);
  std::rewind(file_.get());
  std::array<char, 1 << 16> buffer{};
  size_t read = 0;
  while ((read = std::fread(buffer.data(), 1, buffer.size(), file_.get())) > 0) {
    out_.write(buffer.data(), static_cast<std::streamsize>(read));
  }
  if (std::ferror(file_.get())) {
    throw Exception("Não foi possível ler o arquivo temporário da planilha.");
  }
  out_.flush();
}

void XlsxPageWriter::StartSheet() {
  std::string name = name_;
  if (!sheets_.empty()) {
    const std::string number = " (" + std::to_string(sheets_.size() + 1) + ")";
    name = FirstCharacters(name_, kSheetNameMax - number.size()) + number;
  }
  lxw_worksheet* sheet = workbook_add_worksheet(workbook_.get(), name.c_str());
  if (sheet == nullptr)
    throw Exception("Não foi possível criar a folha '" + name + "' da planilha.");
  const std::vector<double>& widths = rows_.Plan().Widths();
  const std::vector<std::string>& names = rows_.Plan().Names();
  for (size_t column = 0; column < widths.size(); ++column) {
    double width = widths[column] / kDigitMm + 1;
    if (column < names.size()) width = std::max(width, DecodeUtf8(names[column]).size() + 2.0);
    width = std::clamp(std::round(width), 4.0, 100.0);
    Check(worksheet_set_column(sheet, static_cast<lxw_col_t>(column),
                               static_cast<lxw_col_t>(column), width, nullptr));
  }
  sheets_.push_back({sheet, 0, false});
  if (header_) Write(*header_);
}

void XlsxPageWriter::Write(const SheetRow& row) {
  if (sheets_.back().rows >= LXW_ROW_MAX) StartSheet();
  Sheet& sheet = sheets_.back();
  if (row.header) {
    if (!header_) header_ = std::make_unique<SheetRow>(row);
    if (sheet.rows == 0) {
      sheet.header_on_top = true;
      worksheet_freeze_panes(sheet.sheet, 1, 0);
    }
  }
  WriteCells(row);
  ++sheet.rows;
}

void XlsxPageWriter::WriteCells(const SheetRow& row) {
  const Sheet& sheet = sheets_.back();
  const auto at_row = static_cast<lxw_row_t>(sheet.rows);
  for (size_t i = 0; i < row.cells.size(); ++i) {
    const CellValue& cell = row.cells[i];
    if (cell.text.empty()) continue;
    const auto column = static_cast<lxw_col_t>(i);
    if (cell.kind == CellKind::Text) {
      Check(worksheet_write_string(sheet.sheet, at_row, column, CellText(cell.text).c_str(),
                                   row.header ? bold_ : nullptr));
    } else {
      Check(worksheet_write_number(sheet.sheet, at_row, column, cell.number, FormatOf(cell)));
    }
  }
}

lxw_format* XlsxPageWriter::FormatOf(const CellValue& cell) {
  switch (cell.kind) {
    case CellKind::Integer:
      return integer_;
    case CellKind::Date:
      return cell.month ? month_ : date_;
    case CellKind::Amount:
      break;
    case CellKind::Text:
      return nullptr;
  }
  const auto decimals = static_cast<size_t>(cell.decimals);
  if (amounts_.size() <= decimals) amounts_.resize(decimals + 1, nullptr);
  if (amounts_[decimals] == nullptr) {
    lxw_format* format = workbook_add_format(workbook_.get());
    const std::string code = "#,##0" + (decimals > 0 ? "." + std::string(decimals, '0') : "");
    format_set_num_format(format, code.c_str());
    amounts_[decimals] = format;
  }
  return amounts_[decimals];
}

}  // namespace nrw
