#include "run_arguments.h"

#include <fcntl.h>

#include <stdexcept>
#include <vector>

#include "nrwhost/database.h"
#include "nrwhost/files.h"

namespace nrw::cli {

bool IsPattern(const std::string& output) { return output.find('{') != std::string::npos; }

CheckedRun CheckRunArguments(const CommonOptions& common, const RunCommand& command) {
  CheckedRun checked;
  // A server is asked when opened; a file must be there and be a database file.
  const bool on_server = IsPostgreSQLTarget(command.db);
  if (!on_server) CheckDatabaseFile(command.db);
  const std::vector<std::string> protected_files =
      on_server ? std::vector<std::string>{} : DatabaseFiles(command.db);
  checked.files =
      FindModule(command.module, ResolveLocations(common.modules_dir, common.layouts_dir));
  checked.output = command.out.empty() ? "-" : command.out;
  const bool output_is_file = checked.output != "-" && !IsPattern(checked.output);
  if (output_is_file) CheckOutputTarget(checked.output, protected_files);
  if (!command.trace.empty()) {
    if (command.trace == "-") throw UsageError("Rastro: use um arquivo, não a saída padrão.");
    CheckOutputTarget(command.trace, protected_files);
    if (output_is_file && SameFile(command.trace, checked.output)) {
      throw UsageError("A saída e o rastro são o mesmo arquivo: " + command.trace + ".");
    }
  }
  if (!command.manifest.empty()) CheckOutputTarget(command.manifest, protected_files);
  return checked;
}

std::optional<ShardSpec> ParseShare(const std::string& text, const std::string& option) {
  if (text.empty()) return std::nullopt;
  const size_t slash = text.find('/');
  ShardSpec share;
  try {
    if (slash == std::string::npos) throw std::invalid_argument(text);
    size_t used = 0;
    share.index = std::stoi(text.substr(0, slash), &used);
    if (used != slash) throw std::invalid_argument(text);
    const std::string count = text.substr(slash + 1);
    share.count = std::stoi(count, &used);
    if (used != count.size()) throw std::invalid_argument(text);
  } catch (const std::exception&) {
    throw UsageError(option + " " + text + ": use I/N, por exemplo 2/3.");
  }
  if (share.count < 1 || share.index < 1 || share.index > share.count) {
    throw UsageError(option + " " + text + ": I vai de 1 a N.");
  }
  return share;
}

void CheckProgressFd(int fd) {
  if (fd < 0) return;
  const int flags = fcntl(fd, F_GETFL);
  if (flags < 0 || (flags & O_ACCMODE) == O_RDONLY) {
    throw UsageError("--progress-fd " + std::to_string(fd) +
                     ": o descritor não está aberto para escrita.");
  }
}

}  // namespace nrw::cli
