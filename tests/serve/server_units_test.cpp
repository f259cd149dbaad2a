// The server's pieces that decide who gets in: passwords, sessions, the login limiter, the users
// file, the address check.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <set>

#include "nrwhost/files.h"
#include "password_hash.h"
#include "secure_random.h"
#include "serve.h"
#include "session_store.h"
#include "support/temp_dir.h"
#include "users_file.h"

namespace {

using nrw::server::LoginLimiter;
using nrw::server::SessionStore;

TEST(ServerPasswords, HashesVerifyOnlyTheirOwnPassword) {
  const std::string hash = nrw::server::HashPassword("correta-1234");
  EXPECT_EQ(hash.rfind("$argon2id$", 0), 0u) << hash;
  EXPECT_TRUE(nrw::server::VerifyPassword(hash, "correta-1234"));
  EXPECT_NE(nrw::server::HashPassword("correta-1234"), hash) << "cada hash tem seu próprio sal";
  for (const std::string wrong : {"", "correta-123", "correta-12345", "CORRETA-1234"}) {
    EXPECT_FALSE(nrw::server::VerifyPassword(hash, wrong)) << wrong;
  }
  // A malformed or weaker hash never lets anyone in.
  for (const std::string& bad :
       std::vector<std::string>{"", "x", "$argon2i$v=19$m=16,t=2,p=1$c2FsdHNhbHQ$aGFzaA",
                                hash.substr(0, hash.size() - 4)}) {
    EXPECT_FALSE(nrw::server::VerifyPassword(bad, "correta-1234")) << bad;
  }
  EXPECT_FALSE(nrw::server::VerifyPassword(nrw::server::DecoyHash(), ""));
}

TEST(ServerSessions, IdsAreLongRandomAndExpireIdleAndAbsolute) {
  SessionStore store(std::chrono::minutes(30), std::chrono::hours(12));
  const auto start = SessionStore::Clock::now();
  store.SetNowForTest(start);
  std::set<std::string> ids;
  for (int i = 0; i < 50; ++i) {
    const nrw::server::WebSession session = store.Create("ana", 1);
    EXPECT_EQ(session.id.size(), 64u);
    EXPECT_EQ(session.csrf.size(), 64u);
    EXPECT_NE(session.id, session.csrf);
    ids.insert(session.id);
  }
  EXPECT_EQ(ids.size(), 50u);

  const nrw::server::WebSession kept = store.Create("ana", 1);
  const nrw::server::WebSession idle = store.Create("bia", 2);
  // Used every 20 minutes, one session lives on; the other, untouched for 30, is gone.
  for (int step = 1; step <= 3; ++step) {
    store.SetNowForTest(start + std::chrono::minutes(20 * step));
    EXPECT_TRUE(store.Touch(kept.id)) << step;
  }
  EXPECT_FALSE(store.Touch(idle.id));
  // Used all along, it still ends after 12 hours.
  for (int step = 4; step < 36; ++step) {
    store.SetNowForTest(start + std::chrono::minutes(20 * step));
    ASSERT_TRUE(store.Touch(kept.id)) << step;
  }
  store.SetNowForTest(start + std::chrono::hours(12));
  EXPECT_FALSE(store.Touch(kept.id));
  EXPECT_FALSE(store.Touch(""));
  EXPECT_FALSE(store.Touch(std::string(64, '0')));
}

TEST(ServerSessions, LogoutAndRemovedUsersEndTheirSessions) {
  SessionStore store(std::chrono::minutes(30), std::chrono::hours(12));
  const auto a = store.Create("ana", 1);
  const auto b = store.Create("bia", 2);
  const auto c = store.Create("bia", 2);
  store.Remove(a.id);
  store.RemoveUser("bia");
  EXPECT_FALSE(store.Touch(a.id));
  EXPECT_FALSE(store.Touch(b.id));
  EXPECT_FALSE(store.Touch(c.id));
}

TEST(ServerLogins, FailuresBlockTheKeyUntilTheWindowPasses) {
  LoginLimiter limiter(3, std::chrono::minutes(15));
  const auto start = LoginLimiter::Clock::now();
  limiter.SetNowForTest(start);
  for (int i = 0; i < 3; ++i) {
    EXPECT_FALSE(limiter.Blocked("u:ana")) << i;
    limiter.Failed("u:ana");
  }
  EXPECT_TRUE(limiter.Blocked("u:ana"));
  EXPECT_FALSE(limiter.Blocked("u:bia"));
  limiter.SetNowForTest(start + std::chrono::minutes(14));
  EXPECT_TRUE(limiter.Blocked("u:ana"));
  limiter.SetNowForTest(start + std::chrono::minutes(16));
  EXPECT_FALSE(limiter.Blocked("u:ana"));
  // A success clears the count.
  limiter.Failed("u:eva");
  limiter.Failed("u:eva");
  limiter.Succeeded("u:eva");
  limiter.Failed("u:eva");
  EXPECT_FALSE(limiter.Blocked("u:eva"));
}

TEST(ServerTokens, ComparisonAndRandomness) {
  EXPECT_TRUE(nrw::server::ConstantTimeEqual("abc", "abc"));
  EXPECT_FALSE(nrw::server::ConstantTimeEqual("abc", "abd"));
  EXPECT_FALSE(nrw::server::ConstantTimeEqual("abc", "ab"));
  EXPECT_FALSE(nrw::server::ConstantTimeEqual("", "a"));
  EXPECT_NE(nrw::server::RandomHex(32), nrw::server::RandomHex(32));
}

TEST(ServerUsers, FileKeepsUsersPrivateAndRefusesBadNames) {
  support::TempDir dir;
  const std::string path = dir.File("users.json");
  nrw::server::UsersFile file = nrw::server::UsersFile::Load(path, true);
  EXPECT_TRUE(file.Users().empty());
  file.Put({"ana", 1, nrw::server::HashPassword("senha-da-ana")});
  file.Put({"bia", 2, "h"});
  file.Put({"bia", 3, "h2"});
  file.Save(path);
  struct stat info {};
  ASSERT_EQ(stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
  nrw::server::UsersFile loaded = nrw::server::UsersFile::Load(path, false);
  ASSERT_EQ(loaded.Users().size(), 2u);
  EXPECT_EQ(loaded.Find("bia")->usuario, 3);
  EXPECT_TRUE(nrw::server::VerifyPassword(loaded.Find("ana")->hash, "senha-da-ana"));
  EXPECT_TRUE(loaded.Remove("ana"));
  EXPECT_FALSE(loaded.Remove("ana"));

  for (const std::string& bad :
       std::vector<std::string>{"", ".", "..", "../x", "a/b", "a b", "é", std::string(65, 'a')}) {
    EXPECT_FALSE(nrw::server::ValidUserName(bad)) << bad;
  }
  for (const std::string& good :
       std::vector<std::string>{"ana", "Ana.Souza", "op_1", "a-b", std::string(64, 'a')}) {
    EXPECT_TRUE(nrw::server::ValidUserName(good)) << good;
  }
  support::WriteFile(path, R"({"users": [{"name": "../../etc", "usuario": 1, "hash": "x"}]})");
  EXPECT_THROW(nrw::server::UsersFile::Load(path, false), nrw::UsageError);
  support::WriteFile(path, "not json");
  EXPECT_THROW(nrw::server::UsersFile::Load(path, false), nrw::UsageError);
  EXPECT_THROW(nrw::server::UsersFile::Load(dir.File("missing.json"), false), nrw::UsageError);
}

TEST(ServerListen, OnlyLoopbackCountsAsLocal) {
  for (const std::string local : {"127.0.0.1", "127.1.2.3", "::1", "localhost"}) {
    EXPECT_TRUE(nrw::server::IsLoopback(local)) << local;
  }
  for (const std::string remote :
       {"0.0.0.0", "::", "192.168.0.10", "10.0.0.1", "1127.0.0.1", "127.example.com"}) {
    EXPECT_FALSE(nrw::server::IsLoopback(remote)) << remote;
  }
}

}  // namespace
