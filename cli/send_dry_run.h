// A dry run of nrw send: each message written whole as an .eml file into a folder instead of being
// sent (named by the envelope's label), each put in place atomically.
#pragma once

#include <string>

#include "mail/transport.h"

namespace nrw::cli {

class EmlFolder : public mail::Transport {
 public:
  //! Raises UsageError unless folder is an existing folder.
  explicit EmlFolder(std::string folder);
  mail::SendOutcome Send(const mail::Envelope& envelope, std::string_view message) override;

 private:
  std::string folder_;
};

}  // namespace nrw::cli
