// Files the user names are read only when regular and of a sane size, and never wait on a FIFO.
#include "util/input_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "nrwhost/files.h"
#include "support/temp_dir.h"

namespace nrw {
namespace {

namespace fs = std::filesystem;

TEST(InputFile, OnlyRegularFilesWithinTheLimitAreRead) {
  support::TempDir dir;
  support::WriteFile(dir.File("layout.json"), "{}");
  support::WriteFile(dir.File("grande.json"), std::string(2049, 'x'));
  mkfifo(dir.File("fila.json").c_str(), 0600);
  fs::create_directory(dir.File("pasta.json"));
  fs::create_symlink("/dev/zero", dir.File("zero.json"));
  fs::create_symlink(dir.File("layout.json"), dir.File("atalho.json"));
  struct Case {
    const char* name;
    std::string file;
    std::string result;
  };
  const Case cases[] = {
      {"a regular file", "layout.json", "{}"},
      {"a link to one", "atalho.json", "{}"},
      {"larger than the limit", "grande.json",
       "Layout " + dir.File("grande.json") + ": tem 2049 bytes, mais que o limite de 2 kB."},
      {"a FIFO, without waiting for a writer", "fila.json", "é um pipe (FIFO)."},
      {"a folder", "pasta.json", "é uma pasta."},
      {"a link to a device", "zero.json", "é um dispositivo."},
      {"missing", "nao.json", "não foi possível abrir o arquivo."},
  };
  for (const Case& c : cases) {
    std::string result;
    try {
      result = ReadInputFile(dir.File(c.file), "Layout", 2048);
    } catch (const UsageError& error) {
      result = error.what();
    }
    EXPECT_NE(result.find(c.result), std::string::npos) << c.name << ": " << result;
  }
}

TEST(InputFile, SizesAsMessagesSayThem) {
  EXPECT_EQ(DescribeSize(100), "100 bytes");
  EXPECT_EQ(DescribeSize(1536), "1,5 kB");
  EXPECT_EQ(DescribeSize(4 << 20), "4 MB");
  EXPECT_EQ(DescribeSize((60 << 20) + (1 << 19)), "60,5 MB");
}

}  // namespace
}  // namespace nrw
