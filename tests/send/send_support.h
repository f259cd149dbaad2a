// What the tests of nrw send share: a child process that dies with the test, the local SMTP server
// (smtp_server.py), messages read back as a mail program reads them (read_mail.py) and manifests
// written for a folder of documents.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace send_test {

//! A process started by the test and killed, if still running, when the object goes.
class ChildProcess {
 public:
  //! stdout goes to a pipe that ReadLine reads; stderr to err_file ("" keeps the test's).
  ChildProcess(const std::vector<std::string>& argv, const std::string& err_file);
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  //! The next line of its stdout; empty after timeout_ms or at its end.
  std::string ReadLine(int timeout_ms);
  //! Sends the signal and waits for the end; answers the wait status.
  int Kill(int signal);
  pid_t Pid() const { return pid_; }

 private:
  pid_t pid_ = -1;
  int out_ = -1;
  std::string buffered_;
};

//! The SMTP server of the tests on a free loopback port, writing what it takes into spool
//! (<n>.eml and rcpt.log); options as smtp_server.py takes them.
class LocalSmtpServer {
 public:
  LocalSmtpServer(const std::string& spool, const std::vector<std::string>& options = {});
  //! smtp://127.0.0.1:<port>
  std::string Url() const;
  int Port() const { return port_; }

 private:
  ChildProcess process_;
  int port_ = 0;
};

struct ReceivedMail {
  std::string file;
  std::string to;
  std::string to_name;
  std::string from;
  std::string subject;
  std::string message_id;
  std::string body;
  std::vector<std::string> attachment_names;
  std::vector<std::string> attachment_sha256;
  int longest_line = 0;
  int bare_lf = 0;
  int defects = 0;
};

//! The messages of these files, decoded by Python's email package.
std::vector<ReceivedMail> ReadMail(const std::vector<std::string>& files);
//! Every message in a folder (*.eml), in name order.
std::vector<ReceivedMail> ReadMailIn(const std::string& folder);

struct DocumentPart {
  int part = 0;
  std::string registration;
  std::string file;
  std::string sha256;
};

//! A manifest of the income statement's parts for every .pdf of folder (named by the CPF, as
//! --out '{pBeneficiarios}.pdf' names them), protected by password_template when it is not empty;
//! paths relative to base. Answers the parts in the manifest's order.
std::vector<DocumentPart> WriteManifest(const std::string& path, const std::string& base,
                                        const std::string& folder,
                                        const std::string& password_template,
                                        const std::string& database);

//! "/usr/bin/python3 <tests/send/script>".
std::string PythonScript(const std::string& script);

}  // namespace send_test
