// The delivery on its own, against a transport that answers as scripted: what each answer of a
// server does to a part, and what a later run does with what an earlier one left.
#include "mail/delivery.h"

#include <gtest/gtest.h>

#include <map>

#include "mail/errors.h"
#include "mail/sha256.h"
#include "support/temp_dir.h"

namespace {

using namespace nrw::mail;

// Answers each address with its scripted results in turn, then takes the message.
class ScriptedTransport : public Transport {
 public:
  std::map<std::string, std::vector<SendResult>> script;
  std::vector<std::pair<std::string, std::string>> sent;  // address, message

  SendOutcome Send(const Envelope& envelope, std::string_view message) override {
    sent.emplace_back(envelope.to, std::string(message));
    std::vector<SendResult>& results = script[envelope.to];
    if (results.empty()) return {SendResult::kSent, "250 ok"};
    const SendResult result = results.front();
    results.erase(results.begin());
    return {result, "scripted"};
  }
  int CallsTo(const std::string& address) const {
    int calls = 0;
    for (const auto& [to, message] : sent) calls += to == address ? 1 : 0;
    return calls;
  }
};

class FixedDirectory : public RecipientDirectory {
 public:
  std::map<std::string, std::string> addresses;
  std::optional<Recipient> Find(const std::string& registration) override {
    const auto found = addresses.find(registration);
    if (found == addresses.end()) return std::nullopt;
    return Recipient{found->second, "Nome " + registration, "teste", ""};
  }
};

class Delivering : public testing::Test {
 protected:
  // One written part per registration number, each with its document; the address is
  // "<number>@a.example" unless given.
  void AddPart(const std::string& registration, std::optional<std::string> address = {}) {
    const std::string file = registration + ".pdf";
    const std::string content = "%PDF documento de " + registration;
    support::WriteFile(dir_.File(file), content);
    ManifestPart part;
    part.part = static_cast<int64_t>(manifest_.parts.size()) + 1;
    part.values = {{"pBeneficiarios", registration}};
    part.file = file;
    part.sha256 = Sha256Hex(content);
    part.is_protected = true;
    manifest_.parts.push_back(part);
    directory_.addresses[registration] = address.value_or(registration + "@a.example");
  }

  DeliveryReport Deliver(const DeliveryOptions& options = Options()) {
    const std::unique_ptr<Journal> journal = Journal::Open(dir_.File("j.db"), {"M", "c", "o"});
    return nrw::mail::Deliver(manifest_, directory_, transport_, *journal, options);
  }

  JournalEntry Entry(int64_t part) {
    return *Journal::Preview(dir_.File("j.db"), {"M", "c", "o"})->Find(part);
  }

  static DeliveryOptions Options() {
    DeliveryOptions options;
    options.from = {"RH", "rh@escritorio.example"};
    options.first_retry = std::chrono::milliseconds(1);
    options.max_attempts = 3;
    return options;
  }

