#include "serve.h"

#include <signal.h>
#include <unistd.h>

#include <condition_variable>
#include <filesystem>
#include <memory>
#include <mutex>
#include <thread>

#include "nrwhost/files.h"
#include "users_file.h"
#include "web_app.h"

namespace nrw::server {
namespace {

// Requests served at once: the server-sent events of open pages hold theirs for a long while.
constexpr size_t kThreads = 48;

}  // namespace

bool IsLoopback(const std::string& host) {
  if (host == "localhost" || host == "::1") return true;
  return host.rfind("127.", 0) == 0 && host.find_first_not_of("0123456789.") == std::string::npos;
}

int Serve(const ServeOptions& options, std::ostream& log) {
  const bool tls = !options.cert.empty() || !options.key.empty();
  if (tls && (options.cert.empty() || options.key.empty())) {
    throw UsageError("--cert e --key devem ser dados juntos.");
  }
  if (!tls && !IsLoopback(options.host) && !options.insecure) {
    throw UsageError("--listen " + options.host +
                     " não é local: use TLS (--cert e --key) ou, numa rede de confiança, "
                     "--insecure.");
  }
  if (tls) {
    CheckInputFile(options.cert, "Certificado");
    CheckInputFile(options.key, "Chave privada");
  }
  // The users file must be readable now; it is read again at every login.
  UsersFile::Load(options.users_file, false);
  std::error_code error;
  std::filesystem::create_directories(options.data_dir, error);
  if (error || !std::filesystem::is_directory(options.data_dir)) {
    throw UsageError("--data " + options.data_dir + ": não é uma pasta que possa ser criada.");
  }
  std::filesystem::permissions(options.data_dir, std::filesystem::perms::owner_all, error);

  // Every thread made from here on leaves the stop signals to the one that waits for them, and a
  // child that dies while it is written to is no reason for the server to die.
  signal(SIGPIPE, SIG_IGN);
  sigset_t stop_signals;
  sigemptyset(&stop_signals);
  sigaddset(&stop_signals, SIGINT);
  sigaddset(&stop_signals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stop_signals, nullptr);

  std::unique_ptr<httplib::Server> server;
  if (tls) {
    server = std::make_unique<httplib::SSLServer>(options.cert.c_str(), options.key.c_str());
    if (!server->is_valid())
      throw UsageError("não foi possível usar o certificado e a chave dados.");
  } else {
    server = std::make_unique<httplib::Server>();
  }
  server->new_task_queue = [] { return new httplib::ThreadPool(kThreads); };
  WebApp app(options, tls);
  app.Install(*server);
  int port = options.port;
  if (port == 0) {
    port = server->bind_to_any_port(options.host);
    if (port < 0) throw UsageError("não foi possível escutar em " + options.host + ".");
  } else if (!server->bind_to_port(options.host, port)) {
    throw UsageError("não foi possível escutar em " + options.host + ":" + std::to_string(port) +
                     " (endereço em uso ou sem permissão).");
  }
  const std::string host =
      options.host.find(':') != std::string::npos ? "[" + options.host + "]" : options.host;
  log << "Servidor em " << (tls ? "https://" : "http://") << host << ":" << port << "/"
      << std::endl;

  std::mutex mutex;
  std::condition_variable stopped;
  bool stopping = false;
  std::thread waiter([&] {
    int received = 0;
    sigwait(&stop_signals, &received);
    {
      const std::lock_guard lock(mutex);
      stopping = true;
    }
    stopped.notify_all();
    server->stop();
  });
  std::thread sweeper([&] {
    std::unique_lock lock(mutex);
    while (!stopped.wait_for(lock, std::chrono::minutes(1), [&] { return stopping; })) {
      lock.unlock();
      app.Sweep();
      lock.lock();
    }
  });
  const bool served = server->listen_after_bind();
  if (!served) {
    // The listener failed by itself: the waiter still waits for a signal; send it one.
    kill(getpid(), SIGTERM);
  }
  waiter.join();
  sweeper.join();
  log << "Servidor encerrado." << std::endl;
  return served ? 0 : 1;
}

}  // namespace nrw::server
