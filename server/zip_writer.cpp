#include "zip_writer.h"

#include <zip.h>

#include <memory>
#include <stdexcept>

namespace nrw::server {
namespace {

struct ZipDiscard {
  void operator()(zip_t* archive) const { zip_discard(archive); }
};

bool EndsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

}  // namespace

void WriteZip(const std::string& path,
              const std::vector<std::pair<std::string, std::string>>& files) {
  int error = 0;
  std::unique_ptr<zip_t, ZipDiscard> archive(
      zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error));
  if (!archive) throw std::runtime_error("não foi possível criar o arquivo ZIP");
  for (const auto& [source_path, name] : files) {
    zip_source_t* source = zip_source_file(archive.get(), source_path.c_str(), 0, -1);
    if (source == nullptr) throw std::runtime_error("não foi possível ler um arquivo da execução");
    const zip_int64_t index =
        zip_file_add(archive.get(), name.c_str(), source, ZIP_FL_ENC_UTF_8 | ZIP_FL_OVERWRITE);
    if (index < 0) {
      zip_source_free(source);
      throw std::runtime_error("não foi possível acrescentar um arquivo ao ZIP");
    }
    if (EndsWith(name, ".pdf") || EndsWith(name, ".xlsx")) {
      zip_set_file_compression(archive.get(), static_cast<zip_uint64_t>(index), ZIP_CM_STORE, 0);
    }
  }
  // zip_close writes everything; on success it frees the archive itself.
  if (zip_close(archive.get()) != 0)
    throw std::runtime_error("não foi possível gravar o arquivo ZIP");
  archive.release();
}

}  // namespace nrw::server
