#include "mail/delivery.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <thread>

#include "mail/errors.h"
#include "mail/message_text.h"
#include "mail/mime.h"
#include "mail/sha256.h"
#include "mail/text.h"

namespace nrw::mail {
namespace {

using Clock = std::chrono::steady_clock;

constexpr auto kLongestRetryWait = std::chrono::minutes(10);

std::set<std::string> KnownNames(const Manifest& manifest) {
  std::set<std::string> names = {AsciiLower(kNamePlaceholder), AsciiLower(kFilePlaceholder),
                                 AsciiLower(kHintPlaceholder), AsciiLower(kYearPlaceholder),
                                 "nomebenef"};
  for (const auto& [name, value] : manifest.header.params) names.insert(AsciiLower(name));
  for (const std::string& name : manifest.header.split) names.insert(AsciiLower(name));
  for (const ManifestPart& part : manifest.parts) {
    for (const auto& [name, value] : part.values) names.insert(AsciiLower(name));
    for (const auto& [name, value] : part.row) names.insert(AsciiLower(name));
  }
  return names;
}

// At most so many transactions a minute, evenly spaced.
class Pacer {
 public:
  explicit Pacer(int per_minute)
      : interval_(per_minute > 0 ? std::chrono::milliseconds(60000 / per_minute)
                                 : std::chrono::milliseconds(0)) {}
  void Wait() {
    if (interval_.count() > 0 && last_) std::this_thread::sleep_until(*last_ + interval_);
    last_ = Clock::now();
  }

 private:
  std::chrono::milliseconds interval_;
  std::optional<Clock::time_point> last_;
};

struct Retry {
  Clock::time_point ready;
  size_t index = 0;
  int tries = 0;
  JournalEntry entry;
};

class Delivery {
 public:
  Delivery(const Manifest& manifest, RecipientDirectory& directory, Transport& transport,
           Journal& journal, const DeliveryOptions& options, const DeliveryProgress& progress)
      : manifest_(manifest),
        directory_(directory),
        transport_(transport),
        journal_(journal),
        options_(options),
        progress_(progress),
        known_(KnownNames(manifest)),
        pacer_(options.per_minute) {}

  DeliveryReport Run() {
    const size_t total = manifest_.parts.size();
    std::vector<Retry> waiting;
    size_t next = 0;
    int done = 0;
    const auto settled = [&] {
      if (progress_) progress_(++done, static_cast<int>(total));
    };
    while (report_.stopped.empty() && (next < total || !waiting.empty())) {
      Retry current;
      if (!waiting.empty() && (next == total || waiting.front().ready <= Clock::now())) {
        std::this_thread::sleep_until(waiting.front().ready);
        current = std::move(waiting.front());
        waiting.erase(waiting.begin());
      } else {
        current.index = next++;
        std::optional<JournalEntry> started = Start(manifest_.parts[current.index]);
        if (!started) {
          settled();
          continue;
        }
        current.entry = std::move(*started);
      }
      ++current.tries;
      if (Attempt(manifest_.parts[current.index], current.entry, current.tries)) {
        settled();
        continue;
      }
      if (!report_.stopped.empty()) break;
      const auto wait = std::min<Clock::duration>(
          options_.first_retry * (1 << std::min(current.tries - 1, 20)), kLongestRetryWait);
      current.ready = Clock::now() + wait;
      const auto place =
          std::upper_bound(waiting.begin(), waiting.end(), current,
                           [](const Retry& a, const Retry& b) { return a.ready < b.ready; });
      waiting.insert(place, std::move(current));
    }
    // Parts waiting for another try when the run stopped failed in this run; the journal says
    // failed-temporary, so that the next run tries them.
    for (Retry& retry : waiting) {
      Fail(retry.entry, "falha temporária; o envio parou antes de nova tentativa",
           DeliveryStatus::kFailedTemporary);
    }
    report_.not_reached = static_cast<int>(total - next);
    std::sort(report_.problems.begin(), report_.problems.end(),
              [](const JournalEntry& a, const JournalEntry& b) { return a.part < b.part; });
    return std::move(report_);
  }

