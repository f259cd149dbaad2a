#include "report/output_files.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "nrw/core.h"

namespace nrw {

std::string SafeFileNamePart(std::string_view value) {
  std::string safe;
  safe.reserve(value.size());
  for (const char c : value) {
    const auto byte = static_cast<unsigned char>(c);
    const bool unsafe = byte < 0x20 || byte == 0x7F ||
                        std::string_view("/\\:*?\"<>|").find(c) != std::string_view::npos;
    safe += unsafe ? '_' : c;
  }
  if (!safe.empty() && safe.find_first_not_of('.') == std::string::npos) safe = "_";
  return safe;
}

std::string ExpandOutputPattern(const std::string& pattern, const PatternLookup& lookup) {
  std::string result;
  size_t i = 0;
  while (i < pattern.size()) {
    const size_t open = pattern.find('{', i);
    if (open == std::string::npos) {
      result.append(pattern, i, std::string::npos);
      break;
    }
    const size_t close = pattern.find('}', open);
    if (close == std::string::npos) {
      result.append(pattern, i, std::string::npos);
      break;
    }
    result.append(pattern, i, open - i);
    const std::string name = pattern.substr(open + 1, close - open - 1);
    const std::optional<std::string> value = lookup(name);
    if (!value) {
      throw Exception("O nome de saída '" + pattern + "' usa {" + name +
                      "}, que não é parâmetro do relatório.");
    }
    result += SafeFileNamePart(*value);
    i = close + 1;
  }
  return result;
}

PendingOutputs::~PendingOutputs() {
  for (const Entry& entry : entries_) {
    std::error_code ignored;
    std::filesystem::remove(entry.temp, ignored);
  }
}

void PendingOutputs::Write(const std::string& path,
                           const std::function<void(std::ostream&)>& content) {
  const std::filesystem::path final_path(path);
  const std::string temp = (final_path.parent_path() /
                            ("." + final_path.filename().string() + ".tmp-" +
                             std::to_string(getpid()) + "-" + std::to_string(entries_.size())))
                               .string();
  entries_.push_back({path, temp});
  std::ofstream file(temp, std::ios::binary | std::ios::trunc);
  if (!file) throw Exception("Não foi possível criar o arquivo de saída " + path + ".");
  content(file);
  file.close();
  if (!file) throw Exception("Não foi possível gravar o arquivo de saída " + path + ".");
}

void PendingOutputs::Commit() {
  for (Entry& entry : entries_) {
    std::error_code error;
    std::filesystem::rename(entry.temp, entry.path, error);
    if (error) {
      throw Exception("Não foi possível gravar o arquivo de saída " + entry.path + ": " +
                      error.message() + ".");
    }
    entry.temp.clear();
  }
  entries_.clear();
}

}  // namespace nrw
