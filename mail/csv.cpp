#include "mail/csv.h"

#include "mail/errors.h"

namespace nrw::mail {
namespace {

bool BlankRecord(const CsvRecord& record) {
  return record.fields.size() == 1 && record.fields[0].empty();
}

}  // namespace

std::string_view WithoutBom(std::string_view text) {
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  return text;
}

std::vector<CsvRecord> ParseCsv(std::string_view text, char separator, const std::string& what) {
  text = WithoutBom(text);
  std::vector<CsvRecord> records;
  CsvRecord record{1, {std::string()}};
  int line = 1;
  bool quoted = false;
  bool field_was_quoted = false;
  const auto fail = [&](const std::string& why) {
    throw InputError(what + ", linha " + std::to_string(line) + ": " + why + ".");
  };
  const auto end_record = [&] {
    if (!BlankRecord(record)) records.push_back(std::move(record));
    record = CsvRecord{line, {std::string()}};
    field_was_quoted = false;
  };
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    std::string& field = record.fields.back();
    if (quoted) {
      if (c == '"') {
        if (i + 1 < text.size() && text[i + 1] == '"') {
          field += '"';
          ++i;
        } else {
          quoted = false;
        }
      } else {
        if (c == '\n') ++line;
        field += c;
      }
      continue;
    }
    if (c == separator) {
      record.fields.emplace_back();
      field_was_quoted = false;
    } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      continue;
    } else if (c == '\n') {
      ++line;
      end_record();
    } else if (c == '"') {
      if (!field.empty() || field_was_quoted) fail("aspas no meio de um campo sem aspas");
      quoted = true;
      field_was_quoted = true;
    } else {
      if (field_was_quoted) fail("texto depois das aspas que fecham um campo");
      field += c;
    }
  }
  if (quoted) {
    line = record.line;
    fail("campo entre aspas sem as aspas que o fecham");
  }
  end_record();
  return records;
}

}  // namespace nrw::mail
