// Output targets, temporary files and the all-or-nothing commit, from the inside: what is refused,
// what a temporary file looks like, what a failed write or commit leaves behind.
#include "run/output_files.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <filesystem>
#include <string>
#include <vector>

#include "nrwhost/faults.h"
#include "nrwhost/files.h"
#include "run/archive_copies.h"
#include "run/temp_file.h"
#include "support/temp_dir.h"

namespace nrw {
namespace {

namespace fs = std::filesystem;
using support::ReadFile;
using support::WriteFile;

std::string RefusalOf(const std::string& path, const std::vector<std::string>& protected_files) {
  try {
    CheckOutputTarget(path, protected_files);
  } catch (const UsageError& error) {
    return error.what();
  }
  return "";
}

const auto kText = [](const std::string& text) {
  return [text](std::ostream& out) { out << text; };
};

TEST(OutputTarget, OnlyFreeNamesAndRegularFilesThatAreNotProtected) {
  support::TempDir dir;
  const std::string db = dir.File("demo.db");
  WriteFile(db, "banco");
  WriteFile(dir.File("velho.txt"), "velho");
  fs::create_directory(dir.File("pasta"));
  mkfifo(dir.File("fifo").c_str(), 0600);
  fs::create_symlink(dir.File("velho.txt"), dir.File("link"));
  fs::create_symlink(dir.File("laco2"), dir.File("laco1"));
  fs::create_symlink(dir.File("laco1"), dir.File("laco2"));
  fs::create_hard_link(db, dir.File("outro_nome.db"));
  fs::create_directory_symlink(dir.Path(), dir.File("atalho"));
  fs::create_symlink(db, dir.File("pasta/acesso.db"));
  struct Case {
    const char* name;
    std::string path;
    std::string refusal;
  };
  const Case cases[] = {
      {"a free name", dir.File("novo.txt"), ""},
      {"a regular file", dir.File("velho.txt"), ""},
      {"stdout", "-", ""},
      {"a folder", dir.File("pasta"), "é uma pasta; só arquivos comuns são substituídos."},
      {"a FIFO", dir.File("fifo"), "é um pipe (FIFO)"},
      {"a device", "/dev/null", "é um dispositivo"},
      {"a symbolic link", dir.File("link"), "é um link simbólico"},
      {"the database", db, "é o mesmo arquivo que "},
      {"the database by another name", dir.File("outro_nome.db"), "é o mesmo arquivo que"},
      {"the database by another path", dir.File("pasta/../demo.db"), "é o mesmo arquivo que"},
      {"the database's -wal, not made yet", db + "-wal", "é o mesmo arquivo que"},
      {"its -shm through a link to the folder", dir.File("atalho/demo.db-shm"),
       "é o mesmo arquivo que"},
      {"its -journal by another path", dir.File("pasta/../demo.db-journal"),
       "é o mesmo arquivo que"},
      {"a name beside the database", db + "-outro", ""},
      {"a missing folder", dir.File("nao/x.txt"), "a pasta " + dir.File("nao") + " não existe."},
      {"a folder that is a file", dir.File("velho.txt/x.txt"), "não é uma pasta"},
      {"a loop of links", dir.File("laco1/x.txt"), "laço de links simbólicos"},
      {"a name too long", dir.File(std::string(NAME_MAX + 1, 'n')), "nome longo demais"},
      {"a path too long", "/" + std::string(5000, 'p') + "/x.txt", "nome longo demais"},
      {"no name", "", "o nome do arquivo está vazio"},
      {"a folder's name", dir.File("."), "não é um nome de arquivo"},
  };
  // The database named through a link: SQLite keeps its companions beside the file itself.
  for (const Case& c : cases) {
    const std::string refusal = RefusalOf(c.path, DatabaseFiles(dir.File("pasta/acesso.db")));
    if (c.refusal.empty()) {
      EXPECT_EQ(refusal, "") << c.name;
    } else {
      EXPECT_NE(refusal.find(c.refusal), std::string::npos) << c.name << ": " << refusal;
      EXPECT_LT(refusal.size(), 400u) << c.name << ": a long path is shown by its ends";
    }
  }
}

TEST(ArchiveCopies, EveryCopyLandsOnANameOfItsOwn) {
  support::TempDir dir;
  for (const char* folder : {"1", "2", "arq"}) fs::create_directory(dir.File(folder));
  fs::create_directory_symlink(dir.File("1"), dir.File("um"));
  WriteFile(dir.File("1/velho.pdf"), "velho");
  struct Case {
    const char* name;
    std::string archive;
    std::vector<std::string> outputs;
    std::string refusal;
  };
  const Case cases[] = {
      {"copies in a folder of their own",
       dir.File("arq"),
       {dir.File("1/a.pdf"), dir.File("2/b.pdf")},
       ""},
      {"the archive is an output's folder",
       dir.File("1"),
       {dir.File("1/a.pdf"), dir.File("2/b.pdf")},
       "sobre a saída " + dir.File("1/a.pdf")},
      {"the archive is an output's folder through a link",
       dir.File("um"),
       {dir.File("1/a.pdf")},
       "sobre a saída"},
      {"an existing output under the copy's name",
       dir.File("1"),
       {dir.File("2/velho.pdf"), dir.File("1/velho.pdf")},
       "sobre a saída"},
      {"outputs of one file name in two folders",
       dir.File("arq"),
       {dir.File("1/s.pdf"), dir.File("2/s.pdf")},
       "teriam o mesmo nome"},
  };
  for (const Case& c : cases) {
    std::string refusal;
    try {
      CheckArchiveCopies(c.archive, c.outputs);
    } catch (const UsageError& error) {
      refusal = error.what();
    }
    if (c.refusal.empty()) {
      EXPECT_EQ(refusal, "") << c.name;
    } else {
      EXPECT_NE(refusal.find(c.refusal), std::string::npos) << c.name << ": " << refusal;
    }
  }
}

TEST(TempFile, PrivateBesideItsTargetWithinNameMaxAndGoneWithItsOwner) {
  support::TempDir dir;
  const std::string target = dir.File(std::string(NAME_MAX - 4, 'x') + ".txt");
  std::string path;
  {
    const TempFile temp(target);
    path = temp.Path();
    struct stat info = {};
    ASSERT_EQ(stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u) << "nobody else reads a statement being written";
    EXPECT_EQ(fs::path(path).parent_path(), dir.Path());
    EXPECT_LE(fs::path(path).filename().string().size(), static_cast<size_t>(NAME_MAX));
  }
  EXPECT_FALSE(fs::exists(path));
  EXPECT_TRUE(dir.Names().empty());
}

TEST(TempFile, StaleFilesOfDeadProcessesAreRemovedOthersKept) {
  support::TempDir dir;
  const pid_t dead = fork();
  if (dead == 0) _exit(0);
  waitpid(dead, nullptr, 0);
  const std::string stale = TempNameFor(dir.File("informe.txt"), dead, 3);
  const std::string live = TempNameFor(dir.File("informe.txt"), getppid(), 1);
  WriteFile(stale, "parcial");
  WriteFile(live, "em uso");
  WriteFile(dir.File(".informe.txt.123-x.nrwtmp"), "não é nosso");
  WriteFile(dir.File("informe.txt"), "do usuário");
  RemoveStaleTempFiles(dir.Path().string());
  EXPECT_FALSE(fs::exists(stale));
  EXPECT_TRUE(fs::exists(live)) << "its process still runs";
  EXPECT_EQ(dir.Names().size(), 3u);
}

TEST(PendingOutputs, ACommitThatFailsPutsBackEveryTargetItReplaced) {
  support::TempDir dir;
  WriteFile(dir.File("p1.txt"), "velho 1");
  WriteFile(dir.File("p3.txt"), "velho 3");
  chmod(dir.File("p3.txt").c_str(), 0640);
  {
    PendingOutputs outputs({});
    outputs.Write(dir.File("p1.txt"), kText("novo 1"));
    outputs.Write(dir.File("p2.txt"), kText("novo 2"));
    outputs.Write(dir.File("p3.txt"), kText("novo 3"));
    outputs.Write(dir.File("p4.txt"), kText("novo 4"));
    // The fourth target turns into a folder after the checks: its rename fails mid-commit.
    fs::create_directories(dir.File("p4.txt/dentro"));
    EXPECT_THROW(outputs.Commit(), Exception);
  }
  EXPECT_EQ(ReadFile(dir.File("p1.txt")), "velho 1");
  EXPECT_EQ(ReadFile(dir.File("p3.txt")), "velho 3");
  EXPECT_FALSE(fs::exists(dir.File("p2.txt"))) << "a file the run created is gone again";
  EXPECT_EQ(dir.Names(), (std::vector<std::string>{"p1.txt", "p3.txt", "p4.txt"}));

  fs::remove_all(dir.File("p4.txt"));
  PendingOutputs outputs({});
  outputs.Write(dir.File("p3.txt"), kText("novo 3"));
  outputs.Write(dir.File("p4.txt"), kText("novo 4"));
  outputs.Write(dir.File("p5.txt"), kText("novo 5"));
  // Made by someone else while the run wrote its new file: replaced, its mode kept.
  WriteFile(dir.File("p5.txt"), "de outro");
  chmod(dir.File("p5.txt").c_str(), 0600);
  outputs.Commit();
  EXPECT_EQ(ReadFile(dir.File("p3.txt")), "novo 3");
  struct stat info = {};
  stat(dir.File("p3.txt").c_str(), &info);
  EXPECT_EQ(info.st_mode & 0777, 0640u) << "a replaced file keeps its mode";
  const mode_t mask = umask(0);
  umask(mask);
  stat(dir.File("p4.txt").c_str(), &info);
  EXPECT_EQ(info.st_mode & 0777, 0666u & ~mask) << "a new file gets the usual mode";
  stat(dir.File("p5.txt").c_str(), &info);
  EXPECT_EQ(info.st_mode & 0777, 0600u) << "a file that appeared meanwhile keeps its mode";
  EXPECT_EQ(ReadFile(dir.File("p5.txt")), "novo 5");
  EXPECT_EQ(dir.Names(), (std::vector<std::string>{"p1.txt", "p3.txt", "p4.txt", "p5.txt"}));
}

TEST(PendingOutputs, EveryFailedWriteIsReportedAndLeavesNothing) {
  support::TempDir dir;
  WriteFile(dir.File("saida.txt"), "velho");
  const std::string big(200'000, 'x');
  int writes = 0;
  {
    const FaultScope count;
    PendingOutputs outputs({});
    outputs.Write(dir.File("saida.txt"), kText(big));
    outputs.Commit();
    writes = count.Writes();
  }
  WriteFile(dir.File("saida.txt"), "velho");
  ASSERT_GE(writes, 2) << "the data, then the flush to the disk";
  for (int k = 1; k <= writes; ++k) {
    const FaultScope fail({0, k});
    try {
      PendingOutputs outputs({});
      outputs.Write(dir.File("saida.txt"), kText(big));
      outputs.Commit();
      ADD_FAILURE() << "write " << k << " failed unnoticed";
    } catch (const Exception& error) {
      EXPECT_NE(std::string(error.what()).find(dir.File("saida.txt")), std::string::npos) << k;
    }
    EXPECT_EQ(dir.Names(), std::vector<std::string>{"saida.txt"}) << k;
    EXPECT_EQ(ReadFile(dir.File("saida.txt")), "velho") << k;
  }
}

}  // namespace
}  // namespace nrw
