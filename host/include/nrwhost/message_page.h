// Application API: the report's message page, its column captions and the messages the module sent,
// in order, each with what it is about and, in a run of separated parts, the part it belongs to.
#pragma once

#include <string>
#include <vector>

#include "nrw/api.h"

namespace nrw {

struct MessageEntry {
  int kind = 0;
  std::string text;
  //! What the message is about (a company, an establishment, a beneficiary), as the host found it:
  //! from the layout's "message_subject", the message list's company code or the part's values.
  std::string subject;
  //! The separated part it was sent in ("pCodigoEmpresa=4"); empty outside a part.
  std::string part;
};

struct MessagePage {
  std::vector<std::string> captions;
  std::vector<MessageEntry> entries;
};

//! A message as one line: its subject, then its text.
NRW_API std::string MessageLine(const MessageEntry& entry);

}  // namespace nrw
