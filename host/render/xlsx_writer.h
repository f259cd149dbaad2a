// Printed pages as an XLSX workbook (libxlsxwriter): rows as sheet_rows.h makes them, amounts and
// integers as numbers, dates as dates, texts as texts (a code keeps its leading zeros). Number
// formats are stored as the file format spells them ("#,##0.00": comma for thousands, point for
// decimals) and every spreadsheet shows them with its reader's separators, so a Brazilian one
// shows 1.234,56; writing "#.##0,00" into the file would mean something else. The header row is
// bold and frozen, with a filter over the columns. A sheet full (1.048.576 rows) goes on in another
// sheet under the same header. libxlsxwriter writes to a file name only: the workbook is made in an
// unnamed temporary file and copied to the stream when it is finished.
#pragma once

#include <cstdio>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "render/page_writer.h"
#include "render/sheet_rows.h"

struct lxw_workbook;
struct lxw_worksheet;
struct lxw_format;

namespace nrw {

class XlsxPageWriter final : public PageWriter {
 public:
  //! The layout and the stream are borrowed. Raises Exception when no workbook can be made.
  XlsxPageWriter(const Layout& layout, std::ostream& out);
  ~XlsxPageWriter() override;
  void Draw(const Page& page) override;
  //! Closes the workbook and copies it to the stream; raises Exception when it cannot be written.
  void Finish() override;
  bool ShowsPageCount() const override { return false; }

 private:
  struct WorkbookFree {
    void operator()(lxw_workbook* workbook) const;
  };
  struct FileClose {
    void operator()(std::FILE* file) const { std::fclose(file); }
  };
  struct Sheet {
    lxw_worksheet* sheet = nullptr;
    //! Rows written.
    unsigned rows = 0;
    bool header_on_top = false;
  };

  void Write(const SheetRow& row);
  void StartSheet();
  void WriteCells(const SheetRow& row);
  lxw_format* FormatOf(const CellValue& cell);

  std::ostream& out_;
  std::unique_ptr<std::FILE, FileClose> file_;
  std::unique_ptr<lxw_workbook, WorkbookFree> workbook_;
  std::string name_;
  std::vector<Sheet> sheets_;
  //! The header row, repeated on top of a sheet that follows a full one.
  std::unique_ptr<SheetRow> header_;
  lxw_format* bold_ = nullptr;
  lxw_format* integer_ = nullptr;
  lxw_format* date_ = nullptr;
  lxw_format* month_ = nullptr;
  //! By decimals.
  std::vector<lxw_format*> amounts_;
  SheetRows rows_;
};

//! A sheet's name from the report's title: without the characters a sheet's name may not hold,
//! at most 31 characters, "Relatório" when nothing is left.
std::string SheetName(const std::string& title);

}  // namespace nrw