  support::TempDir dir_;
  Manifest manifest_ = [this] {
    Manifest manifest;
    manifest.path = dir_.File("m.jsonl");
    manifest.header.module = "RptIncomeStatement";
    manifest.header.password_template = "{pBeneficiarios:digits:5}";
    return manifest;
  }();
  FixedDirectory directory_;
  ScriptedTransport transport_;
};

TEST_F(Delivering, EachAnswerOfTheServerSettlesThePartAsItShould) {
  struct Case {
    const char* name;
    std::vector<SendResult> answers;
    DeliveryStatus status;
    int transactions;
  };
  const std::vector<Case> cases = {
      {"taken", {}, DeliveryStatus::kSent, 1},
      {"4xx, then taken", {SendResult::kTemporary}, DeliveryStatus::kSent, 2},
      {"5xx: not tried again", {SendResult::kPermanent}, DeliveryStatus::kFailedPermanent, 1},
      {"4xx every time",
       {SendResult::kTemporary, SendResult::kTemporary, SendResult::kTemporary},
       DeliveryStatus::kFailedTemporary,
       3},
      {"no answer after the content: perhaps delivered",
       {SendResult::kUnknown},
       DeliveryStatus::kSending,
       1},
  };
  for (size_t i = 0; i < cases.size(); ++i) {
    const std::string registration = "100.000.000-0" + std::to_string(i);
    AddPart(registration);
    transport_.script[registration + "@a.example"] = cases[i].answers;
  }
  const DeliveryReport report = Deliver();
  for (size_t i = 0; i < cases.size(); ++i) {
    const Case& c = cases[i];
    const JournalEntry entry = Entry(static_cast<int64_t>(i) + 1);
    EXPECT_EQ(entry.status, c.status) << c.name;
    EXPECT_EQ(entry.attempts, c.transactions) << c.name;
    EXPECT_EQ(transport_.CallsTo(entry.address), c.transactions) << c.name;
  }
  EXPECT_EQ(report.sent, 2);
  EXPECT_EQ(report.failed, 2);
  EXPECT_EQ(report.pending, 1);
}

TEST_F(Delivering, WhatCannotBeSentIsNeverHandedToTheServer) {
  AddPart("200.000.000-01");
  AddPart("200.000.000-02");
  AddPart("200.000.000-03", "não é endereço");
  AddPart("200.000.000-04");
  AddPart("200.000.000-05");
  directory_.addresses.erase("200.000.000-01");
  support::WriteFile(dir_.File("200.000.000-04.pdf"), "%PDF trocado");
  std::filesystem::remove(dir_.File("200.000.000-05.pdf"));
  manifest_.parts[1].status = PartStatus::kEmpty;
  const DeliveryReport report = Deliver();
  EXPECT_TRUE(transport_.sent.empty());
  const std::pair<DeliveryStatus, const char*> expected[] = {
      {DeliveryStatus::kSkipped, "sem endereço"},
      {DeliveryStatus::kSkipped, "não gerou arquivo"},
      {DeliveryStatus::kFailedPermanent, "endereço de e-mail inválido"},
      {DeliveryStatus::kFailedPermanent, "foi alterado depois de gerado"},
      {DeliveryStatus::kFailedPermanent, "não existe"},
  };
  for (size_t i = 0; i < std::size(expected); ++i) {
    const JournalEntry entry = Entry(static_cast<int64_t>(i) + 1);
    EXPECT_EQ(entry.status, expected[i].first) << i;
    EXPECT_NE(entry.reason.find(expected[i].second), std::string::npos) << entry.reason;
  }
  EXPECT_EQ(report.skipped, 2);
  EXPECT_EQ(report.failed, 3);
}

TEST_F(Delivering, ALaterRunSendsOnlyWhatIsNotSentAndResendsAPendingPartOnlyWhenAsked) {
  for (const char* registration : {"300.000.000-01", "300.000.000-02", "300.000.000-03"}) {
    AddPart(registration);
  }
  transport_.script["300.000.000-02@a.example"] = {SendResult::kUnknown};
  transport_.script["300.000.000-03@a.example"] = {SendResult::kFatal};
  DeliveryReport first = Deliver();
  EXPECT_EQ(first.sent, 1);
  EXPECT_FALSE(first.stopped.empty());
  const std::string pending_id = Entry(2).message_id;

  transport_.sent.clear();
  const DeliveryReport second = Deliver();
  EXPECT_EQ(second.already_sent, 1);
  EXPECT_EQ(second.pending, 1);
  EXPECT_EQ(second.sent, 1);
  ASSERT_EQ(transport_.sent.size(), 1u);
  EXPECT_EQ(transport_.sent[0].first, "300.000.000-03@a.example");

  transport_.sent.clear();
  DeliveryOptions resend = Options();
  resend.resend_pending = true;
  const DeliveryReport third = Deliver(resend);
  EXPECT_EQ(third.sent, 1);
  ASSERT_EQ(transport_.sent.size(), 1u);
  EXPECT_NE(transport_.sent[0].second.find("Message-ID: " + pending_id), std::string::npos)
      << "the same message, under its first Message-ID";
  EXPECT_EQ(Entry(2).status, DeliveryStatus::kSent);
}

TEST_F(Delivering, MessagesAreSpacedToTheRateAsked) {
  for (const char* registration : {"500.000.000-01", "500.000.000-02", "500.000.000-03"}) {
    AddPart(registration);
  }
  DeliveryOptions options = Options();
  options.per_minute = 600;  // one every 100 ms
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(Deliver(options).sent, 3);
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(200));
}

TEST_F(Delivering, TemplatesUseOnlyNamesTheManifestHas) {
  AddPart("400.000.000-01");
  manifest_.parts[0].row = {{"NOMEBENEF", "Ana"}};
  DeliveryOptions options = Options();
  options.subject_template = "Informe de {NOMEBENEF} ({pBeneficiarios}) {ANO}";
  options.body_template = "Olá {NOME}.";
  EXPECT_NO_THROW(CheckTemplates(manifest_, options));
  Deliver(options);
  ASSERT_EQ(transport_.sent.size(), 1u);
  const std::string& message = transport_.sent[0].second;
  EXPECT_NE(message.find("Subject: Informe de Ana (400.000.000-01)"), std::string::npos);
  EXPECT_NE(message.find("cinco primeiros d=C3=ADgitos"), std::string::npos)
      << "the hint is added to a message that does not place it";
  options.subject_template = "Informe de {NOMEBENF}";
  EXPECT_THROW(CheckTemplates(manifest_, options), InputError);
}

}  // namespace
