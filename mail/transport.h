// Where a message goes: an SMTP server, or (a dry run) a folder of .eml files.
#pragma once

#include <string>
#include <string_view>

namespace nrw::mail {

struct Envelope {
  std::string from;
  std::string to;
  //! A name for the message's file in a dry run: the part's number and its document's name
  //! ("000012_763.506.569-62").
  std::string label;
};

enum class SendResult {
  //! The server took the message.
  kSent,
  //! Not taken, and worth another try later: a 4xx reply, a connection lost before the content
  //! was complete.
  kTemporary,
  //! Refused for good: a 5xx reply (an unknown mailbox, a message refused).
  kPermanent,
  //! The whole content went out but no reply came: the message may have been delivered.
  kUnknown,
  //! No message can go (login refused, no secure connection): the run stops.
  kFatal,
};

struct SendOutcome {
  SendResult result = SendResult::kTemporary;
  //! The server's last reply, or what failed in words.
  std::string reply;
  //! The server could not even be reached (name, connection): the next message would fare alike.
  bool unreachable = false;
};

class Transport {
 public:
  virtual ~Transport() = default;
  virtual SendOutcome Send(const Envelope& envelope, std::string_view message) = 0;
};

}  // namespace nrw::mail
