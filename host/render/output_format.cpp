#include "nrwhost/output_format.h"

#include "nrw/format.h"

namespace nrw {
namespace {

bool EndsWith(std::string_view text, std::string_view end) {
  return text.size() >= end.size() && SameText(text.substr(text.size() - end.size()), end);
}

}  // namespace

std::optional<OutputFormat> FormatOfPath(std::string_view path) {
  if (EndsWith(path, ".txt")) return OutputFormat::Text;
  if (EndsWith(path, ".pdf")) return OutputFormat::Pdf;
  if (EndsWith(path, ".html") || EndsWith(path, ".htm")) return OutputFormat::Html;
  if (EndsWith(path, ".xlsx")) return OutputFormat::Xlsx;
  if (EndsWith(path, ".csv")) return OutputFormat::Csv;
  return std::nullopt;
}

std::optional<OutputFormat> FormatNamed(std::string_view name) {
  if (SameText(name, "text") || SameText(name, "txt")) return OutputFormat::Text;
  if (SameText(name, "pdf")) return OutputFormat::Pdf;
  if (SameText(name, "html")) return OutputFormat::Html;
  if (SameText(name, "xlsx")) return OutputFormat::Xlsx;
  if (SameText(name, "csv")) return OutputFormat::Csv;
  return std::nullopt;
}

}  // namespace nrw
