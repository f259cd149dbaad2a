// The mail library's pieces on their own: which addresses are taken, messages as a mail program
// reads them back, the password hint, templates, the manifest in both forms, the address file and
// the journal.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <functional>

#include "mail/address.h"
#include "mail/errors.h"
#include "mail/journal.h"
#include "mail/manifest.h"
#include "mail/message_text.h"
#include "mail/mime.h"
#include "mail/recipients.h"
#include "mail/sha256.h"
#include "mail/user_file.h"
#include "send/send_support.h"
#include "support/temp_dir.h"

namespace {

using namespace nrw::mail;

TEST(Address, OnlyPlainDeliverableAddressesAreTaken) {
  const std::pair<const char*, bool> cases[] = {
      {"maria.souza@empresa.com.br", true},
      {"o'neil+rh@exemplo.example", true},
      {"a@b.co", true},
      {"", false},
      {"maria", false},
      {"maria@", false},
      {"@empresa.com.br", false},
      {"maria@empresa", false},  // one label: a typing error
      {"maria@@empresa.com", false},
      {"maria..souza@empresa.com", false},
      {".maria@empresa.com", false},
      {"maria@-empresa.com", false},
      {"maria@empresa.com.", false},
      {"maria@10.0.0.1", false},  // an address literal in disguise
      {"maria souza@empresa.com", false},
      {"maria@empresa.com\r\nBcc: x@y.com", false},
      {"\"maria\"@empresa.com", false},
      {"joão@empresa.com.br", false},
      {"maria@empresa.com,jose@empresa.com", false},
  };
  for (const auto& [text, valid] : cases) EXPECT_EQ(IsValidAddress(text), valid) << text;
  EXPECT_EQ(ParseMailbox(" Escritório Contábil <rh@escritorio.example> ", "--from").name,
            "Escritório Contábil");
  EXPECT_THROW(ParseMailbox("Escritório <rh@escritorio>", "--from"), InputError);
}

// Whatever the values hold, a mail program gets back exactly the texts and the bytes that went in,
// no value adds a header, and no line is longer than 78 octets.
TEST(Message, AMailProgramReadsBackWhatWentIn) {
  struct Case {
    const char* name;
    Mailbox to;
    std::string subject;
    std::string body;
    std::string file_name;
  };
  std::string binary;
  for (int i = 0; i < 5000; ++i) binary += static_cast<char>((i * 37) % 256);
  const std::string long_line(300, 'x');
  const std::vector<Case> cases = {
      {"plain", {"Ana Souza", "ana@a.example"}, "Comprovante 2024", "Olá,\nsegue.\n", "a.pdf"},
      {"accents everywhere",
       {"JOÃO DA SILVA ÇÃO", "joao@a.example"},
       "Comprovante de rendimentos — ano-calendário 2024 — " + std::string(60, 'e') + " ção",
       "Prezado João,\n\nsegue o informe de rendimentos pagos e de imposto retido na fonte.\n",
       "informe-ção.pdf"},
      {"specials in the name", {"Souza, Ana \"Nina\"", "ana@a.example"}, "x", "x", "b.pdf"},
      {"a header smuggled in a value",
       {"Ana\r\nBcc: intruso@mal.example", "ana@a.example"},
       "Assunto\r\nBcc: intruso@mal.example",
       "corpo",
       "c.pdf"},
      {"long lines and what servers and mailboxes touch",
       {"", "ana@a.example"},
       long_line,
       long_line + "\nFrom here on\n.\n. \nfim com espaço \n=?UTF-8?B?x?=\n",
       std::string(80, 'n') + ".pdf"},
  };
  support::TempDir dir;
  for (const Case& c : cases) {
    Message message;
    message.from = {"Escritório Contábil", "rh@escritorio.example"};
    message.to = c.to;
    message.subject = c.subject;
    message.body = c.body;
    message.message_id = NewMessageId(7, "escritorio.example");
    message.date = 1796858986;
    message.attachments.push_back({c.file_name, binary});
    const std::string raw = ComposeMessage(message);
    EXPECT_EQ(raw.find("\nBcc:"), std::string::npos) << c.name;
    support::WriteFile(dir.File("m.eml"), raw);
    const send_test::ReceivedMail mail = send_test::ReadMail({dir.File("m.eml")}).at(0);
    const auto one_line = [](std::string text) {
      for (char& ch : text) {
        if (ch == '\r' || ch == '\n') ch = ' ';
      }
      return text;
    };
    EXPECT_EQ(mail.to, c.to.address) << c.name;
    EXPECT_EQ(mail.to_name, one_line(c.to.name)) << c.name;
    EXPECT_EQ(mail.subject, one_line(c.subject)) << c.name;
    std::string body = c.body;
    for (size_t at = 0; (at = body.find('\n', at)) != std::string::npos; at += 2) {
      body.replace(at, 1, "\r\n");
    }
    EXPECT_EQ(mail.body, body) << c.name;
    ASSERT_EQ(mail.attachment_sha256.size(), 1u) << c.name;
    EXPECT_EQ(mail.attachment_names[0], c.file_name) << c.name;
    EXPECT_EQ(mail.attachment_sha256[0], Sha256Hex(binary)) << c.name;
    EXPECT_EQ(mail.message_id, message.message_id) << c.name;
    EXPECT_LE(mail.longest_line, 78) << c.name;
    EXPECT_EQ(mail.bare_lf, 0) << c.name;
    EXPECT_EQ(mail.defects, 0) << c.name;
  }
}

TEST(PasswordHint, SaysHowThePasswordIsMadeNeverWhatItIs) {
  const TemplateLookup values = [](std::string_view name) -> std::optional<std::string> {
    if (name == "pBeneficiarios") return "763.506.569-62";
    if (name == "pEmpresa") return "11.222.333/0001-81";
    if (name == "pCodigo") return "17";
    return std::nullopt;
  };
  const std::pair<const char*, const char*> cases[] = {
      {"{pBeneficiarios:digits:5}", "os cinco primeiros dígitos do seu CPF"},
      {"{pBeneficiarios:digits:1}", "o primeiro dígito do seu CPF"},
      {"{pBeneficiarios:digits}", "todos os dígitos do seu CPF, sem pontuação"},
      {"{pBeneficiarios}", "o seu CPF completo, com pontos e traço"},
      {"{pEmpresa:digits:8}", "os oito primeiros dígitos do CNPJ da sua empresa"},
      {"IR{pBeneficiarios:digits:4}",
       "o código informado pela empresa, seguido dos quatro primeiros dígitos do seu CPF"},
      {"{pCodigo}-{pBeneficiarios:digits:3}",
       "o valor de pCodigo, seguido do código informado pela empresa, seguido dos três "
       "primeiros dígitos do seu CPF"},
      {"segredo", "o código informado pela empresa"},
  };
  for (const auto& [pattern, hint] : cases) {
    const std::string described = DescribePassword(pattern, values);
    EXPECT_EQ(described, hint) << pattern;
    EXPECT_EQ(described.find("76350"), std::string::npos) << pattern;
    EXPECT_EQ(described.find("segredo"), std::string::npos) << pattern;
  }
}

TEST(Templates, PlaceholdersAreFilledAndUnknownOnesRefused) {
  const TemplateLookup lookup = [](std::string_view name) -> std::optional<std::string> {
    if (name == "NOMEBENEF") return "Ana";
    return std::nullopt;
  };
  EXPECT_EQ(ExpandTemplate("Olá {NOMEBENEF}, {{x} {aberto", lookup, "--assunto"),
            "Olá Ana, {x} {aberto");
  try {
    ExpandTemplate("Olá {NOMBENEF}", lookup, "--assunto");
    FAIL() << "an unknown placeholder was taken";
  } catch (const InputError& error) {
    EXPECT_NE(std::string(error.what()).find("--assunto usa {NOMBENEF}"), std::string::npos);
  }
}

TEST(Manifest, BothFormsReadAlikeAndAnIncompleteOneIsRefused) {
  support::TempDir dir;
  const std::string header =
      R"({"manifest":1,"module":"RptIncomeStatement","created":"c","database":"demo.db",)"
      R"("params":{"pAnoBase1":"01/01/2024"},"split":["pBeneficiarios"],)"
      R"("password_template":"{pBeneficiarios:digits:5}","base":")" +
      dir.Path().string() + R"(","parts":2})";
  const std::string part1 =
      R"({"part":1,"values":{"pBeneficiarios":"763.506.569-62"},"row":{"CODIGOEMPRESA":1,)"
      R"("NOMEBENEF":"MARIA; \"M\""},"status":"written","file":"a/1.pdf","bytes":3,"sha256":"ab",)"
      R"("protected":true,"password_template":null,"reason":null})";
  const std::string part2 =
      R"({"part":3,"values":{"pBeneficiarios":"1"},"row":{},"status":"empty","file":null,)"
      R"("sha256":null,"protected":false,"reason":"nenhuma página para imprimir"})";
  const std::string csv =
      "\xEF\xBB\xBF#" + header +
      "\r\npart;status;file;format;pages;bytes;sha256;protected;archive_file;archive_sha256;"
      "reason;values;row;messages\r\n"
      "1;written;a/1.pdf;pdf;1;3;ab;true;;;;\"{\"\"pBeneficiarios\"\":\"\"763.506.569-62\"\"}\";"
      "\"{\"\"CODIGOEMPRESA\"\":1,\"\"NOMEBENEF\"\":\"\"MARIA; \\\"\"M\\\"\"\"\"}\";[]\r\n"
      "3;empty;;pdf;0;;;false;;;nenhuma página para imprimir;"
      "\"{\"\"pBeneficiarios\"\":\"\"1\"\"}\";{};[]\r\n";
  support::WriteFile(dir.File("m.jsonl"), header + "\n" + part1 + "\n" + part2 + "\n");
  support::WriteFile(dir.File("m.csv"), csv);
  for (const char* name : {"m.jsonl", "m.csv"}) {
    const Manifest manifest = ReadManifest(dir.File(name));
    ASSERT_EQ(manifest.parts.size(), 2u) << name;
    const ManifestPart& first = manifest.parts[0];
    EXPECT_EQ(*FindValue(first.values, "pbeneficiarios"), "763.506.569-62") << name;
    EXPECT_EQ(*FindValue(first.row, "NOMEBENEF"), "MARIA; \"M\"") << name;
    EXPECT_EQ(*FindValue(first.row, "CODIGOEMPRESA"), "1") << name;
    EXPECT_TRUE(first.is_protected) << name;
    EXPECT_EQ(manifest.Resolve(first.file), (dir.Path() / "a/1.pdf").string()) << name;
    EXPECT_EQ(manifest.parts[1].status, PartStatus::kEmpty) << name;
    EXPECT_EQ(manifest.parts[1].reason, "nenhuma página para imprimir") << name;
    EXPECT_EQ(*manifest.header.password_template, "{pBeneficiarios:digits:5}") << name;
  }
  const std::pair<const char*, std::string> broken[] = {
      {"cut short", header + "\n" + part1 + "\n"},
      {"a part twice", header + "\n" + part1 + "\n" + part1 + "\n"},
      {"another version", "{\"manifest\":2}\n"},
      {"not a manifest", "{\"a\":1}\n"},
      {"a broken line", header + "\n" + part1 + "\n{\"part\":\n"},
      {"a number beyond a double", header + "\n" + part1 + "\n{\"part\":2e6666}\n"},
      {"a written part without its hash",
       header + "\n" + part2 + "\n" + R"({"part":2,"status":"written","file":"x.pdf"})" + "\n"},
  };
  for (const auto& [name, text] : broken) {
    support::WriteFile(dir.File("broken.jsonl"), text);
    EXPECT_THROW(ReadManifest(dir.File("broken.jsonl")), InputError) << name;
  }
}

