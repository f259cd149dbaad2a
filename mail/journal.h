// The journal of a manifest's deliveries (SQLite, beside the manifest): one row per part with its
// address, Message-ID, status, attempts, time and the server's last reply. A part is recorded as
// "sending" before its SMTP transaction and "sent" after it, each durably on disk, so that a later
// run knows what went out even after a kill. One sender at a time: the journal stays locked while
// it is open.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace nrw::mail {

enum class DeliveryStatus { kSending, kSent, kFailedTemporary, kFailedPermanent, kSkipped };

//! "sending", "sent", "failed-temporary", "failed-permanent", "skipped": the journal's words.
const char* StatusName(DeliveryStatus status);

struct JournalEntry {
  int64_t part = 0;
  std::string registration;
  std::string name;
  std::string address;
  std::string file;
  std::string sha256;
  std::string message_id;
  DeliveryStatus status = DeliveryStatus::kSkipped;
  int attempts = 0;
  //! When the row was last written (local time, ISO 8601); set by Record.
  std::string time;
  //! The server's last reply.
  std::string reply;
  //! Why the part was not sent, for people (Portuguese).
  std::string reason;
};

//! The generation of documents a journal belongs to: a journal never answers for the parts of
//! another run, whose files are other files.
struct JournalOwner {
  std::string module;
  std::string created;
  std::string output;
};

class Journal {
 public:
  //! Opens the journal file, creating it when missing, and keeps it locked until destroyed. Raises
  //! InputError when another sender holds it, when the file is not a journal, or when it belongs
  //! to another generation; Failure when it cannot be written.
  static std::unique_ptr<Journal> Open(const std::string& path, const JournalOwner& owner);
  //! A journal in memory that starts with what the file holds (read, never written; none when it
  //! does not exist): what a dry run uses.
  static std::unique_ptr<Journal> Preview(const std::string& path, const JournalOwner& owner);

  ~Journal();
  Journal(const Journal&) = delete;
  Journal& operator=(const Journal&) = delete;

  std::optional<JournalEntry> Find(int64_t part) const;
  //! Writes the entry with the current time, on disk before it returns. Raises Failure.
  void Record(JournalEntry& entry);
  //! Every entry, in part order.
  std::vector<JournalEntry> Entries() const;

 private:
  struct Impl;
  explicit Journal(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
};

}  // namespace nrw::mail
