// Application API: the kinds of document a run writes, and how one is told from an output name.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "nrw/api.h"

namespace nrw {

enum class OutputFormat { Text, Pdf, Html, Xlsx, Csv };

//! The format a file name asks for by its extension (".txt", ".pdf", ".html" or ".htm", ".xlsx",
//! ".csv", case ignored); nothing for any other.
NRW_API std::optional<OutputFormat> FormatOfPath(std::string_view path);
//! "text", "pdf", "html", "xlsx" or "csv" (also "txt"); nothing for any other name.
NRW_API std::optional<OutputFormat> FormatNamed(std::string_view name);

}  // namespace nrw