TEST(AddressFile, NumbersMatchByTheirDigitsAndTwoAddressesForOneAreNeither) {
  support::TempDir dir;
  support::WriteFile(dir.File("e.csv"),
                     "\xEF\xBB\xBF"
                     "CPF;E-mail\r\n"
                     "763.506.569-62;maria@a.example\r\n"
                     "11122233344 ; jose@a.example \r\n"
                     "111.222.333-44;jose@a.example\r\n"
                     "555.666.777-88;um@a.example\r\n"
                     "55566677788;outro@a.example\r\n"
                     "999.999.999-99;sem arroba\r\n");
  AddressFile file(dir.File("e.csv"));
  EXPECT_EQ(file.Find("76350656962")->address, "maria@a.example");
  EXPECT_EQ(file.Find("111.222.333-44")->address, "jose@a.example");
  EXPECT_TRUE(file.Find("111.222.333-44")->problem.empty());
  EXPECT_NE(file.Find("555.666.777-88")->problem.find("linha 5 e linha 6"), std::string::npos);
  EXPECT_EQ(file.Find("999.999.999-99")->address, "sem arroba");  // refused for its part only
  EXPECT_FALSE(file.Find("000.000.000-00").has_value());
  support::WriteFile(dir.File("ruim.csv"), "763.506.569-62\n");
  EXPECT_THROW(AddressFile(dir.File("ruim.csv")), InputError);
}

