// nrw send: every written part of a run's manifest by e-mail to its recipient, with a journal
// beside the manifest that keeps anyone from receiving a document twice.
#include <CLI/CLI.hpp>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <new>

#include "commands.h"
#include "mail/csv.h"
#include "mail/delivery.h"
#include "mail/errors.h"
#include "mail/smtp_client.h"
#include "mail/text.h"
#include "mail/user_file.h"
#include "nrwhost/database.h"
#include "nrwhost/files.h"
#include "progress_bar.h"
#include "send_directory.h"
#include "send_dry_run.h"

namespace nrw::cli {
namespace {

// Problems listed one per line after the run; the journal has them all.
constexpr size_t kListedProblems = 30;

struct SendCommand {
  std::string manifest;
  std::string smtp;
  std::string from;
  std::string subject;
  std::string message_file;
  int per_minute = 0;
  std::string dry_run;
  std::string addresses;
  std::string db;
  std::string netrc;
  bool insecure = false;
  std::string journal;
  bool resend_pending = false;
  int attempts = 4;
  double retry_seconds = 5;
  int timeout_seconds = 60;
  bool unprotected = false;
};

// A message is a few paragraphs; a megabyte is far beyond any.
constexpr size_t kMaxMessageBytes = size_t{1} << 20;

std::string ReadMessageTemplate(const std::string& path) {
  const std::string whole = mail::ReadUserFile(path, "Mensagem", kMaxMessageBytes);
  const std::string content(mail::WithoutBom(whole));
  if (!mail::IsValidUtf8(content))
    throw UsageError("Mensagem " + path + ": o texto não está em UTF-8.");
  return content;
}

std::optional<std::string> Environment(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? std::optional<std::string>(value) : std::nullopt;
}

// Everything the command line names, checked before anything is opened for writing or sent.
struct CheckedSend {
  mail::Manifest manifest;
  mail::DeliveryOptions options;
  mail::SmtpSettings smtp;
  std::string journal;
  std::string database;
};

CheckedSend CheckSendArguments(const SendCommand& command) {
  CheckedSend checked;
  checked.manifest = mail::ReadManifest(command.manifest);
  const mail::Manifest& manifest = checked.manifest;
  mail::DeliveryOptions& options = checked.options;
  options.from = mail::ParseMailbox(command.from, "--from");
  if (!command.subject.empty()) {
    if (!mail::IsValidUtf8(command.subject))
      throw UsageError("--assunto: o texto não está em UTF-8.");
    options.subject_template = command.subject;
  }
  if (!command.message_file.empty())
    options.body_template = ReadMessageTemplate(command.message_file);
  mail::CheckTemplates(manifest, options);
  options.per_minute = command.per_minute;
  options.max_attempts = command.attempts;
  options.first_retry =
      std::chrono::milliseconds(static_cast<int64_t>(command.retry_seconds * 1000));
  options.resend_pending = command.resend_pending;

  if (!command.unprotected) {
    for (const mail::ManifestPart& part : manifest.parts) {
      if (part.status == mail::PartStatus::kWritten && !part.is_protected) {
        throw UsageError("A parte " + std::to_string(part.part) + " (" + part.file +
                         ") não está protegida por senha (nrw run --password); para enviar "
                         "documentos sem senha, use --sem-senha.");
      }
    }
  }
  if (command.dry_run.empty()) {
    if (command.smtp.empty()) throw UsageError("Falta --smtp (ou --dry-run PASTA).");
    mail::CheckSmtpUrl(command.smtp);
    checked.smtp.url = command.smtp;
    checked.smtp.insecure = command.insecure;
    checked.smtp.timeout = std::chrono::seconds(command.timeout_seconds);
    if (!command.netrc.empty()) {
      CheckInputFile(command.netrc, "--netrc");
      checked.smtp.netrc_file = command.netrc;
    }
    checked.smtp.user = Environment("NRW_SMTP_USER");
    checked.smtp.password = Environment("NRW_SMTP_PASSWORD");
    if (checked.smtp.user.has_value() != checked.smtp.password.has_value()) {
      throw UsageError("Defina NRW_SMTP_USER e NRW_SMTP_PASSWORD juntos.");
    }
  }
  checked.database = command.db.empty() ? manifest.header.database : command.db;
  if (!checked.database.empty() && !IsPostgreSQLTarget(checked.database) && command.db.empty()) {
    checked.database = manifest.Resolve(checked.database);
  }
  checked.journal = command.journal.empty() ? command.manifest + ".envios.db" : command.journal;
  std::vector<std::string> protected_files = {command.manifest};
  if (!checked.database.empty() && !IsPostgreSQLTarget(checked.database)) {
    protected_files.push_back(checked.database);
  }
  CheckOutputTarget(checked.journal, protected_files);
  return checked;
}

// The address file wins over the database; a database that cannot be read is only a warning when
// the file is there.
std::unique_ptr<mail::DirectoryChain> Directories(const SendCommand& command,
                                                  const CheckedSend& checked) {
  auto chain = std::make_unique<mail::DirectoryChain>();
  if (!command.addresses.empty()) {
    chain->Add(std::make_unique<mail::AddressFile>(command.addresses));
  }
  if (checked.database.empty()) {
    if (command.addresses.empty()) {
      throw UsageError("O manifesto não diz o banco de dados: use --db ou --enderecos.");
    }
    return chain;
  }
  try {
    if (!IsPostgreSQLTarget(checked.database)) CheckInputFile(checked.database, "Banco de dados");
    auto database = std::make_unique<DatabaseDirectory>(checked.database);
    if (!database->HasAddresses()) {
      std::cerr << "Aviso: o banco " << checked.database
                << " não tem endereços de e-mail (coluna EMAIL)"
                << (command.addresses.empty() ? "; use --enderecos.\n" : ".\n");
    }
    chain->Add(std::move(database));
  } catch (const Exception& error) {
    if (command.addresses.empty()) throw;
    std::cerr << "Aviso: o banco " << checked.database << " não pôde ser aberto (" << error.what()
              << "); só os endereços de --enderecos serão usados.\n";
  }
  return chain;
}

void PrintProblems(const mail::DeliveryReport& report, const std::string& journal) {
  size_t listed = 0;
  for (const mail::JournalEntry& entry : report.problems) {
    if (listed++ == kListedProblems) {
      std::cerr << "  ... e mais " << report.problems.size() - kListedProblems << " (veja o diário "
                << journal << ")\n";
      break;
    }
    std::cerr << "  parte " << entry.part;
    if (!entry.registration.empty()) std::cerr << ", " << entry.registration;
    if (!entry.name.empty()) std::cerr << " (" << entry.name << ")";
    if (!entry.address.empty()) std::cerr << " <" << entry.address << ">";
    std::cerr << ": " << entry.reason;
    if (!entry.reply.empty() && entry.status != mail::DeliveryStatus::kSkipped) {
      std::cerr << " [" << entry.reply << "]";
    }
    std::cerr << '\n';
  }
}

void PrintSummary(const mail::DeliveryReport& report, bool dry_run) {
  std::cerr << "Resumo: " << report.sent << (dry_run ? " gravadas" : " enviadas") << ", "
            << report.failed << " com falha, " << report.skipped << " sem envio";
  if (report.already_sent > 0) std::cerr << ", " << report.already_sent << " já enviadas antes";
  if (report.pending > 0) {
    std::cerr << ", " << report.pending << " pendentes de conferência (--reenviar-pendentes)";
  }
  if (report.not_reached > 0) std::cerr << ", " << report.not_reached << " não tentadas";
  std::cerr << ".\n";
}

int SendParts(const CommonOptions& common, const SendCommand& command) {
  try {
    const CheckedSend checked = CheckSendArguments(command);
    std::unique_ptr<mail::Transport> transport;
    if (command.dry_run.empty()) {
      transport = std::make_unique<mail::SmtpClient>(checked.smtp);
    } else {
      transport = std::make_unique<EmlFolder>(command.dry_run);
    }
    const std::unique_ptr<mail::DirectoryChain> directory = Directories(command, checked);
    const mail::JournalOwner owner{checked.manifest.header.module, checked.manifest.header.created,
                                   checked.manifest.header.output};
    const std::unique_ptr<mail::Journal> journal =
        command.dry_run.empty() ? mail::Journal::Open(checked.journal, owner)
                                : mail::Journal::Preview(checked.journal, owner);
    ProgressBar bar;
    const mail::DeliveryReport report =
        mail::Deliver(checked.manifest, *directory, *transport, *journal, checked.options,
                      [&bar](int done, int total) { bar.Update("Enviando", done, total); });
    bar.Clear();
    PrintProblems(report, checked.journal);
    PrintSummary(report, !command.dry_run.empty());
    if (command.dry_run.empty()) std::cerr << "Diário: " << checked.journal << '\n';
    if (!report.stopped.empty())
      return Failed(common, "o envio parou: " + report.stopped + ".", "", kFailed);
    return report.failed == 0 && report.pending == 0 ? kOk : kFailed;
  } catch (const mail::InputError& error) {
    return Failed(common, error.what(), "", kUsageError);
  } catch (const UsageError& error) {
    return Failed(common, error.what(), error.Detail(), kUsageError);
  } catch (const std::bad_alloc&) {
    return Failed(common, "memória insuficiente.", "", kFailed);
  } catch (const mail::Failure& error) {
    return Failed(common, error.what(), "", kFailed);
  } catch (const Exception& error) {
    return Failed(common, error.what(), "", kFailed);
  }
}

}  // namespace

Subcommand AddSendCommand(CLI::App& app, const CommonOptions& common) {
  auto command = std::make_shared<SendCommand>();
  CLI::App* send = app.add_subcommand(
      "send", "Envia por e-mail cada documento de um manifesto ao seu destinatário");
  send->add_option("MANIFEST", command->manifest, "Manifesto da execução (nrw run --manifest)")
      ->required();
  send->add_option("--smtp", command->smtp,
                   "Servidor: smtp://servidor:587 (STARTTLS exigido) ou smtps://servidor:465");
  send->add_option("--from", command->from, "Remetente: endereço ou \"Nome <endereço>\"")
      ->required();
  send->add_option("--assunto", command->subject,
                   "Assunto, com {NOME}, {ARQUIVO}, {ANO} e os valores e colunas da parte");
  send->add_option("--mensagem", command->message_file,
                   "Arquivo com o texto da mensagem (UTF-8), com os mesmos marcadores e "
                   "{DICA_SENHA}");
  send->add_option("--por-minuto", command->per_minute, "No máximo N mensagens por minuto")
      ->check(CLI::Range(1, 100000).description("de 1 a 100000"))
      ->type_name("N");
  send->add_option("--dry-run", command->dry_run,
                   "Grava cada mensagem como .eml nesta pasta em vez de enviar");
  send->add_option("--enderecos", command->addresses,
                   "CSV \"CPF ou CNPJ;e-mail\": endereços que valem sobre os do banco");
  send->add_option("--db", command->db, "Banco dos endereços (padrão: o do manifesto)");
  send->add_option("--netrc", command->netrc,
                   "Arquivo netrc com o usuário e a senha do servidor (padrão: ~/.netrc); ou "
                   "NRW_SMTP_USER e NRW_SMTP_PASSWORD");
  send->add_flag("--inseguro", command->insecure,
                 "Aceita SMTP sem criptografia com um servidor que não é desta máquina");
  send->add_option("--diario", command->journal,
                   "Diário dos envios (padrão: MANIFEST.envios.db, ao lado do manifesto)");
  send->add_flag("--reenviar-pendentes", command->resend_pending,
                 "Reenvia as partes cujo envio anterior ficou sem confirmação");
  send->add_option("--tentativas", command->attempts,
                   "Tentativas por parte em falhas temporárias (padrão: 4)")
      ->check(CLI::Range(1, 20).description("de 1 a 20"))
      ->type_name("N");
  send->add_option("--intervalo", command->retry_seconds,
                   "Segundos antes da segunda tentativa; dobra a cada nova (padrão: 5)")
      ->check(CLI::Range(0.0, 3600.0).description("de 0 a 3600"))
      ->type_name("SEGUNDOS");
  send->add_option("--espera", command->timeout_seconds,
                   "Segundos de espera pelo servidor antes de desistir (padrão: 60)")
      ->check(CLI::Range(1, 3600).description("de 1 a 3600"))
      ->type_name("SEGUNDOS");
  send->add_flag("--sem-senha", command->unprotected, "Aceita enviar documentos sem senha");
  return {send, [&common, command] { return SendParts(common, *command); }};
}

}  // namespace nrw::cli
