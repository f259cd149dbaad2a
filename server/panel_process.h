// An open panel: a `nrw panel --session` child holding one instance of the module for one user.
// Requests to it are serialised; a child that dies or stops answering is gone for good (its panel
// reports it), never the server.
#pragma once

#include <chrono>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "child_process.h"
#include "line_reader.h"

namespace nrw::server {

class PanelProcess {
 public:
  //! Starts the child and reads its first panel; raises std::runtime_error (a message for the user)
  //! when it does not come.
  PanelProcess(const SpawnOptions& options, std::chrono::milliseconds timeout);

  //! Sends one request line and answers the reply line; nullopt when the child has died or did
  //! not answer in time (it is then stopped).
  std::optional<std::string> Exchange(const std::string& line, std::chrono::milliseconds timeout);
  //! The first panel the child wrote.
  const std::string& FirstPanel() const { return first_panel_; }
  bool Alive() const;

 private:
  mutable std::mutex mutex_;
  ChildProcess child_;
  LineReader reader_;
  std::string first_panel_;
  bool alive_ = true;
};

}  // namespace nrw::server