TEST(Journal, KeepsWhatWasSentAcrossOpensForOneGenerationAndOneSender) {
  support::TempDir dir;
  const std::string path = dir.File("m.jsonl.envios.db");
  const JournalOwner owner{"RptIncomeStatement", "2026-12-09T22:00:00-03:00", "{p}.pdf"};
  {
    const std::unique_ptr<Journal> journal = Journal::Open(path, owner);
    JournalEntry entry;
    entry.part = 2;
    entry.address = "ana@a.example";
    entry.status = DeliveryStatus::kSending;
    entry.attempts = 1;
    journal->Record(entry);
    EXPECT_EQ(std::filesystem::status(path).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write)
        << "addresses are the user's alone";
    EXPECT_THROW(Journal::Open(path, owner), InputError) << "a second sender";
    EXPECT_THROW(Journal::Preview(path, owner), InputError) << "a dry run beside a sender";
  }
  const std::unique_ptr<Journal> preview = Journal::Preview(path, owner);
  EXPECT_EQ(preview->Find(2)->status, DeliveryStatus::kSending);
  JournalEntry in_memory;
  in_memory.part = 3;
  preview->Record(in_memory);
  std::unique_ptr<Journal> reopened = Journal::Open(path, owner);
  EXPECT_EQ(reopened->Find(2)->address, "ana@a.example");
  EXPECT_FALSE(reopened->Find(3).has_value()) << "a dry run writes nothing";
  reopened.reset();
  const JournalOwner other{"RptIncomeStatement", "2026-12-10T08:00:00-03:00", "{p}.pdf"};
  EXPECT_THROW(Journal::Open(path, other), InputError) << "another generation";
  support::WriteFile(dir.File("texto.db"), "nada que ver\n");
  EXPECT_THROW(Journal::Open(dir.File("texto.db"), owner), InputError) << "not a journal";
}

