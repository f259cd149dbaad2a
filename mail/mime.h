// An e-mail message as it goes on the wire: headers with RFC 2047 encoded words where the text is
// not plain ASCII, a quoted-printable UTF-8 text body and base64 attachments in a multipart/mixed
// body. Lines end in CRLF and stay within 78 octets wherever a header can be folded (a long
// domain or Message-ID may pass it), always far within SMTP's 998.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

#include "mail/address.h"

namespace nrw::mail {

struct Attachment {
  //! The name the recipient sees, UTF-8.
  std::string file_name;
  std::string content;
};

struct Message {
  Mailbox from;
  Mailbox to;
  std::string subject;
  //! Text with LF or CRLF line ends, UTF-8.
  std::string body;
  //! With its angle brackets: "<...@domain>".
  std::string message_id;
  std::time_t date = 0;
  std::vector<Attachment> attachments;
};

//! The whole message. Control characters of the subject and of the names become blanks, so that no
//! value can add a header.
std::string ComposeMessage(const Message& message);

//! A Message-ID of our own for the part: "<time.part.random@domain>".
std::string NewMessageId(int64_t part, std::string_view domain);

//! "Tue, 09 Dec 2026 22:00:00 -0300", the date of a message header.
std::string MessageDate(std::time_t when);

//! The header field "Name: value", folded; the value as encoded words when it is not printable
//! ASCII.
std::string HeaderField(std::string_view name, std::string_view value);

//! A mailbox for a header: the name as an atom phrase, a quoted string or encoded words.
std::string FormatMailbox(const Mailbox& mailbox);

std::string Base64Lines(std::string_view bytes);
std::string QuotedPrintable(std::string_view text);

}  // namespace nrw::mail
