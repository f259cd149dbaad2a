// A run's trace read back: every event, and every section as printed with the variables as they
// stood at that moment, so that tests ask what a person would see rather than replay calls.
#pragma once

#include <map>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

namespace support {

//! One section as printed, with the variables (lower-case names) as they stood; layout object
//! properties written by the module are kept as "object.property".
struct Printed {
  int section = 0;
  int page = 0;
  //! A page heading printed by the engine, or a group heading it printed again ("repeat").
  bool automatic = false;
  bool repeat = false;
  //! On the page already ("once_per_page"): the module printed it, nothing was placed.
  bool skipped = false;
  std::map<std::string, std::string> vars;
  //! The variable's value at the print; empty when it was never written.
  std::string Var(const std::string& name) const;
};

class TraceRecord {
 public:
  explicit TraceRecord(std::vector<std::string> lines);

  const std::vector<std::string>& Lines() const { return lines_; }
  const std::vector<nlohmann::json>& Events() const { return events_; }
  //! Every print, the engine's page headings included.
  const std::vector<Printed>& Prints() const { return prints_; }
  //! The prints the module asked for (page headings left out).
  std::vector<Printed> ModulePrints() const;
  //! Section numbers the module printed, in order.
  std::vector<int> Sections() const;
  //! Every value written to a variable, in order.
  std::vector<std::string> Values(const std::string& name) const;
  //! The variable at every module print of a section.
  std::vector<std::string> Values(int section, const std::string& name) const;
  std::vector<nlohmann::json> Events(const std::string& ev) const;
  //! The statements the module sent, as written.
  std::vector<std::string> Sqls() const;

 private:
  std::vector<std::string> lines_;
  std::vector<nlohmann::json> events_;
  std::vector<Printed> prints_;
};

}  // namespace support
