// What keeps one office user from another and the server from its clients, through HTTP against a
// running `nrw serve`.
#include <gtest/gtest.h>

#include <regex>

#include "server_fixture.h"
#include "support/shell.h"

namespace serve_test {
namespace {

class ServerSecurity : public testing::Test {
 protected:
  static void SetUpTestSuite() { server_ = new ServerFixture(); }
  static void TearDownTestSuite() {
    delete server_;
    server_ = nullptr;
  }
  static ServerFixture* server_;
};
ServerFixture* ServerSecurity::server_ = nullptr;

const std::string kFakeId(32, 'a');

TEST_F(ServerSecurity, EveryAnswerCarriesTheSecurityHeaders) {
  for (const std::string path : {"/", "/assets/app.js", "/assets/style.css", "/api/reports",
                                 "/api/nada", "/../../etc/passwd"}) {
    const Reply reply = server_->Send("GET", path);
    const std::string csp = reply.Header("Content-Security-Policy");
    EXPECT_NE(csp.find("default-src 'none'"), std::string::npos) << path << ": " << csp;
    EXPECT_NE(csp.find("script-src 'self'"), std::string::npos) << path;
    EXPECT_NE(csp.find("frame-ancestors 'none'"), std::string::npos) << path;
    EXPECT_EQ(csp.find("unsafe"), std::string::npos) << path;
    EXPECT_EQ(reply.Header("X-Content-Type-Options"), "nosniff") << path;
    EXPECT_EQ(reply.Header("Referrer-Policy"), "no-referrer") << path;
    EXPECT_EQ(reply.Header("X-Frame-Options"), "DENY") << path;
  }
  // The page runs no inline script or style, which the policy would block anyway.
  const std::string page = server_->Send("GET", "/").body;
  EXPECT_NE(page.find("<script type=\"module\" src=\"/assets/app.js\""), std::string::npos);
  EXPECT_FALSE(std::regex_search(page, std::regex("<script(?![^>]*\\bsrc=)[^>]*>")));
  EXPECT_FALSE(std::regex_search(page, std::regex("<style|\\sstyle=|\\son[a-z]+=")));
}

TEST_F(ServerSecurity, LoginRefusesWrongPasswordsAlikeAndSetsAStrictCookie) {
  struct Case {
    std::string body;
    int status;
  };
  for (const Case& bad : std::vector<Case>{
           {R"({"user": "ana", "password": "errada-1234"})", 401},
           {R"({"user": "ninguem", "password": "senha-de-teste-1"})", 401},
           {R"({"user": "ana"})", 400},
           {R"({"user": 1, "password": "senha-de-teste-1"})", 400},
           {"ana:senha-de-teste-1", 400},
       }) {
    const Reply reply = server_->Send("POST", "/api/login", bad.body);
    EXPECT_EQ(reply.status, bad.status) << bad.body << " -> " << reply.body;
    EXPECT_EQ(reply.Header("Set-Cookie"), "") << bad.body;
    EXPECT_EQ(reply.body.find("errada"), std::string::npos) << "a senha não volta na resposta";
  }
  // The two refusals read the same: nothing tells a wrong name from a wrong password.
  EXPECT_EQ(
      server_->Send("POST", "/api/login", R"({"user": "ana", "password": "x-errada-1"})").body,
      server_->Send("POST", "/api/login", R"({"user": "zeca", "password": "x-errada-1"})").body);

  const Reply ok =
      server_->Send("POST", "/api/login", R"({"user": "ana", "password": "senha-de-teste-1"})");
  ASSERT_EQ(ok.status, 200);
  const std::string cookie = ok.Header("Set-Cookie");
  EXPECT_TRUE(std::regex_match(cookie, std::regex("nrw_sessao=[0-9a-f]{64}; Path=/; HttpOnly; "
                                                  "SameSite=Strict")))
      << cookie;
  EXPECT_TRUE(std::regex_match(ok.Json().value("csrf", ""), std::regex("[0-9a-f]{64}")));
  EXPECT_NE(server_->LogIn("ana").cookie, server_->LogIn("ana").cookie);
}

TEST_F(ServerSecurity, RepeatedFailuresBlockTheNameEvenWithTheRightPassword) {
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(
        server_->Send("POST", "/api/login", R"({"user": "eva", "password": "chute-0000"})").status,
        401)
        << i;
  }
  const Reply blocked =
      server_->Send("POST", "/api/login", R"({"user": "eva", "password": "senha-de-teste-1"})");
  EXPECT_EQ(blocked.status, 429);
  EXPECT_EQ(blocked.Header("Set-Cookie"), "");
  // Another name from the same address still gets in.
  EXPECT_FALSE(server_->LogIn("caio").cookie.empty());
}

TEST_F(ServerSecurity, EveryRequestButLoginNeedsALiveSession) {
  const Login ana = server_->LogIn("ana");
  const std::string panel = server_->OpenPanel(ana, "RptServeProbe", {});
  struct Case {
    std::string method;
    std::string path;
  };
  const std::vector<Case> cases = {
      {"GET", "/api/session"},
      {"GET", "/api/reports"},
      {"POST", "/api/logout"},
      {"POST", "/api/reports/RptServeProbe/panel"},
      {"POST", "/api/panels/" + panel + "/events"},
      {"GET", "/api/panels/" + panel + "/lookup/pCodigoEmpresa"},
      {"DELETE", "/api/panels/" + panel},
      {"POST", "/api/runs"},
      {"GET", "/api/runs"},
      {"GET", "/api/runs/" + kFakeId},
      {"GET", "/api/runs/" + kFakeId + "/events"},
      {"DELETE", "/api/runs/" + kFakeId},
      {"GET", "/api/runs/" + kFakeId + "/files"},
      {"GET", "/api/runs/" + kFakeId + "/files/1"},
      {"GET", "/api/runs/" + kFakeId + "/zip"},
  };
  const std::string forged(64, 'f');
  for (const Case& request : cases) {
    for (const std::string& cookie : {std::string(), forged, ana.csrf}) {
      const Reply reply = server_->Send(request.method, request.path, "{}", cookie, ana.csrf);
      EXPECT_EQ(reply.status, 401) << request.method << " " << request.path << " cookie " << cookie;
    }
  }
  // Logging out ends the session for good.
  EXPECT_EQ(server_->Send("GET", "/api/reports", "", ana).status, 200);
  EXPECT_EQ(server_->Send("POST", "/api/logout", "{}", ana).status, 200);
  EXPECT_EQ(server_->Send("GET", "/api/reports", "", ana).status, 401);
}

TEST_F(ServerSecurity, ARemovedUserIsOutAtOnce) {
  const Login davi = server_->LogIn("davi");
  ASSERT_EQ(server_->Send("GET", "/api/reports", "", davi).status, 200);
  server_->RemoveUser("davi");
  EXPECT_EQ(server_->Send("GET", "/api/reports", "", davi).status, 401);
  EXPECT_EQ(
      server_->Send("POST", "/api/login", R"({"user": "davi", "password": "senha-de-teste-1"})")
          .status,
      401);
  EXPECT_EQ(server_->Send("GET", "/api/reports", "", server_->LogIn("bia")).status, 200);
}

TEST_F(ServerSecurity, PostAndDeleteNeedTheSessionsCsrfToken) {
  const Login ana = server_->LogIn("ana");
  const Login bia = server_->LogIn("bia");
  const std::string panel = server_->OpenPanel(ana, "RptServeProbe", {});
  struct Case {
    std::string method;
    std::string path;
    std::string body;
  };
  const std::vector<Case> cases = {
      {"POST", "/api/logout", "{}"},
      {"POST", "/api/reports/RptServeProbe/panel", "{}"},
      {"POST", "/api/panels/" + panel + "/events",
       R"({"event": "change", "name": "pModo", "value": "forjado"})"},
      {"POST", "/api/runs", R"({"panel": ")" + panel + R"("})"},
      {"DELETE", "/api/panels/" + panel, ""},
  };
  for (const Case& request : cases) {
    for (const std::string& token : {std::string(), std::string(64, '0'), bia.csrf, ana.cookie}) {
      const Reply reply =
          server_->Send(request.method, request.path, request.body, ana.cookie, token);
      EXPECT_EQ(reply.status, 403) << request.method << " " << request.path << " token " << token;
    }
  }
  // None of them took effect: the session lives, the panel is open and unchanged, no run started.
  EXPECT_EQ(server_->Send("GET", "/api/session", "", ana).status, 200);
  EXPECT_EQ(server_->Send("GET", "/api/runs", "", ana).Json().size(), 0u);
  const Reply entered = server_->Send("POST", "/api/panels/" + panel + "/events",
                                      R"({"event": "enter", "name": "pModo"})", ana);
  ASSERT_EQ(entered.status, 200) << entered.body;
  const auto panel_items = entered.Json();
  for (const auto& item : panel_items["items"]) {
    if (item["name"] == "pModo") {
      EXPECT_EQ(item["value"], "normal");
    }
  }
}

TEST_F(ServerSecurity, AnotherUsersRunsAndPanelsAreNotFound) {
  const Login ana = server_->LogIn("ana");
  const Login caio = server_->LogIn("caio");  // the same application user as ana
  const std::string panel = server_->OpenPanel(ana, "RptServeProbe", {{"pModo", "dormir"}});
  const Reply started =
      server_->Send("POST", "/api/runs", R"({"panel": ")" + panel + R"(", "format": "text"})", ana);
  ASSERT_EQ(started.status, 202) << started.body;
  const std::string run = started.Json()["id"];
  struct Case {
    std::string method;
    std::string path;
    std::string body;
  };
  const std::vector<Case> cases = {
      {"GET", "/api/runs/" + run, ""},
      {"GET", "/api/runs/" + run + "/events", ""},
      {"GET", "/api/runs/" + run + "/files", ""},
      {"GET", "/api/runs/" + run + "/files/1", ""},
      {"GET", "/api/runs/" + run + "/zip", ""},
      {"DELETE", "/api/runs/" + run, ""},
      {"POST", "/api/panels/" + panel + "/events", R"({"event": "enter", "name": "pModo"})"},
      {"GET", "/api/panels/" + panel + "/lookup/pCodigoEmpresa", ""},
      {"DELETE", "/api/panels/" + panel, ""},
      {"POST", "/api/runs", R"({"panel": ")" + panel + R"("})"},
  };
  for (const Case& request : cases) {
    const Reply reply = server_->Send(request.method, request.path, request.body, caio);
    EXPECT_EQ(reply.status, 404) << request.method << " " << request.path << ": " << reply.body;
    EXPECT_EQ(reply.body.find(run), std::string::npos);
  }
  EXPECT_EQ(server_->Send("GET", "/api/runs", "", caio).Json().size(), 0u);
  // Ana's run and panel are untouched (her run waits for a job or runs, as the server got to it);
  // she can cancel her own run.
  const std::string state = server_->Send("GET", "/api/runs/" + run, "", ana).Json()["state"];
  EXPECT_TRUE(state == "queued" || state == "running") << state;
  EXPECT_EQ(server_->Send("DELETE", "/api/runs/" + run, "", ana).status, 200);
  EXPECT_EQ(server_->WaitRun(ana, run, 30)["state"], "cancelled");
  EXPECT_EQ(server_
                ->Send("POST", "/api/panels/" + panel + "/events",
                       R"({"event": "enter", "name": "pModo"})", ana)
                .status,
            200);
}

TEST_F(ServerSecurity, FilesAreReachedByIndexOnlyAndErrorsShowNoServerPath) {
  const Login ana = server_->LogIn("ana");
  const std::string panel = server_->OpenPanel(ana, "RptServeProbe", {});
  const nlohmann::json view = server_->RunAndWait(
      ana, {{"panel", panel}, {"format", "text"}, {"split", {"pCodigoEmpresa"}}});
  ASSERT_EQ(view["state"], "done") << view.dump();
  const std::string run = view["id"];
  const std::string base = "/api/runs/" + run + "/files/";
  EXPECT_EQ(server_->Send("GET", base + "1", "", ana).status, 200);
  struct Case {
    std::string index;
    int status;
  };
  for (const Case& bad : std::vector<Case>{{"0", 404},
                                           {"3", 404},
                                           {"999999", 404},
                                           {"-1", 400},
                                           {"1.txt", 400},
                                           {"abc", 400},
                                           {"%2e%2e", 400},
                                           {"..%2F..%2F..%2Fetc%2Fpasswd", 404},
                                           {"..", 400},
                                           {"1%00", 400},
                                           {"1234567", 400},
                                           {"%2Fetc%2Fpasswd", 404},
                                           {"", 400}}) {
    const Reply reply = server_->Send("GET", base + bad.index, "", ana);
    EXPECT_EQ(reply.status, bad.status) << bad.index << ": " << reply.body;
    EXPECT_EQ(reply.body.find("root:"), std::string::npos) << bad.index;
  }
  // Neither the run's view, its file list nor any error names a folder of the server.
  const std::vector<std::string> bodies = {
      server_->Send("GET", "/api/runs/" + run, "", ana).body,
      server_->Send("GET", "/api/runs/" + run + "/files", "", ana).body,
      server_->Send("GET", "/api/runs", "", ana).body,
      server_
          ->Send("POST", "/api/runs", R"({"panel": ")" + panel + R"(", "split": ["pModo"]})", ana)
          .body,
      server_->Send("POST", "/api/reports/Inexistente/panel", "{}", ana).body,
  };
  for (const std::string& body : bodies) {
    EXPECT_EQ(body.find(server_->DataDir()), std::string::npos) << body;
    EXPECT_EQ(body.find("/tmp"), std::string::npos) << body;
  }
}

TEST_F(ServerSecurity, HtmlPreviewIsSandboxedAndOtherFilesAreAttachments) {
  const Login ana = server_->LogIn("ana");
  const std::string panel = server_->OpenPanel(ana, "RptServeProbe", {});
  for (const std::string& format : std::vector<std::string>{"html", "text"}) {
    const nlohmann::json view = server_->RunAndWait(ana, {{"panel", panel}, {"format", format}});
    ASSERT_EQ(view["state"], "done") << view.dump();
    const Reply file =
        server_->Send("GET", "/api/runs/" + std::string(view["id"]) + "/files/1?inline=1", "", ana);
    ASSERT_EQ(file.status, 200);
    EXPECT_EQ(file.headers.count("Content-Security-Policy"), 1u);
    EXPECT_EQ(file.headers.count("X-Frame-Options"), 1u);
    const std::string csp = file.Header("Content-Security-Policy");
    if (format == "html") {
      EXPECT_NE(csp.find("sandbox"), std::string::npos) << csp;
      EXPECT_EQ(csp.find("script-src"), std::string::npos) << csp;
      EXPECT_EQ(file.Header("Content-Disposition").rfind("inline;", 0), 0u);
    } else {
      EXPECT_NE(csp.find("frame-ancestors 'none'"), std::string::npos) << csp;
      EXPECT_EQ(file.Header("Content-Disposition").rfind("attachment;", 0), 0u);
    }
    EXPECT_EQ(file.Header("X-Content-Type-Options"), "nosniff");
  }
}

TEST_F(ServerSecurity, OversizedRequestsAreRefused) {
  const Login ana = server_->LogIn("ana");
  const std::string huge =
      R"({"user": "ana", "password": ")" + std::string(100 * 1024, 'x') + "\"}";
  EXPECT_EQ(server_->Send("POST", "/api/login", huge).status, 413);
  const std::string panel = server_->OpenPanel(ana, "RptServeProbe", {});
  EXPECT_EQ(server_
                ->Send("POST", "/api/panels/" + panel + "/events",
                       R"({"event": "change", "name": "pModo", "value": ")" +
                           std::string(5000, 'y') + "\"}",
                       ana)
                .status,
            400);
  EXPECT_EQ(server_
                ->Send("GET",
                       "/api/panels/" + panel + "/lookup/pCodigoEmpresa?q=" + std::string(300, 'q'),
                       "", ana)
                .status,
            400);
  EXPECT_EQ(
      server_
          ->Send("POST", "/api/runs",
                 R"({"panel": ")" + panel + R"(", "password": ")" + std::string(300, 'p') + "\"}",
                 ana)
          .status,
      400);
  // The server is still there for the next request.
  EXPECT_EQ(server_->Send("GET", "/api/reports", "", ana).status, 200);
}

}  // namespace
}  // namespace serve_test

