#include "run/archive_copies.h"

#include <filesystem>
#include <map>

#include "nrwhost/files.h"
#include "run/file_identity.h"

namespace nrw {

std::string ArchivePath(const std::string& archive_dir, const std::string& output) {
  return (std::filesystem::path(archive_dir) / std::filesystem::path(output).filename()).string();
}

void CheckArchiveCopies(const std::string& archive_dir, const std::vector<std::string>& outputs) {
  if (archive_dir.empty()) return;
  std::map<FileIdentity, const std::string*> output_of;
  for (const std::string& output : outputs) {
    const FileIdentity identity = IdentityOf(output);
    if (identity.known) output_of.emplace(identity, &output);
  }
  std::map<FileIdentity, const std::string*> copy_of;
  for (const std::string& output : outputs) {
    const std::string copy = ArchivePath(archive_dir, output);
    const FileIdentity identity = IdentityOf(copy);
    if (!identity.known) continue;
    if (const auto hit = output_of.find(identity); hit != output_of.end()) {
      throw UsageError("--archive: a cópia sem senha de " + output + " iria para " + copy +
                       ", sobre a saída " + *hit->second +
                       "; use uma pasta de --archive fora das pastas das saídas.");
    }
    const auto [found, inserted] = copy_of.emplace(identity, &output);
    if (!inserted) {
      throw UsageError("--archive: as cópias de " + *found->second + " e de " + output +
                       " teriam o mesmo nome, " + copy +
                       "; dê às saídas nomes de arquivo diferentes, não só pastas diferentes.");
    }
  }
}

}  // namespace nrw
