// Documents people hand out, read back with the PDF tools a recipient's machine has (poppler,
// qpdf): every word and every figure of the text report whole in the PDF, fonts embedded, each part
// opening only with its own password, the archival copy, HTML, and "Página X de Y" counted per
// part.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <iterator>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "nrw_driver.h"
#include "support/shell.h"
#include "support/temp_dir.h"

namespace {

using cli_test::Nrw;

// A PDF tool on a file of the test's own folder (paths without quotes to escape).
support::ShellOutcome Sh(const std::string& command) { return support::RunShell(command); }

// Amounts, CPFs, CNPJs and dates: the figures a recipient checks.
std::set<std::string> Figures(const std::string& text) {
  static const std::regex figure(R"(\d[\d.,/-]*\d)");
  std::set<std::string> figures;
  for (std::sregex_iterator it(text.begin(), text.end(), figure), end; it != end; ++it) {
    figures.insert(it->str());
  }
  return figures;
}

// Every word of a text (headings, captions, names), without the text output's box drawing.
std::set<std::string> Words(const std::string& text) {
  static const std::regex word(R"([^\s|+\-=.,:;/()]+)");
  std::set<std::string> words;
  for (std::sregex_iterator it(text.begin(), text.end(), word), end; it != end; ++it) {
    words.insert(it->str());
  }
  return words;
}

std::string Digits(const std::string& text, size_t count) {
  std::string digits;
  for (const char c : text) {
    if (c >= '0' && c <= '9' && digits.size() < count) digits += c;
  }
  return digits;
}

class Documents : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = std::make_unique<support::TempDir>();
    ASSERT_EQ(Nrw({"demo-db", Db(), "--ano", "2023"}).status, 0);
  }
  static void TearDownTestSuite() { dir_.reset(); }
  static std::string Db() { return dir_->File("demo.db"); }
  static std::string File(const std::string& name) { return dir_->File(name); }

  static cli_test::Outcome RunStatement(std::vector<std::string> extra) {
    std::vector<std::string> args = {"run", "RptIncomeStatement",   "--db", Db(),
                                     "-p",  "pAnoBase1=01/01/2023", "-p",   "pCodigoEmpresa=1"};
    args.insert(args.end(), extra.begin(), extra.end());
    return Nrw(args);
  }

  static std::unique_ptr<support::TempDir> dir_;
};

std::unique_ptr<support::TempDir> Documents::dir_;

TEST_F(Documents, ProtectedPartsHoldEveryFigureOfTheTextAndOpenOnlyWithTheirPassword) {
  std::filesystem::create_directories(File("txt"));
  std::filesystem::create_directories(File("pdf"));
  std::filesystem::create_directories(File("arq"));
  ASSERT_EQ(
      RunStatement({"--split", "pBeneficiarios", "--out", File("txt/{pBeneficiarios}.txt")}).status,
      0);
  const auto run =
      RunStatement({"--split", "pBeneficiarios", "--out", File("pdf/{pBeneficiarios}.pdf"),
                    "--password", "{pBeneficiarios:digits:5}", "--archive", File("arq")});
  ASSERT_EQ(run.status, 0) << run.err;

  std::vector<std::string> parts;
  for (const auto& entry : std::filesystem::directory_iterator(File("txt"))) {
    parts.push_back(entry.path().stem().string());
  }
  ASSERT_GT(parts.size(), 2u);
  const std::string other = Digits(parts[1], 5);
  for (const std::string& cpf : parts) {
    SCOPED_TRACE(cpf);
    const std::string pdf = File("pdf/" + cpf + ".pdf");
    const std::string password = Digits(cpf, 5);
    EXPECT_EQ(Sh("qpdf --requires-password " + pdf).status, 0);
    if (password != other) {
      EXPECT_NE(Sh("qpdf --password=" + other + " --check " + pdf).status, 0);
    }
    const support::ShellOutcome text =
        Sh("pdftotext -enc UTF-8 -upw " + password + " " + pdf + " -");
    ASSERT_EQ(text.status, 0);
    const std::set<std::string> in_pdf = Figures(text.out);
    const std::string plain = support::ReadFile(File("txt/" + cpf + ".txt"));
    for (const std::string& figure : Figures(plain)) {
      EXPECT_TRUE(in_pdf.count(figure)) << figure << " is not whole in the PDF";
    }
    const std::set<std::string> words_in_pdf = Words(text.out);
    for (const std::string& word : Words(plain)) {
      EXPECT_TRUE(words_in_pdf.count(word)) << word << " is not in the PDF";
    }

    // The archival copy: no password, PDF/A-2b, fonts embedded, the same text.
    const std::string copy = File("arq/" + cpf + ".pdf");
    EXPECT_EQ(Sh("qpdf --requires-password " + copy).status, 2);
    EXPECT_NE(support::ReadFile(copy).find("pdfaid:part"), std::string::npos);
    EXPECT_EQ(Sh("pdftotext -enc UTF-8 " + copy + " -").out, text.out);
    const support::ShellOutcome fonts = Sh("pdffonts " + copy);
    ASSERT_EQ(fonts.status, 0);
    EXPECT_EQ(fonts.out.find(" no "), std::string::npos) << fonts.out;
  }
}

