#include "database_scope.h"

#include "nrwhost/settings.h"

namespace nrw::cli {
namespace {

std::unique_ptr<TnConnection> ReadOnlyConnection(const std::string& target) {
  if (!IsPostgreSQLTarget(target)) return OpenSQLite(target, OpenMode::ReadOnly);
  std::unique_ptr<TnConnection> connection = OpenConnection(target, OpenMode::ReadOnly);
  connection->ExecuteScript("BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY");
  return connection;
}

}  // namespace

OpenDatabase::OpenDatabase(const std::string& target)
    : connection_(ReadOnlyConnection(target)), scope_(*connection_) {}

CurrentUser::CurrentUser(std::optional<int> user) { DefinirUsuarioAtual(user); }
CurrentUser::~CurrentUser() { DefinirUsuarioAtual(std::nullopt); }

}  // namespace nrw::cli
