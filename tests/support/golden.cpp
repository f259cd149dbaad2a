#include "support/golden.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "support/paths.h"

namespace support {
namespace {

bool Updating() {
  const char* value = std::getenv("NRW_UPDATE_GOLDEN");
  return value != nullptr && std::string(value) == "1";
}

std::vector<std::string> ReadLines(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::vector<std::string> lines;
  for (std::string line; std::getline(file, line);) lines.push_back(line);
  return lines;
}

nlohmann::json Parse(const std::string& line) {
  return nlohmann::json::parse(line, nullptr, /*allow_exceptions=*/false);
}

//! The event in a few words: its kind and what identifies it.
std::string Name(const nlohmann::json& event) {
  if (!event.is_object()) return "(não é JSON)";
  std::string name = event.value("ev", "?");
  for (const char* key : {"section", "page", "name", "object", "pos"}) {
    if (event.contains(key)) name += " " + std::string(key) + "=" + event[key].dump();
  }
  if (event.contains("sql")) name += " sql=" + event["sql"].get<std::string>().substr(0, 60);
  return name;
}

std::string Differences(const nlohmann::json& expected, const nlohmann::json& actual) {
  if (!expected.is_object() || !actual.is_object()) return "";
  std::string text;
  for (const auto& [key, value] : expected.items()) {
    if (!actual.contains(key)) {
      text += "\n    " + key + ": " + value.dump() + " -> (ausente)";
    } else if (actual[key] != value) {
      text += "\n    " + key + ": " + value.dump() + " -> " + actual[key].dump();
    }
  }
  for (const auto& [key, value] : actual.items()) {
    if (!expected.contains(key)) text += "\n    " + key + ": (ausente) -> " + value.dump();
  }
  return text;
}

}  // namespace

::testing::AssertionResult MatchesGolden(const std::vector<std::string>& lines,
                                         const std::string& golden) {
  const std::string path = SourcePath(golden);
  if (Updating()) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    for (const std::string& line : lines) file << line << '\n';
    return ::testing::AssertionSuccess() << "written " << golden;
  }
  if (!std::filesystem::exists(path)) {
    return ::testing::AssertionFailure()
           << golden << " does not exist; run the test with NRW_UPDATE_GOLDEN=1 to write it";
  }
  const std::vector<std::string> expected = ReadLines(path);
  const size_t common = std::min(expected.size(), lines.size());
  for (size_t i = 0; i < common; ++i) {
    const nlohmann::json want = Parse(expected[i]);
    const nlohmann::json got = Parse(lines[i]);
    if (want == got) continue;
    std::ostringstream message;
    message << golden << ": event " << i + 1 << " differs: " << Name(want) << " -> " << Name(got)
            << Differences(want, got) << "\n  around it (golden | this run):";
    for (size_t k = (i >= 2 ? i - 2 : 0); k < std::min(common, i + 3); ++k) {
      message << "\n  " << (k == i ? "> " : "  ") << k + 1 << " " << Name(Parse(expected[k]))
              << " | " << Name(Parse(lines[k]));
    }
    message << "\n  (" << expected.size() << " events in the golden file, " << lines.size()
            << " in this run; NRW_UPDATE_GOLDEN=1 rewrites it when the change is meant)";
    return ::testing::AssertionFailure() << message.str();
  }
  if (expected.size() != lines.size()) {
    const bool longer = lines.size() > expected.size();
    return ::testing::AssertionFailure()
           << golden << ": " << expected.size() << " events in the golden file, " << lines.size()
           << " in this run; first " << (longer ? "extra" : "missing") << " event " << common + 1
           << ": " << Name(Parse(longer ? lines[common] : expected[common]));
  }
  return ::testing::AssertionSuccess();
}

}  // namespace support