// AES-256 takes 127 bytes of a password: up to that, every part opens with its own, whatever the
// characters; beyond it nothing is written.
TEST_F(Documents, PasswordsUpToTheLimitOpenTheirOwnPart) {
  struct Case {
    const char* name;
    std::string lead;
  };
  const Case cases[] = {
      {"127 bytes", std::string(116, 's')},
      {"accented letters", "Contribuição de São João, ação-" + std::string(40, 'x')},
  };
  for (const Case& c : cases) {
    const std::string folder = File(c.name);
    std::filesystem::create_directories(folder);
    const auto run =
        RunStatement({"--split", "pBeneficiarios", "--out", folder + "/{pBeneficiarios}.pdf",
                      "--password", c.lead + "{pBeneficiarios:digits}"});
    ASSERT_EQ(run.status, 0) << c.name << ": " << run.err;
    size_t parts = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
      ++parts;
      const std::string password = c.lead + Digits(entry.path().stem().string(), 11);
      ASSERT_LE(password.size(), 127u) << c.name;
      const std::string pdf = "'" + entry.path().string() + "'";
      EXPECT_EQ(Sh("qpdf '--password=" + password + "' --check " + pdf).status, 0)
          << c.name << " " << pdf;
      EXPECT_NE(
          Sh("qpdf '--password=" + password.substr(0, password.size() - 1) + "' --check " + pdf)
              .status,
          0)
          << c.name << " " << pdf;
    }
    EXPECT_GT(parts, 1u) << c.name;
  }
}

TEST_F(Documents, PageCountRestartsInEveryPartAndCountsThatPart) {
  const auto whole = Nrw({"run", "RptWithholdingReview", "--db", Db(), "-p", "pAnoBase=01/01/2023",
                          "--out", File("review.pdf")});
  ASSERT_EQ(whole.status, 0) << whole.err;
  // The file's structure as a strict reader sees it: objects, offsets, streams.
  EXPECT_EQ(Sh("qpdf --check " + File("review.pdf")).status, 0);
  const std::string pages = Sh("pdfinfo " + File("review.pdf")).out;
  std::smatch count;
  ASSERT_TRUE(std::regex_search(pages, count, std::regex(R"(Pages:\s+(\d+))")));
  const std::string text = Sh("pdftotext -enc UTF-8 " + File("review.pdf") + " -").out;
  // The message page follows the counted pages.
  std::smatch counted;
  ASSERT_TRUE(std::regex_search(text, counted, std::regex("Página 1 de (\\d+)")));
  EXPECT_NE(text.find("Página " + counted[1].str() + " de " + counted[1].str()), std::string::npos);
  EXPECT_EQ(std::stoi(counted[1].str()) + 1, std::stoi(count[1].str()));
  EXPECT_NE(text.rfind("Mensagens"), std::string::npos);

  std::filesystem::create_directories(File("rev"));
  const auto split = Nrw({"run", "RptWithholdingReview", "--db", Db(), "-p", "pAnoBase=01/01/2023",
                          "--split", "pEmpresas", "--out", File("rev/{pEmpresas}.txt")});
  ASSERT_EQ(split.status, 0) << split.err;
  for (const auto& entry : std::filesystem::directory_iterator(File("rev"))) {
    const std::string part = support::ReadFile(entry.path().string());
    // A company with nothing to review has its message page only.
    if (part.find("Página") == std::string::npos) continue;
    // Pages, less the message page when the part has one.
    const long form_feeds = std::count(part.begin(), part.end(), '\f');
    const bool messages = part.find("Mensagens", part.rfind('\f') + 1) != std::string::npos;
    const std::string last = std::to_string(form_feeds + (messages ? 0 : 1));
    EXPECT_NE(part.find("Página 1 de " + last), std::string::npos) << entry.path();
    EXPECT_EQ(part.find("Página " + std::to_string(form_feeds + 2)), std::string::npos);
  }
}

TEST_F(Documents, HtmlIsOneSelfContainedFileWithOneBlockPerPage) {
  const auto run = Nrw({"run", "RptWithholdingReview", "--db", Db(), "-p", "pAnoBase=01/01/2023",
                        "--out", File("review.txt")});
  ASSERT_EQ(run.status, 0);
  const auto html = Nrw({"run", "RptWithholdingReview", "--db", Db(), "-p", "pAnoBase=01/01/2023",
                         "--out", File("review.out"), "--format", "html"});
  ASSERT_EQ(html.status, 0) << html.err;
  const std::string page = support::ReadFile(File("review.out"));
  const std::string text = support::ReadFile(File("review.txt"));
  EXPECT_EQ(page.rfind("<!DOCTYPE html>", 0), 0u);
  EXPECT_EQ(page.find("src=\"http"), std::string::npos);
  EXPECT_EQ(page.find("href=\"http"), std::string::npos);
  size_t blocks = 0;
  for (size_t at = page.find("<section class=\"page\""); at != std::string::npos;
       at = page.find("<section class=\"page\"", at + 1)) {
    ++blocks;
  }
  EXPECT_EQ(blocks, static_cast<size_t>(std::count(text.begin(), text.end(), '\f') + 1));
}