 private:
  // The entry to send the part with, or nothing when the part is settled without a transaction
  // (sent before, left pending, nothing to send or no one to send it to).
  std::optional<JournalEntry> Start(const ManifestPart& part) {
    const std::optional<JournalEntry> previous = journal_.Find(part.part);
    if (previous && previous->status == DeliveryStatus::kSent) {
      ++report_.already_sent;
      return std::nullopt;
    }
    if (previous && previous->status == DeliveryStatus::kSending && !options_.resend_pending) {
      ++report_.pending;
      report_.problems.push_back(*previous);
      if (report_.problems.back().reason.empty()) {
        report_.problems.back().reason =
            "o envio anterior foi interrompido durante a transmissão: confira com o destinatário "
            "antes de reenviar (--reenviar-pendentes)";
      }
      return std::nullopt;
    }
    JournalEntry entry;
    entry.part = part.part;
    entry.file = part.file;
    entry.sha256 = part.sha256;
    if (previous) {
      entry.attempts = previous->attempts;
      // The same message once more: a receiver that has it already can tell.
      if (previous->status == DeliveryStatus::kSending) entry.message_id = previous->message_id;
    }
    if (part.status != PartStatus::kWritten) {
      Skip(entry, part.reason.empty() ? "a parte não gerou arquivo" : part.reason);
      return std::nullopt;
    }
    const std::optional<std::string> registration = RegistrationOf(part);
    if (!registration) {
      Skip(entry, "a parte não identifica o destinatário (CPF ou CNPJ)");
      return std::nullopt;
    }
    entry.registration = *registration;
    const std::optional<Recipient> recipient = directory_.Find(*registration);
    const std::string* row_name = FindValue(part.row, "NOMEBENEF");
    entry.name = row_name != nullptr ? *row_name : recipient ? recipient->name : "";
    if (!recipient || (recipient->address.empty() && recipient->problem.empty())) {
      Skip(entry, "sem endereço de e-mail");
      return std::nullopt;
    }
    entry.address = recipient->address;
    if (!recipient->problem.empty()) {
      Fail(entry, recipient->problem);
      return std::nullopt;
    }
    if (!IsValidAddress(entry.address)) {
      Fail(entry, "endereço de e-mail inválido (" + recipient->source + ")");
      return std::nullopt;
    }
    if (entry.message_id.empty()) {
      entry.message_id = NewMessageId(part.part, DomainOf(options_.from.address));
    }
    return entry;
  }

  // One transaction; true when the part is settled, false when it is to be tried again.
  bool Attempt(const ManifestPart& part, JournalEntry& entry, int tries) {
    std::string content;
    if (const std::string problem = LoadDocument(part, content); !problem.empty()) {
      Fail(entry, problem);
      return true;
    }
    const std::string message = Compose(part, entry, content);
    char number[24];
    std::snprintf(number, sizeof number, "%06lld", static_cast<long long>(part.part));
    const Envelope envelope{options_.from.address, entry.address,
                            number + ("_" + std::filesystem::path(part.file).stem().string())};
    pacer_.Wait();
    entry.status = DeliveryStatus::kSending;
    ++entry.attempts;
    entry.reason.clear();
    journal_.Record(entry);
    const SendOutcome outcome = transport_.Send(envelope, message);
    entry.reply = outcome.reply;
    switch (outcome.result) {
      case SendResult::kSent:
        entry.status = DeliveryStatus::kSent;
        journal_.Record(entry);
        ++report_.sent;
        return true;
      case SendResult::kPermanent:
        Fail(entry, "o servidor recusou a mensagem");
        return true;
      case SendResult::kUnknown:
        entry.reason =
            "o servidor não confirmou o recebimento: confira com o destinatário antes de reenviar "
            "(--reenviar-pendentes)";
        journal_.Record(entry);
        ++report_.pending;
        report_.problems.push_back(entry);
        return true;
      case SendResult::kFatal:
        report_.stopped = outcome.reply;
        Fail(entry, outcome.reply, DeliveryStatus::kFailedTemporary);
        return true;
      case SendResult::kTemporary:
        break;
    }
    if (tries < options_.max_attempts) {
      entry.status = DeliveryStatus::kFailedTemporary;
      entry.reason = "falha temporária; nova tentativa";
      journal_.Record(entry);
      return false;
    }
    Fail(entry, "falha temporária em " + std::to_string(tries) + " tentativas",
         DeliveryStatus::kFailedTemporary);
    if (outcome.unreachable)
      report_.stopped = "o servidor SMTP não responde (" + outcome.reply + ")";
    return true;
  }

  // The document's bytes, checked against the manifest; a problem in words, or empty.
  std::string LoadDocument(const ManifestPart& part, std::string& content) const {
    const std::string path = manifest_.Resolve(part.file);
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) return "o arquivo " + path + " não existe";
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    if (!in.good() && !in.eof()) return "o arquivo " + path + " não pôde ser lido";
    content = bytes.str();
    if (Sha256Hex(content) != AsciiLower(part.sha256)) {
      return "o arquivo " + path +
             " foi alterado depois de gerado (SHA-256 diferente do manifesto)";
    }
    return {};
  }

