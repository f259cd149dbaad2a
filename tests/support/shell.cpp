#include "support/shell.h"

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <memory>

namespace support {

ShellOutcome RunShell(const std::string& command) {
  struct Closer {
    int* status;
    void operator()(FILE* pipe) const { *status = pclose(pipe); }
  };
  int status = -1;
  std::string out;
  {
    std::unique_ptr<FILE, Closer> pipe(popen((command + " 2>/dev/null").c_str(), "r"),
                                       Closer{&status});
    if (!pipe) return {};
    std::array<char, 4096> buffer{};
    size_t read = 0;
    while ((read = fread(buffer.data(), 1, buffer.size(), pipe.get())) > 0) {
      out.append(buffer.data(), read);
    }
  }
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out};
}

}  // namespace support