// What nrw send reads (the manifest, addresses, the message) is never a FIFO that would hold it
// waiting for a writer, nor a device or a file beyond its limit that would fill its memory.
TEST(UserFile, OnlyRegularFilesWithinTheLimitAreRead) {
  support::TempDir dir;
  support::WriteFile(dir.File("m.csv"), "linha");
  support::WriteFile(dir.File("grande.csv"), std::string((1 << 20) + 1, 'x'));
  mkfifo(dir.File("fila.csv").c_str(), 0600);
  std::filesystem::create_directory(dir.File("pasta.csv"));
  std::filesystem::create_symlink("/dev/zero", dir.File("zero.csv"));
  const std::pair<const char*, const char*> cases[] = {
      {"m.csv", "linha"},
      {"grande.csv", "tem 1048577 bytes, mais que o limite de 1 MB."},
      {"fila.csv", "é um pipe (FIFO)."},
      {"pasta.csv", "é uma pasta."},
      {"zero.csv", "é um dispositivo."},
      {"nao.csv", "não existe."},
  };
  for (const auto& [name, expected] : cases) {
    std::string result;
    try {
      result = nrw::mail::ReadUserFile(dir.File(name), "Endereços", 1 << 20);
    } catch (const nrw::mail::InputError& error) {
      result = error.what();
    }
    EXPECT_NE(result.find(expected), std::string::npos) << name << ": " << result;
  }
}

}  // namespace
