#include "report/module_file.h"

#include <elf.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <set>
#include <vector>

#include "nrwhost/files.h"
#include "util/system_error.h"

namespace nrw {
namespace {

#if __SIZEOF_POINTER__ == 8
using Ehdr = Elf64_Ehdr;
using Phdr = Elf64_Phdr;
using Shdr = Elf64_Shdr;
using Sym = Elf64_Sym;
constexpr unsigned char kClass = ELFCLASS64;
#else
using Ehdr = Elf32_Ehdr;
using Phdr = Elf32_Phdr;
using Shdr = Elf32_Shdr;
using Sym = Elf32_Sym;
constexpr unsigned char kClass = ELFCLASS32;
#endif

constexpr unsigned char kByteOrder =
    __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__ ? ELFDATA2LSB : ELFDATA2MSB;
// A module's dynamic symbol table is a few kilobytes; a table larger than this is no module's.
constexpr uint64_t kMaxSymbolTableBytes = 64 << 20;

struct Descriptor {
  int fd;
  ~Descriptor() {
    if (fd >= 0) close(fd);
  }
};

class ModuleFile {
 public:
  explicit ModuleFile(const std::string& path) : path_(path) {}

  void Check() {
    const Descriptor file{open(path_.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY)};
    if (file.fd < 0) {
      const int error = errno;
      throw UsageError("Módulo " + path_ + ": " + DescribeErrno(error) + ".",
                       path_ + ": " + std::strerror(error));
    }
    fd_ = file.fd;
    struct stat info = {};
    if (fstat(fd_, &info) != 0 || !S_ISREG(info.st_mode)) {
      throw UsageError("Módulo " + path_ + ": não é um arquivo comum.");
    }
    size_ = static_cast<uint64_t>(info.st_size);
    CheckHeader();
    CheckSegments();
    CheckSections();
    CheckExports();
  }

 private:
  [[noreturn]] void NotAModule(const std::string& why) const {
    throw UsageError("Não foi possível carregar o módulo " + path_ +
                     ": o arquivo não é um módulo de relatório (" + why + ").");
  }
  [[noreturn]] void Damaged() const {
    throw UsageError("Não foi possível carregar o módulo " + path_ +
                     ": o arquivo está incompleto ou danificado.");
  }

  //! Whether [offset, offset + count * size) lies within the file.
  bool Inside(uint64_t offset, uint64_t count, uint64_t size) const {
    if (size != 0 && count > size_ / size) return false;
    return offset <= size_ && count * size <= size_ - offset;
  }

  void Read(void* into, uint64_t offset, uint64_t bytes) const {
    auto* out = static_cast<char*>(into);
    while (bytes > 0) {
      const ssize_t got = pread(fd_, out, bytes, static_cast<off_t>(offset));
      if (got < 0 && errno == EINTR) continue;
      if (got <= 0) Damaged();
      out += got;
      offset += static_cast<uint64_t>(got);
      bytes -= static_cast<uint64_t>(got);
    }
  }

  void CheckHeader() {
    if (size_ < sizeof(Ehdr)) NotAModule("não é uma biblioteca compartilhada ELF");
    Read(&header_, 0, sizeof header_);
    if (std::memcmp(header_.e_ident, ELFMAG, SELFMAG) != 0) {
      NotAModule("não é uma biblioteca compartilhada ELF");
    }
    if (header_.e_ident[EI_CLASS] != kClass || header_.e_ident[EI_DATA] != kByteOrder ||
        header_.e_machine != ThisMachine()) {
      NotAModule("foi compilado para outra arquitetura");
    }
    if (header_.e_type != ET_DYN) NotAModule("não é uma biblioteca compartilhada");
  }

  //! The architecture of the running program, read from its own header.
  static Elf64_Half ThisMachine() {
    static const Elf64_Half machine = [] {
      Ehdr self = {};
      const Descriptor exe{open("/proc/self/exe", O_RDONLY | O_CLOEXEC)};
      if (exe.fd < 0 || pread(exe.fd, &self, sizeof self, 0) != sizeof self) return Elf64_Half{0};
      return static_cast<Elf64_Half>(self.e_machine);
    }();
    return machine;
  }

  // Every segment the loader maps must be in the file: a part beyond its end faults when touched.
  void CheckSegments() {
    if (header_.e_phnum == 0 || header_.e_phentsize != sizeof(Phdr) ||
        !Inside(header_.e_phoff, header_.e_phnum, sizeof(Phdr))) {
      Damaged();
    }
    std::vector<Phdr> segments(header_.e_phnum);
    Read(segments.data(), header_.e_phoff, segments.size() * sizeof(Phdr));
    for (const Phdr& segment : segments) {
      if (!Inside(segment.p_offset, 1, segment.p_filesz)) Damaged();
    }
  }

  void CheckSections() {
    if (header_.e_shnum == 0) NotAModule("não tem tabela de símbolos");
    if (header_.e_shentsize != sizeof(Shdr) ||
        !Inside(header_.e_shoff, header_.e_shnum, sizeof(Shdr))) {
      Damaged();
    }
    sections_.resize(header_.e_shnum);
    Read(sections_.data(), header_.e_shoff, sections_.size() * sizeof(Shdr));
    for (const Shdr& section : sections_) {
      if (section.sh_type != SHT_NOBITS && !Inside(section.sh_offset, 1, section.sh_size)) {
        Damaged();
      }
    }
  }

  // The entry points are looked for in the dynamic symbols, before the library's code runs.
  void CheckExports() {
    std::set<std::string> missing = {"ClassDll", "Imprimir"};
    for (const Shdr& table : sections_) {
      if (table.sh_type != SHT_DYNSYM) continue;
      if (table.sh_link >= sections_.size() || table.sh_size > kMaxSymbolTableBytes ||
          sections_[table.sh_link].sh_size > kMaxSymbolTableBytes) {
        Damaged();
      }
      const Shdr& names_section = sections_[table.sh_link];
      std::vector<Sym> symbols(table.sh_size / sizeof(Sym));
      std::string names(names_section.sh_size, '\0');
      Read(symbols.data(), table.sh_offset, symbols.size() * sizeof(Sym));
      Read(names.data(), names_section.sh_offset, names.size());
      for (const Sym& symbol : symbols) {
        if (symbol.st_shndx == SHN_UNDEF || symbol.st_name >= names.size()) continue;
        missing.erase(std::string(names.c_str() + symbol.st_name));
      }
    }
    if (!missing.empty()) {
      throw UsageError("O arquivo " + path_ +
                       " não é um módulo de relatório (não exporta ClassDll e Imprimir).");
    }
  }

  std::string path_;
  int fd_ = -1;
  uint64_t size_ = 0;
  Ehdr header_ = {};
  std::vector<Shdr> sections_;
};

}  // namespace

void CheckModuleFile(const std::string& path) { ModuleFile(path).Check(); }

}  // namespace nrw
