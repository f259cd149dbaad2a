// Panels and runs through HTTP: the hooks live, crashes and limits that fail one run and never the
// server, many users at once with nothing mixed, the ZIP.
#include <gtest/gtest.h>
#include <zip.h>

#include <map>
#include <set>
#include <thread>

#include "server_fixture.h"

namespace serve_test {
namespace {

const nlohmann::json* Item(const nlohmann::json& panel, const std::string& name) {
  for (const nlohmann::json& item : panel["items"]) {
    if (item["name"] == name) return &item;
  }
  ADD_FAILURE() << "sem o item " << name;
  return nullptr;
}

std::vector<std::string> ZipNames(const std::string& bytes) {
  zip_error_t error;
  zip_error_init(&error);
  zip_source_t* source = zip_source_buffer_create(bytes.data(), bytes.size(), 0, &error);
  zip_t* archive = source != nullptr ? zip_open_from_source(source, ZIP_RDONLY, &error) : nullptr;
  std::vector<std::string> names;
  if (archive == nullptr) {
    ADD_FAILURE() << "ZIP ilegível";
    if (source != nullptr) zip_source_free(source);
    return names;
  }
  for (zip_int64_t i = 0; i < zip_get_num_entries(archive, 0); ++i) {
    names.push_back(zip_get_name(archive, static_cast<zip_uint64_t>(i), 0));
  }
  zip_discard(archive);
  return names;
}

TEST(ServerPanels, HooksEnableAndDisableItemsLiveAndLookupsKeepToTheUsersCompanies) {
  ServerFixture server;
  const Login bia = server.LogIn("bia");
  const Reply opened = server.Send("POST", "/api/reports/RptIncomeStatement/panel", "{}", bia);
  ASSERT_EQ(opened.status, 201) << opened.body;
  const nlohmann::json first = opened.Json();
  const std::string panel = first["id"];
  const nlohmann::json* beneficiaries = Item(first, "pBeneficiarios");
  ASSERT_NE(beneficiaries, nullptr);
  EXPECT_TRUE((*beneficiaries)["split"]);
  EXPECT_EQ((*beneficiaries)["lookup"], "/api/panels/" + panel + "/lookup/pBeneficiarios");
  EXPECT_EQ(opened.body.find("select distinct"), std::string::npos)
      << "a instrução fica no servidor";

  const auto change = [&](const std::string& name, const nlohmann::json& value) {
    return server.Send("POST", "/api/panels/" + panel + "/events",
                       nlohmann::json{{"event", "change"}, {"name", name}, {"value", value}}.dump(),
                       bia);
  };
  Reply reply = change("pPublicarBrevix", "1");
  ASSERT_EQ(reply.status, 200) << reply.body;
  EXPECT_FALSE((*Item(reply.Json(), "pBeneficiarios"))["enabled"]);
  // A disabled item takes no value; the panel comes back as it was.
  reply = change("pBeneficiarios", "1");
  EXPECT_EQ(reply.status, 422);
  EXPECT_NE(reply.Json().value("error", "").find("pBeneficiarios"), std::string::npos);
  reply = change("pPublicarBrevix", 0);
  ASSERT_EQ(reply.status, 200) << reply.body;
  EXPECT_TRUE((*Item(reply.Json(), "pBeneficiarios"))["enabled"]);
  // A value may be cleared.
  reply = change("pCopias", nullptr);
  ASSERT_EQ(reply.status, 200) << reply.body;
  EXPECT_EQ((*Item(reply.Json(), "pCopias"))["value"], "");
  // Another user's company is refused by name.
  reply = change("pCodigoEmpresa", "1");
  EXPECT_EQ(reply.status, 422);
  EXPECT_NE(reply.Json().value("error", "").find("pCodigoEmpresa"), std::string::npos);

  const Reply companies =
      server.Send("GET", "/api/panels/" + panel + "/lookup/pCodigoEmpresa", "", bia);
  ASSERT_EQ(companies.status, 200) << companies.body;
  ASSERT_EQ(companies.Json().size(), 1u) << companies.body;
  EXPECT_EQ(companies.Json()[0]["value"], "3");
  const Reply few =
      server.Send("GET", "/api/panels/" + panel + "/lookup/pBeneficiarios?limit=2", "", bia);
  ASSERT_EQ(few.status, 200) << few.body;
  EXPECT_EQ(few.Json().size(), 2u);
  const std::string text = few.Json()[1]["text"];
  const Reply found = server.Send(
      "GET", "/api/panels/" + panel + "/lookup/pBeneficiarios?q=" + text.substr(0, 4), "", bia);
  ASSERT_EQ(found.status, 200);
  EXPECT_GE(found.Json().size(), 1u);
  for (const auto& candidate : found.Json()) {
    EXPECT_NE(std::string(candidate["text"]).find(text.substr(0, 4)), std::string::npos);
  }
  EXPECT_EQ(server.Send("GET", "/api/panels/" + panel + "/lookup/pCopias", "", bia).status, 400);
}

TEST(ServerRuns, ACrashingModuleFailsItsRunOrPanelAndNothingElse) {
  ServerFixture server;
  const Login ana = server.LogIn("ana");
  const std::string panel = server.OpenPanel(ana, "RptServeProbe", {{"pModo", "falhar"}});
  const nlohmann::json crashed = server.RunAndWait(ana, {{"panel", panel}, {"format", "pdf"}});
  EXPECT_EQ(crashed["state"], "failed");
  EXPECT_NE(std::string(crashed["error"]).find("terminou de forma inesperada"), std::string::npos)
      << crashed.dump();
  EXPECT_EQ(
      server.Send("GET", "/api/runs/" + std::string(crashed["id"]) + "/files", "", ana).Json(),
      nlohmann::json::array());

  // A hook that crashes takes its panel's process only.
  const Reply gone =
      server.Send("POST", "/api/panels/" + panel + "/events",
                  R"({"event": "change", "name": "pModo", "value": "derrubar"})", ana);
  EXPECT_EQ(gone.status, 502) << gone.body;
  EXPECT_EQ(server
                .Send("POST", "/api/panels/" + panel + "/events",
                      R"({"event": "enter", "name": "pModo"})", ana)
                .status,
            404);
  EXPECT_TRUE(server.Alive());
  const std::string again = server.OpenPanel(ana, "RptServeProbe", {});
  EXPECT_EQ(server.RunAndWait(ana, {{"panel", again}, {"format", "text"}})["state"], "done");
}

TEST(ServerRuns, TheTimeLimitStopsALongRun) {
  ServerFixture server({"--tempo-limite", "2"});
  const Login ana = server.LogIn("ana");
  const std::string panel = server.OpenPanel(ana, "RptServeProbe", {{"pModo", "dormir"}});
  const nlohmann::json view = server.RunAndWait(ana, {{"panel", panel}, {"format", "text"}}, 30);
  EXPECT_EQ(view["state"], "failed");
  EXPECT_NE(std::string(view["error"]).find("tempo limite"), std::string::npos) << view.dump();
}

TEST(ServerRuns, QueuedRunsWaitForAFreeJobAndCancelCleanly) {
  ServerFixture server({"--jobs", "1"});
  const Login ana = server.LogIn("ana");
  const std::string sleeping = server.OpenPanel(ana, "RptServeProbe", {{"pModo", "dormir"}});
  const std::string first =
      server.Send("POST", "/api/runs", nlohmann::json{{"panel", sleeping}}.dump(), ana)
          .Json()["id"];
  const std::string second =
      server.Send("POST", "/api/runs", nlohmann::json{{"panel", sleeping}}.dump(), ana)
          .Json()["id"];
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  EXPECT_EQ(server.Send("GET", "/api/runs/" + second, "", ana).Json()["state"], "queued");
  EXPECT_EQ(server.Send("DELETE", "/api/runs/" + second, "", ana).status, 200);
  EXPECT_EQ(server.Send("DELETE", "/api/runs/" + first, "", ana).status, 200);
  EXPECT_EQ(server.WaitRun(ana, first, 30)["state"], "cancelled");
  EXPECT_EQ(server.WaitRun(ana, second, 30)["state"], "cancelled");
  // The cancelled run left no file behind.
  EXPECT_EQ(server.Send("GET", "/api/runs/" + first + "/zip", "", ana).status, 404);
}

TEST(ServerRuns, TwentyRunsFromFiveUsersAtOnceKeepApart) {
  ServerFixture server({"--jobs", "4"});
  struct User {
    std::string name;
    std::set<std::string> companies;
  };
  const std::vector<User> users = {{"ana", {"1", "2"}},
                                   {"bia", {"3"}},
                                   {"caio", {"1", "2"}},
                                   {"davi", {"3"}},
                                   {"eva", {"1", "2"}}};
  std::map<std::string, std::vector<std::string>> started;
  std::map<std::string, Login> logins;
  for (const User& user : users) logins[user.name] = server.LogIn(user.name);
  std::mutex mutex;
  std::vector<std::thread> threads;
  for (const User& user : users) {
    threads.emplace_back([&, user] {
      for (int k = 0; k < 4; ++k) {
        // Each run prints its own mark: a file of another run shows at once.
        const std::vector<std::pair<std::string, std::string>> changes = {
            {"pModo", user.name + "-" + std::to_string(k)}};
        const std::string panel = server.OpenPanel(logins[user.name], "RptServeProbe", changes);
        const Reply reply = server.Send(
            "POST", "/api/runs",
            nlohmann::json{{"panel", panel}, {"format", "text"}, {"split", {"pCodigoEmpresa"}}}
                .dump(),
            logins[user.name]);
        EXPECT_EQ(reply.status, 202) << reply.body;
        const std::lock_guard lock(mutex);
        started[user.name].push_back(reply.Json().value("id", ""));
      }
    });
  }
  for (std::thread& thread : threads) thread.join();

  for (const User& user : users) {
    const Login& login = logins[user.name];
    std::set<std::string> listed;
    for (const auto& run : server.Send("GET", "/api/runs", "", login).Json())
      listed.insert(run["id"]);
    EXPECT_EQ(listed, std::set<std::string>(started[user.name].begin(), started[user.name].end()))
        << user.name;
    for (size_t k = 0; k < started[user.name].size(); ++k) {
      const std::string& id = started[user.name][k];
      const nlohmann::json view = server.WaitRun(login, id, 120);
      ASSERT_EQ(view["state"], "done") << user.name << ": " << view.dump();
      const std::string mark = user.name + "-" + std::to_string(k);
      std::set<std::string> names;
      std::vector<std::string> listed_files;
      for (const auto& file : server.Send("GET", "/api/runs/" + id + "/files", "", login).Json()) {
        names.insert(file["values"]["pCodigoEmpresa"]);
        listed_files.push_back(file["name"]);
        const Reply content = server.Send(
            "GET", "/api/runs/" + id + "/files/" + std::to_string(int(file["index"])), "", login);
        EXPECT_EQ(content.status, 200);
        EXPECT_NE(content.body.find(mark), std::string::npos) << content.body;
      }
      EXPECT_EQ(names, user.companies) << user.name << " run " << k;
      const Reply zip = server.Send("GET", "/api/runs/" + id + "/zip", "", login);
      ASSERT_EQ(zip.status, 200);
      EXPECT_EQ(zip.Header("Content-Type"), "application/zip");
      EXPECT_EQ(ZipNames(zip.body), listed_files);
    }
  }
}

}  // namespace
}  // namespace serve_test
