#include "send_dry_run.h"

#include <filesystem>
#include <fstream>

#include "nrwhost/files.h"

namespace nrw::cli {

EmlFolder::EmlFolder(std::string folder) : folder_(std::move(folder)) {
  std::error_code error;
  if (!std::filesystem::is_directory(folder_, error)) {
    throw UsageError("--dry-run: a pasta " + folder_ + " não existe.");
  }
}

mail::SendOutcome EmlFolder::Send(const mail::Envelope& envelope, std::string_view message) {
  const std::string path = (std::filesystem::path(folder_) / (envelope.label + ".eml")).string();
  try {
    AtomicFile file(path, {});
    {
      std::ofstream out(file.TempPath(), std::ios::binary | std::ios::trunc);
      out.write(message.data(), static_cast<std::streamsize>(message.size()));
      out.flush();
      if (!out) return {mail::SendResult::kFatal, "não foi possível gravar " + path};
    }
    file.Commit();
  } catch (const Exception& error) {
    return {mail::SendResult::kFatal, error.what()};
  }
  return {mail::SendResult::kSent, "gravada em " + path};
}

}  // namespace nrw::cli
