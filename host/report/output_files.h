// Output files of a run: names from a pattern with {PARAM} placeholders, and writing under a
// temporary name in the same folder, renamed only when the whole run succeeded, so that a failed
// run leaves no output behind.
#pragma once

#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace nrw {

//! The value with every character unsafe in a file name ('/', '\\', ':', '*', '?', '"', '<', '>',
//! '|', control characters) replaced by '_'; a value of dots only (".", "..") becomes "_".
std::string SafeFileNamePart(std::string_view value);

//! The value of a placeholder name; nothing when the name is unknown.
using PatternLookup = std::function<std::optional<std::string>(std::string_view name)>;

//! The pattern with each {NAME} replaced by its value made safe. Raises for an unknown name.
std::string ExpandOutputPattern(const std::string& pattern, const PatternLookup& lookup);

class PendingOutputs {
 public:
  PendingOutputs() = default;
  //! Removes every temporary file that was not committed.
  ~PendingOutputs();
  PendingOutputs(const PendingOutputs&) = delete;
  PendingOutputs& operator=(const PendingOutputs&) = delete;

  //! Writes the file's content to a temporary file beside path. Raises when it cannot be written.
  void Write(const std::string& path, const std::function<void(std::ostream&)>& content);
  //! Renames every temporary file to its final name.
  void Commit();

 private:
  struct Entry {
    std::string path;
    std::string temp;
  };
  std::vector<Entry> entries_;
};

}  // namespace nrw
