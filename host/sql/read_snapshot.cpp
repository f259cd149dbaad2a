#include "nrwhost/database.h"
#include "sql/result_cache.h"

namespace nrw {

ReadSnapshot::ReadSnapshot(TnConnection& connection, const std::string& imported)
    : connection_(connection) {
  if (connection_.cache_) throw Exception("Erro interno: a conexão já lê um estado fixo do banco.");
  connection_.BeginRead(imported);
  connection_.cache_ = std::make_shared<ResultCache>();
}

ReadSnapshot::~ReadSnapshot() {
  connection_.cache_.reset();
  connection_.EndRead();
}

std::string ReadSnapshot::Export() { return connection_.ExportRead(); }

}  // namespace nrw
