#include "util/input_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "nrw/format.h"
#include "nrwhost/files.h"
#include "util/system_error.h"

namespace nrw {
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

}  // namespace

std::string DescribeSize(size_t bytes) {
  constexpr double kKilo = 1024;
  const double size = static_cast<double>(bytes);
  if (size >= kKilo * kKilo) return FormatFloat("0.#", size / (kKilo * kKilo)) + " MB";
  if (size >= kKilo) return FormatFloat("0.#", size / kKilo) + " kB";
  return std::to_string(bytes) + " bytes";
}

std::string ReadInputFile(const std::string& path, const std::string& what, size_t max_bytes) {
  const auto refuse = [&](const std::string& why, int error) {
    return UsageError(what + " " + path + ": " + why + ".",
                      error != 0 ? path + ": " + std::strerror(error) : std::string());
  };
  // O_NONBLOCK: opening a FIFO for reading would otherwise wait for a writer.
  const Descriptor file{open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY)};
  if (file.fd < 0) {
    const int error = errno;
    throw refuse(error == ENOENT
                     ? "não foi possível abrir o arquivo"
                     : "não foi possível abrir o arquivo (" + DescribeErrno(error) + ")",
                 error);
  }
  struct stat info = {};
  if (fstat(file.fd, &info) != 0) throw refuse(DescribeErrno(errno), errno);
  if (!S_ISREG(info.st_mode)) throw refuse(KindOf(info.st_mode), 0);
  if (static_cast<size_t>(info.st_size) > max_bytes) {
    const auto size = static_cast<size_t>(info.st_size);
    // A size just past the limit would read as the limit itself.
    const std::string shown = DescribeSize(size) == DescribeSize(max_bytes)
                                  ? std::to_string(size) + " bytes"
                                  : DescribeSize(size);
    throw refuse("tem " + shown + ", mais que o limite de " + DescribeSize(max_bytes), 0);
  }
  std::string content;
  content.resize(static_cast<size_t>(info.st_size));
  size_t got = 0;
  // A file that grows while read is cut at the size it had: never more than the limit.
  while (got < content.size()) {
    const ssize_t n = read(file.fd, content.data() + got, content.size() - got);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) throw refuse("erro de leitura (" + DescribeErrno(errno) + ")", errno);
    if (n == 0) break;
    got += static_cast<size_t>(n);
  }
  content.resize(got);
  return content;
}

}  // namespace nrw