// A name with characters the forms' face lacks: drawn by faces that have them in the PDF, the
// archival copy and the HTML (which carries its faces), typed with its accents apart as well; a
// character no installed face has stops the run, naming the value, instead of printing a blank.
TEST_F(Documents, EveryCharacterOfANameIsPrintedOrTheRunSaysWhichIsNot) {
  const std::string db = File("nomes.db");
  std::filesystem::copy_file(Db(), db, std::filesystem::copy_options::overwrite_existing);
  const std::string cpf = "713.102.939-45";
  const auto rename = [&](const std::string& name) {
    ASSERT_EQ(Sh("sqlite3 " + db + " \"update DIRFREGBENEFICIARIO set NOMEBENEF = '" + name +
                 "' where INSCRFEDERALBENEF = '" + cpf + "'\"")
                  .status,
              0);
  };
  const auto statement = [&](const std::vector<std::string>& extra) {
    std::vector<std::string> args = {
        "run", "RptIncomeStatement",   "--db", db,
        "-p",  "pAnoBase1=01/01/2023", "-p",   "pBeneficiarios=" + cpf};
    args.insert(args.end(), extra.begin(), extra.end());
    return Nrw(args);
  };
  rename("Li 中文 Wei 😀 Jose\xCC\x81");
  std::filesystem::create_directories(File("nomes"));
  const auto pdf = statement({"--out", File("nome.pdf"), "--archive", File("nomes")});
  ASSERT_EQ(pdf.status, 0) << pdf.err;
  const std::string whole = "Li 中文 Wei 😀 José";
  for (const std::string& file : {File("nome.pdf"), File("nomes/nome.pdf")}) {
    EXPECT_NE(Sh("pdftotext -enc UTF-8 " + file + " -").out.find(whole), std::string::npos) << file;
    EXPECT_EQ(Sh("pdffonts " + file).out.find(" no "), std::string::npos) << "all embedded";
  }
  const auto html = statement({"--out", File("nome.html")});
  ASSERT_EQ(html.status, 0) << html.err;
  const std::string page = support::ReadFile(File("nome.html"));
  EXPECT_NE(page.find(whole), std::string::npos);
  EXPECT_NE(page.find("src: url(data:font/ttf;base64,"), std::string::npos);
  EXPECT_EQ(page.find("sans-serif"), std::string::npos) << "no face of the reader's machine";

  rename("Nome \xF4\x8F\xBF\xBD");
  const auto missing = statement({"--out", File("falta.pdf")});
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("U+10FFFD"), std::string::npos) << missing.err;
  EXPECT_FALSE(std::filesystem::exists(File("falta.pdf")));
}

TEST_F(Documents, OptionsThatCannotApplyAreRefusedBeforeAnythingRuns) {
  struct Case {
    std::vector<std::string> args;
    std::string in_err;
  };
  support::WriteFile(File("comum.txt"), "não é uma pasta");
  const std::vector<Case> cases = {
      {{"--out", File("x.txt"), "--password", "{pCodigoEmpresa}"}, "--password"},
      {{"--out", "-", "--format", "pdf", "--split", "pBeneficiarios"}, "--out"},
      {{"--out", File("x.pdf"), "--archive", File("comum.txt")}, "--archive"},
      {{"--out", File("x.pdf"), "--archive", File("")}, "--archive"},
      {{"--out", File("x.pdf"), "--format", "doc"}, "--format"},
  };
  for (const Case& c : cases) {
    const auto outcome = RunStatement(c.args);
    EXPECT_EQ(outcome.status, 2) << c.in_err << ": " << outcome.err;
    EXPECT_NE(outcome.err.find(c.in_err), std::string::npos) << outcome.err;
  }
  EXPECT_FALSE(std::filesystem::exists(File("x.pdf")));
  EXPECT_FALSE(std::filesystem::exists(File("x.txt")));
  // A missing archive folder is made, under the folder named.
  ASSERT_EQ(RunStatement({"--out", File("z.pdf"), "--archive", File("novo/arquivo")}).status, 0);
  EXPECT_TRUE(std::filesystem::exists(File("novo/arquivo/z.pdf")));

  // A template whose value has no digits gives no password: the run fails and writes nothing.
  const auto empty = RunStatement({"--out", File("y.pdf"), "--password", "{pAnoBase1:digits:0}"});
  EXPECT_NE(empty.status, 0);
  EXPECT_FALSE(std::filesystem::exists(File("y.pdf")));
}

}  // namespace
