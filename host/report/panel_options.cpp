#include "report/panel_options.h"

#include <cstdint>

#include "nrw/format.h"

namespace nrw {

std::vector<PanelOption> ParseOptions(std::string_view text) {
  std::vector<PanelOption> options;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    const std::string line = Trim(text.substr(start, end - start));
    start = end + 1;
    if (line.empty()) continue;
    const size_t equals = line.find('=');
    if (equals == std::string::npos) {
      options.push_back({line, line});
    } else {
      options.push_back({Trim(line.substr(0, equals)), Trim(line.substr(equals + 1))});
    }
  }
  return options;
}

bool IsOption(const std::vector<PanelOption>& options, std::string_view value, bool integer) {
  const std::string typed = Trim(value);
  int64_t number = 0;
  const bool is_number = integer && TryStrToInt(typed, number);
  for (const PanelOption& option : options) {
    int64_t choice = 0;
    if (is_number ? TryStrToInt(option.value, choice) && choice == number : option.value == typed) {
      return true;
    }
  }
  return false;
}

std::string OptionValues(const std::vector<PanelOption>& options) {
  std::string values;
  for (const PanelOption& option : options) values += (values.empty() ? "" : ", ") + option.value;
  return values;
}

}  // namespace nrw
