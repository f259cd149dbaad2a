// `nrw usuario add|remove`: the web users of `nrw serve` and their passwords.
#include <termios.h>
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <iostream>
#include <memory>
#include <optional>
#include <string>

#include "commands.h"
#include "nrwhost/files.h"
#include "password_hash.h"
#include "users_file.h"

namespace nrw::cli {
namespace {

constexpr size_t kMinPassword = 8;
constexpr size_t kMaxPassword = 1024;

struct UsuarioCommand {
  std::string name;
  std::optional<int> usuario;
  std::string users;
};

// Echo off on the terminal while the password is typed, restored whatever happens.
class HiddenInput {
 public:
  HiddenInput() {
    if (tcgetattr(STDIN_FILENO, &saved_) != 0) return;
    termios quiet = saved_;
    quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    active_ = tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet) == 0;
  }
  ~HiddenInput() {
    if (active_) tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved_);
  }
  HiddenInput(const HiddenInput&) = delete;
  HiddenInput& operator=(const HiddenInput&) = delete;

 private:
  termios saved_{};
  bool active_ = false;
};

std::string ReadLine(const char* prompt, bool terminal) {
  std::string line;
  if (terminal) {
    std::cerr << prompt << std::flush;
    const HiddenInput hidden;
    std::getline(std::cin, line);
    std::cerr << '\n';
  } else {
    std::getline(std::cin, line);
  }
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

// From the terminal (typed twice), or the first line of stdin when it is not one.
std::string ReadPassword() {
  const bool terminal = isatty(STDIN_FILENO) != 0;
  const std::string password = ReadLine("Senha: ", terminal);
  if (password.size() < kMinPassword) {
    throw UsageError("a senha precisa ter ao menos " + std::to_string(kMinPassword) +
                     " caracteres.");
  }
  if (password.size() > kMaxPassword) throw UsageError("a senha é longa demais.");
  if (terminal && ReadLine("Confirme a senha: ", true) != password) {
    throw UsageError("as senhas digitadas não conferem.");
  }
  return password;
}

void CheckName(const std::string& name) {
  if (!server::ValidUserName(name)) {
    throw UsageError("nome de usuário inválido: use de 1 a 64 letras, dígitos, '.', '_' ou '-'.");
  }
}

int AddUser(const CommonOptions& common, const UsuarioCommand& command) {
  try {
    CheckName(command.name);
    if (!command.usuario || *command.usuario <= 0) {
      throw UsageError("--usuario deve ser o código (positivo) do usuário do sistema.");
    }
    server::UsersFile file = server::UsersFile::Load(command.users, true);
    const std::string password = ReadPassword();
    file.Put({command.name, *command.usuario, server::HashPassword(password)});
    file.Save(command.users);
  } catch (const UsageError& error) {
    return Failed(common, error.what(), error.Detail(), kUsageError);
  } catch (const std::exception& error) {
    return Failed(common, error.what(), "", kFailed);
  }
  std::cerr << "Usuário " << command.name << " gravado em " << command.users << ".\n";
  return kOk;
}

int RemoveUser(const CommonOptions& common, const UsuarioCommand& command) {
  try {
    CheckName(command.name);
    server::UsersFile file = server::UsersFile::Load(command.users, false);
    if (!file.Remove(command.name)) {
      throw UsageError("o usuário " + command.name + " não existe em " + command.users + ".");
    }
    file.Save(command.users);
  } catch (const UsageError& error) {
    return Failed(common, error.what(), error.Detail(), kUsageError);
  } catch (const std::exception& error) {
    return Failed(common, error.what(), "", kFailed);
  }
  std::cerr << "Usuário " << command.name << " removido de " << command.users << ".\n";
  return kOk;
}

}  // namespace

Subcommand AddUsuarioCommand(CLI::App& app, const CommonOptions& common) {
  auto add_command = std::make_shared<UsuarioCommand>();
  auto remove_command = std::make_shared<UsuarioCommand>();
  CLI::App* usuario = app.add_subcommand("usuario", "Usuários do servidor web (nrw serve)");
  usuario->require_subcommand(1);
  CLI::App* add = usuario->add_subcommand(
      "add", "Cria ou troca a senha de um usuário (senha lida do terminal ou da entrada padrão)");
  add->add_option("NAME", add_command->name, "Nome de acesso")->required();
  add->add_option("--usuario", add_command->usuario,
                  "Código do usuário do sistema (as empresas a que ele tem direito)")
      ->required();
  add->add_option("--users", add_command->users, "Arquivo de usuários")->required();
  CLI::App* remove = usuario->add_subcommand("remove", "Remove um usuário");
  remove->add_option("NAME", remove_command->name, "Nome de acesso")->required();
  remove->add_option("--users", remove_command->users, "Arquivo de usuários")->required();
  return {usuario, [&common, add, add_command, remove_command] {
            return add->parsed() ? AddUser(common, *add_command)
                                 : RemoveUser(common, *remove_command);
          }};
}

}  // namespace nrw::cli
