// What `nrw serve` is started with.
#pragma once

#include <string>
#include <vector>

namespace nrw::server {

struct ReportInfo {
  std::string name;
  std::string title;
};

struct ServeOptions {
  std::string db;
  std::string users_file;
  std::string host = "127.0.0.1";
  int port = 8080;
  std::string data_dir;
  int jobs = 2;
  std::string cert;
  std::string key;
  bool insecure = false;
  int keep_days = 7;
  //! Seconds a run may take.
  int time_limit = 600;
  //! Address space of a run or a panel, in MiB; 0: no limit.
  int memory_limit_mb = 4096;
  int idle_minutes = 30;
  int session_hours = 12;
  //! nrw's executable and the options every child gets before its subcommand (--modules ...).
  std::vector<std::string> program;
  std::vector<ReportInfo> reports;
};

}  // namespace nrw::server
