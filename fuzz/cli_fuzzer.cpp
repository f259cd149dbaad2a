// The nrw command line: arbitrary words (split at NUL bytes) parsed and checked as nrw does before
// a command runs. Any argument, of any length or content, ends in help, a version, a usage error or
// a command ready to run; nothing aborts. Nothing is run: no file is opened or written.
#include <cstddef>
#include <cstdint>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "commands.h"
#include "fuzz_input.h"

namespace {

// What nrw prints (help, errors) is thrown away, so that the fuzzer's own output stays readable.
class Silence {
 public:
  Silence() : out_(std::cout.rdbuf(&sink_)), err_(std::cerr.rdbuf(&sink_)) {}
  ~Silence() {
    std::cout.rdbuf(out_);
    std::cerr.rdbuf(err_);
    std::cout.clear();
    std::cerr.clear();
  }

 private:
  std::stringbuf sink_;
  std::streambuf* out_;
  std::streambuf* err_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  nrw::fuzz::Input input(data, size);
  std::vector<std::string> words = {"nrw"};
  while (!input.Empty() && words.size() < 64) words.push_back(input.Text());
  std::vector<const char*> argv;
  for (const std::string& word : words) argv.push_back(word.c_str());
  const Silence silence;
  nrw::cli::CommandLine command_line;
  command_line.Parse(static_cast<int>(argv.size()), argv.data());
  return 0;
}