namespace serve_test {
namespace {

TEST(ServerListening, AnotherAddressNeedsTlsAndTlsMakesTheCookieSecure) {
  support::TempDir dir;
  nrw::server::SpawnOptions plain;
  plain.argv = {std::string(NRW_BUILD_DIR) + "/bin/nrw",
                "serve",
                "--db",
                "qualquer.db",
                "--users",
                dir.File("users.json"),
                "--listen",
                "0.0.0.0:0"};
  plain.stderr_path = dir.File("serve.log");
  nrw::server::ChildProcess refused(plain);
  const auto exit = refused.WaitFor(std::chrono::seconds(30));
  ASSERT_TRUE(exit);
  EXPECT_EQ(exit->status.value_or(-1), 2);

  const support::ShellOutcome made = support::RunShell(
      "openssl req -x509 -newkey rsa:2048 -nodes -subj /CN=127.0.0.1 -days 1 -keyout '" +
      dir.File("key.pem") + "' -out '" + dir.File("cert.pem") + "' 2>&1");
  ASSERT_EQ(made.status, 0) << made.out;
  const ServerFixture server({"--cert", dir.File("cert.pem"), "--key", dir.File("key.pem")});
  const Reply login =
      server.Send("POST", "/api/login", R"({"user": "ana", "password": "senha-de-teste-1"})");
  ASSERT_EQ(login.status, 200) << login.body;
  EXPECT_NE(login.Header("Set-Cookie").find("; Secure"), std::string::npos);
  EXPECT_NE(login.Header("Strict-Transport-Security"), "");
}

}  // namespace
}  // namespace serve_test