  std::string Hint(const ManifestPart& part) const {
    if (!part.is_protected) return {};
    const std::optional<std::string>& pattern =
        part.password_template ? part.password_template : manifest_.header.password_template;
    if (!pattern) return "a senha informada pela empresa";
    return DescribePassword(*pattern, [&](std::string_view name) -> std::optional<std::string> {
      const std::string* value = Value(part, name);
      return value != nullptr ? std::optional<std::string>(*value) : std::nullopt;
    });
  }

  const std::string* Value(const ManifestPart& part, std::string_view name) const {
    const std::string key(name);
    if (const std::string* value = FindValue(part.values, key)) return value;
    if (const std::string* value = FindValue(part.row, key)) return value;
    return FindValue(manifest_.header.params, key);
  }

  std::string Compose(const ManifestPart& part, const JournalEntry& entry,
                      const std::string& content) const {
    const std::string file_name = std::filesystem::path(part.file).filename().string();
    const std::string hint = Hint(part);
    const TemplateLookup lookup = [&](std::string_view name) -> std::optional<std::string> {
      if (const std::string* value = Value(part, name)) return *value;
      if (SameTextIgnoringCase(name, kNamePlaceholder) || SameTextIgnoringCase(name, "NOMEBENEF")) {
        return entry.name;
      }
      if (SameTextIgnoringCase(name, kFilePlaceholder)) return file_name;
      if (SameTextIgnoringCase(name, kHintPlaceholder)) return hint;
      if (SameTextIgnoringCase(name, kYearPlaceholder)) {
        return BaseYear(manifest_.header).value_or("");
      }
      if (known_.count(AsciiLower(name)) != 0) return std::string();
      return std::nullopt;
    };
    Message message;
    message.from = options_.from;
    message.to = {entry.name, entry.address};
    message.subject = options_.subject_template
                          ? ExpandTemplate(*options_.subject_template, lookup, "--assunto")
                          : DefaultSubject(manifest_.header);
    if (options_.body_template) {
      message.body = ExpandTemplate(*options_.body_template, lookup, "--mensagem");
      bool names_hint = false;
      for (const std::string& name : TemplateNames(*options_.body_template)) {
        names_hint = names_hint || SameTextIgnoringCase(name, kHintPlaceholder);
      }
      // The recipient must learn how to open the document, whatever the template says.
      if (!hint.empty() && !names_hint) message.body += "\n\nSenha do arquivo: " + hint + ".\n";
    } else {
      message.body = DefaultBody(entry.name, file_name, hint);
    }
    message.message_id = entry.message_id;
    message.date = std::time(nullptr);
    message.attachments.push_back({file_name, content});
    return ComposeMessage(message);
  }

  void Skip(JournalEntry& entry, const std::string& reason) {
    entry.status = DeliveryStatus::kSkipped;
    entry.reason = reason;
    journal_.Record(entry);
    ++report_.skipped;
    report_.problems.push_back(entry);
  }

  void Fail(JournalEntry& entry, const std::string& reason,
            DeliveryStatus status = DeliveryStatus::kFailedPermanent) {
    entry.status = status;
    entry.reason = reason;
    journal_.Record(entry);
    ++report_.failed;
    report_.problems.push_back(entry);
  }

  const Manifest& manifest_;
  RecipientDirectory& directory_;
  Transport& transport_;
  Journal& journal_;
  const DeliveryOptions& options_;
  const DeliveryProgress& progress_;
  const std::set<std::string> known_;
  Pacer pacer_;
  DeliveryReport report_;
};

}  // namespace

void CheckTemplates(const Manifest& manifest, const DeliveryOptions& options) {
  const std::set<std::string> known = KnownNames(manifest);
  const std::pair<const std::optional<std::string>*, const char*> templates[] = {
      {&options.subject_template, "--assunto"}, {&options.body_template, "--mensagem"}};
  for (const auto& [text, what] : templates) {
    if (!*text) continue;
    for (const std::string& name : TemplateNames(**text)) {
      if (known.count(AsciiLower(name)) == 0) {
        throw InputError(std::string(what) + " usa {" + name +
                         "}, que não é valor, coluna nem parâmetro do manifesto.");
      }
    }
  }
}

DeliveryReport Deliver(const Manifest& manifest, RecipientDirectory& directory,
                       Transport& transport, Journal& journal, const DeliveryOptions& options,
                       const DeliveryProgress& progress) {
  return Delivery(manifest, directory, transport, journal, options, progress).Run();
}

}  // namespace nrw::mail
