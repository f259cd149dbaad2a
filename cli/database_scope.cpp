#include "database_scope.h"

#include "nrwhost/settings.h"

namespace nrw::cli {
namespace {

std::unique_ptr<TnConnection> ReadOnlyConnection(const std::string& target) {
  if (!IsPostgreSQLTarget(target)) return OpenSQLite(target, OpenMode::ReadOnly);
  return OpenConnection(target, OpenMode::ReadOnly);
}

}  // namespace

OpenDatabase::OpenDatabase(const std::string& target, const std::string& imported)
    : connection_(ReadOnlyConnection(target)),
      snapshot_(*connection_, imported),
      scope_(*connection_) {}

CurrentUser::CurrentUser(std::optional<int> user) { DefinirUsuarioAtual(user); }
CurrentUser::~CurrentUser() { DefinirUsuarioAtual(std::nullopt); }

}  // namespace nrw::cli
