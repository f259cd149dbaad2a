#include "mail/user_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "mail/errors.h"

namespace nrw::mail {
namespace {

struct Descriptor {
  int fd;
  ~Descriptor() {
    if (fd >= 0) close(fd);
  }
};

std::string KindOf(mode_t mode) {
  if (S_ISDIR(mode)) return "é uma pasta";
  if (S_ISFIFO(mode)) return "é um pipe (FIFO)";
  if (S_ISCHR(mode) || S_ISBLK(mode)) return "é um dispositivo";
  if (S_ISSOCK(mode)) return "é um socket";
  return "não é um arquivo comum";
}

std::string Megabytes(size_t bytes) { return std::to_string(bytes >> 20) + " MB"; }

}  // namespace

std::string ReadUserFile(const std::string& path, const std::string& what, size_t max_bytes) {
  const auto refuse = [&](const std::string& why) {
    return InputError(what + " " + path + ": " + why + ".");
  };
  // O_NONBLOCK: opening a FIFO for reading would otherwise wait for a writer.
  const Descriptor file{open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY)};
  if (file.fd < 0) {
    throw refuse(errno == ENOENT
                     ? std::string("não existe")
                     : "não pôde ser aberto (" + std::string(std::strerror(errno)) + ")");
  }
  struct stat info = {};
  if (fstat(file.fd, &info) != 0) throw refuse("não pôde ser lido");
  if (!S_ISREG(info.st_mode)) throw refuse(KindOf(info.st_mode));
  const auto size = static_cast<size_t>(info.st_size);
  if (size > max_bytes) {
    throw refuse("tem " + std::to_string(size) + " bytes, mais que o limite de " +
                 Megabytes(max_bytes));
  }
  std::string content(size, '\0');
  size_t got = 0;
  // A file that grows while read is cut at the size it had: never more than the limit.
  while (got < content.size()) {
    const ssize_t n = read(file.fd, content.data() + got, content.size() - got);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) throw refuse("não pôde ser lido");
    if (n == 0) break;
    got += static_cast<size_t>(n);
  }
  content.resize(got);
  return content;
}

}  // namespace nrw::mail
