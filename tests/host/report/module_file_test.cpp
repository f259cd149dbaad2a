// What a file must be before the loader maps it: hostile variants of a real module, each refused
// from its bytes alone with what is wrong, and the module itself accepted.
#include "report/module_file.h"

#include <elf.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <string>

#include "nrwhost/files.h"
#include "support/paths.h"
#include "support/temp_dir.h"

namespace nrw {
namespace {

std::string RefusalOf(const std::string& path) {
  try {
    CheckModuleFile(path);
  } catch (const UsageError& error) {
    return error.what();
  }
  return "";
}

// The bytes with every occurrence of a text replaced by another of the same length.
void ReplaceAll(std::string& bytes, const std::string& from, const std::string& to) {
  for (size_t at = bytes.find(from); at != std::string::npos; at = bytes.find(from, at + 1)) {
    bytes.replace(at, from.size(), to);
  }
}

template <typename T>
void Poke(std::string& bytes, size_t offset, T value) {
  std::memcpy(bytes.data() + offset, &value, sizeof value);
}

TEST(ModuleFile, OnlyACompleteSharedObjectOfThisMachineWithBothEntryPoints) {
  support::TempDir dir;
  const std::string module = support::ReadFile(support::TestModulePath("RptReportTest"));
  ASSERT_GT(module.size(), 4096u);
  Elf64_Ehdr header;
  std::memcpy(&header, module.data(), sizeof header);
  struct Case {
    const char* name;
    std::function<void(std::string&)> change;
    std::string refusal;
  };
  const Case cases[] = {
      {"the module itself", [](std::string&) {}, ""},
      {"a third of it", [](std::string& b) { b.resize(b.size() / 3); },
       "o arquivo está incompleto ou danificado"},
      {"all but its last byte", [](std::string& b) { b.pop_back(); },
       "o arquivo está incompleto ou danificado"},
      {"its header alone", [](std::string& b) { b.resize(sizeof(Elf64_Ehdr)); },
       "o arquivo está incompleto ou danificado"},
      {"less than a header", [](std::string& b) { b.resize(40); },
       "não é uma biblioteca compartilhada ELF"},
      {"a text", [](std::string& b) { b = std::string(8192, 't'); },
       "não é uma biblioteca compartilhada ELF"},
      {"another class", [](std::string& b) { b[EI_CLASS] = ELFCLASS32; }, "outra arquitetura"},
      {"another byte order", [](std::string& b) { b[EI_DATA] = ELFDATA2MSB; }, "outra arquitetura"},
      {"another machine",
       [](std::string& b) { Poke<Elf64_Half>(b, offsetof(Elf64_Ehdr, e_machine), EM_SPARC); },
       "outra arquitetura"},
      {"a program",
       [](std::string& b) { Poke<Elf64_Half>(b, offsetof(Elf64_Ehdr, e_type), ET_EXEC); },
       "não é uma biblioteca compartilhada)"},
      {"section headers past the end",
       [](std::string& b) { Poke<Elf64_Off>(b, offsetof(Elf64_Ehdr, e_shoff), b.size()); },
       "o arquivo está incompleto ou danificado"},
      {"a section count that overflows",
       [](std::string& b) { Poke<Elf64_Off>(b, offsetof(Elf64_Ehdr, e_shoff), ~Elf64_Off{0} - 8); },
       "o arquivo está incompleto ou danificado"},
      {"no section headers",
       [](std::string& b) { Poke<Elf64_Half>(b, offsetof(Elf64_Ehdr, e_shnum), 0); },
       "não tem tabela de símbolos"},
      {"without ClassDll", [](std::string& b) { ReplaceAll(b, "ClassDll", "ClassDlx"); },
       "não exporta ClassDll e Imprimir"},
      {"without Imprimir", [](std::string& b) { ReplaceAll(b, "Imprimir", "Imprimix"); },
       "não exporta ClassDll e Imprimir"},
  };
  for (const Case& c : cases) {
    std::string bytes = module;
    c.change(bytes);
    const std::string path = dir.File("RptX.so");
    support::WriteFile(path, bytes);
    const std::string refusal = RefusalOf(path);
    if (c.refusal.empty()) {
      EXPECT_EQ(refusal, "") << c.name;
    } else {
      EXPECT_NE(refusal.find(c.refusal), std::string::npos) << c.name << ": " << refusal;
    }
  }
  // Neither a FIFO (which would hold the check) nor a folder is read.
  mkfifo(dir.File("Fila.so").c_str(), 0600);
  std::filesystem::create_directory(dir.File("Pasta.so"));
  for (const char* name : {"Fila.so", "Pasta.so"}) {
    EXPECT_NE(RefusalOf(dir.File(name)).find("não é um arquivo comum"), std::string::npos) << name;
  }
  EXPECT_NE(RefusalOf(std::string(NRW_BUILD_DIR) + "/lib/libnrwhost.so").find("não exporta"),
            std::string::npos);
}

}  // namespace
}  // namespace nrw
