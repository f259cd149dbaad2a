// The choices of an option parameter, read from its option text (TnpqParamItem::OpcaoTexto).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace nrw {

struct PanelOption {
  std::string value;
  std::string text;
};

//! One choice per line as "value=text"; a line without "=" is its own value and text; blank lines
//! are skipped.
std::vector<PanelOption> ParseOptions(std::string_view text);

//! Whether the value is one of the choices: the same number for integer parameters ("01" is "1"),
//! the same text otherwise (blanks around it ignored).
bool IsOption(const std::vector<PanelOption>& options, std::string_view value, bool integer);

//! The choices' values for messages: "0, 1, 2".
std::string OptionValues(const std::vector<PanelOption>& options);

}  // namespace nrw
